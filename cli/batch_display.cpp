#include "cli/batch_display.h"

namespace cli {
namespace {

bool IsLeadByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}

} // namespace

BatchDisplay::BatchDisplay(Console& terminal, const std::vector<std::string>& ports)
    : terminal_(terminal), width_(terminal.ErrTerminalWidth()) {
    for (const std::string& port : ports) {
        labels_.push_back(port + ": ");
        lines_.emplace_back();
    }
}

std::string BatchDisplay::Fitted(const std::string& line) const {
    // A line wider than the terminal would wrap and the redraw would climb too few lines.
    const std::size_t room = static_cast<std::size_t>(*width_ > 1 ? *width_ - 1 : 1);
    std::size_t characters = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (IsLeadByte(line[i]) && characters++ == room) {
            return line.substr(0, i);
        }
    }
    return line;
}

void BatchDisplay::Redraw() {
    std::string screen;
    if (drawn_) {
        screen += "\r\x1b[" + std::to_string(lines_.size()) + "A";
    }
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        screen += "\x1b[2K" + Fitted(labels_[i] + lines_[i]) + "\n";
    }
    drawn_ = true;
    terminal_.Err(screen);
}

void BatchDisplay::Show(std::size_t port, const std::string& text) {
    const std::lock_guard lock(mutex_);
    if (lines_[port] == text) {
        return;
    }
    lines_[port] = text;
    if (!Live()) {
        terminal_.Err(labels_[port] + text + "\n");
    } else if (!prompting_) {
        Redraw();
    }
}

InputLine BatchDisplay::Prompt(std::size_t port, const std::vector<std::string>& context,
                               const std::string& prompt) {
    const std::lock_guard turn(promptMutex_);
    {
        const std::lock_guard lock(mutex_);
        prompting_ = true;
        std::string text;
        // Plain lines have shown the context already; live lines only its last line.
        if (Live()) {
            for (const std::string& line : context) {
                text += labels_[port] + line + "\n";
            }
        }
        terminal_.Err(text + labels_[port] + prompt);
    }
    InputLine answer = terminal_.ReadLine();
    const std::lock_guard lock(mutex_);
    prompting_ = false;
    if (Live()) {
        drawn_ = false; // below the answer, not over it
        Redraw();
    }
    return answer;
}

} // namespace cli
