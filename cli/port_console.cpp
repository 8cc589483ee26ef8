#include "cli/port_console.h"

namespace cli {
namespace {

// The lines of the context a prompt repeats at most: an instruction and what led to it.
constexpr std::size_t ContextLines = 6;

} // namespace

void PortConsole::Err(std::string_view text) {
    pending_ += text;
    std::string message;
    for (auto end = pending_.find('\n'); end != std::string::npos; end = pending_.find('\n')) {
        const std::string line = pending_.substr(0, end);
        pending_.erase(0, end + 1);
        if (line.empty()) {
            continue;
        }
        message += (message.empty() ? "" : " ") + line;
        context_.push_back(line);
        if (context_.size() > ContextLines) {
            context_.erase(context_.begin());
        }
    }
    if (!message.empty()) {
        lastMessage_ = message;
        display_.Show(port_, message);
    }
}

InputLine PortConsole::ReadLine() {
    std::vector<std::string> context = context_;
    std::string prompt = pending_;
    if (prompt.empty() && !context.empty()) {
        // An instruction ends with its own line ("Нажмите Enter..."): that line asks.
        prompt = context.back() + " ";
        context.pop_back();
    }
    pending_.clear();
    context_.clear();
    return display_.Prompt(port_, context, prompt);
}

void PortConsole::Step(std::string_view phase, int step, int steps) {
    std::string text(phase);
    text += steps > 1 ? " " + std::to_string(step) + "/" + std::to_string(steps) : "…";
    display_.Show(port_, text);
}

} // namespace cli
