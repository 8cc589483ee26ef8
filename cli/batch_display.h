#pragma once
// What a run over several ports shows while it runs, on standard error. On a terminal that can
// redraw, one live line per port ("COM3: запись 3/5"), rewritten in place; anywhere else, each
// new step or message as a plain line of its own, with the port in front. A port that needs an
// answer (an instruction, a measured value) gets the terminal to itself: one prompt at a time,
// its port in front, the live lines drawn afresh below once it has been answered.

#include "cli/console.h"

#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace cli {

class BatchDisplay {
public:
    BatchDisplay(Console& terminal, const std::vector<std::string>& ports);

    // The port's newest step or message (one line).
    void Show(std::size_t port, const std::string& text);
    // Shows the lines that led up to the prompt (unless they are on the screen already) and
    // the prompt itself, then reads the answer from the terminal.
    InputLine Prompt(std::size_t port, const std::vector<std::string>& context,
                     const std::string& prompt);
    bool Live() const { return width_.has_value(); }

private:
    void Redraw();
    std::string Fitted(const std::string& line) const;

    Console& terminal_;
    const std::optional<int> width_;
    std::vector<std::string> labels_;
    std::vector<std::string> lines_;
    bool drawn_ = false;
    bool prompting_ = false;
    std::mutex mutex_;       // the screen and the lines
    std::mutex promptMutex_; // one prompt at a time
};

} // namespace cli
