#pragma once
// The terminal lirat5-cli talks through: results on standard output, messages and prompts on
// standard error, answers from standard input. Texts are UTF-8 inside the program; the system
// console (console_posix.cpp, console_win32.cpp) turns them into what the terminal shows, and
// tests put a recording console in its place.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace cli {

enum class InputEnd {
    Line,        // a line was typed
    EndOfInput,  // standard input is at its end (Ctrl+D, Ctrl+Z, a file or pipe ran out)
    Interrupted, // Ctrl+C while waiting for the line
};

struct InputLine {
    InputEnd end = InputEnd::EndOfInput;
    std::string text; // without its line ending; UTF-8
};

class Console {
public:
    virtual ~Console() = default;
    virtual void Out(std::string_view text) = 0;
    virtual void Err(std::string_view text) = 0;
    virtual InputLine ReadLine() = 0;

    // What the command is doing now ("запись", step 3 of 5) and, at its end, the short text of
    // what came of it (what differed): the live lines and the closing table of a run over
    // several ports show them. The terminal of a single port shows neither.
    virtual void Step(std::string_view /*phase*/, int /*step*/, int /*steps*/) {}
    virtual void Outcome(std::string_view /*text*/) {}
    // The width in characters of the terminal that standard error shows on, when it is one
    // that can redraw its lines; nullopt for a file, a pipe or a console without that.
    virtual std::optional<int> ErrTerminalWidth() { return std::nullopt; }
};

// The process's own standard streams.
std::unique_ptr<Console> MakeSystemConsole();

} // namespace cli
