#pragma once
// A terminal that records what lirat5-cli tells it and answers its prompts from a list.

#include "cli/console.h"

#include <deque>
#include <optional>
#include <string>

namespace cli {

class RecordingConsole : public Console {
public:
    explicit RecordingConsole(std::optional<int> width = std::nullopt) : width_(width) {}
    void Out(std::string_view text) override { out += text; }
    void Err(std::string_view text) override { err += text; }
    InputLine ReadLine() override {
        err += "<read>";
        if (answers.empty()) {
            return InputLine{InputEnd::EndOfInput, {}};
        }
        InputLine line{InputEnd::Line, answers.front()};
        answers.pop_front();
        return line;
    }
    std::optional<int> ErrTerminalWidth() override { return width_; }

    std::string out;
    std::string err;
    std::deque<std::string> answers;

private:
    std::optional<int> width_;
};

} // namespace cli
