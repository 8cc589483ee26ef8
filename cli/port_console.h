#pragma once
// The console one port's thread of a run over several ports talks through: its results are
// kept for the end, its steps and messages go to the shared live lines, its prompts to the
// terminal one at a time, and the last message and the outcome are kept for the closing table.

#include "cli/batch_display.h"
#include "cli/console.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace cli {

class PortConsole : public Console {
public:
    PortConsole(BatchDisplay& display, std::size_t port) : display_(display), port_(port) {}

    void Out(std::string_view text) override { output_ += text; }
    void Err(std::string_view text) override;
    InputLine ReadLine() override;
    void Step(std::string_view phase, int step, int steps) override;
    void Outcome(std::string_view text) override { outcome_ = std::string(text); }

    const std::string& Output() const { return output_; }
    // The last message shown, its lines joined by blanks.
    const std::string& LastMessage() const { return lastMessage_; }
    const std::optional<std::string>& OutcomeText() const { return outcome_; }

private:
    BatchDisplay& display_;
    const std::size_t port_;
    std::string output_;
    std::string pending_;              // the start of a line not yet ended
    std::vector<std::string> context_; // the lines since the last prompt
    std::string lastMessage_;
    std::optional<std::string> outcome_;
};

} // namespace cli
