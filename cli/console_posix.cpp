// Terminals on POSIX systems take UTF-8 as it is.
#include "cli/console.h"

#include "cli/interrupt.h"

#include <cerrno>
#include <cstdio>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace cli {
namespace {

void WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return; // a closed pipe or a full disk: nobody is left to tell
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
}

class PosixConsole : public Console {
public:
    void Out(std::string_view text) override { WriteAll(STDOUT_FILENO, text); }
    void Err(std::string_view text) override { WriteAll(STDERR_FILENO, text); }

    std::optional<int> ErrTerminalWidth() override {
        winsize size{};
        if (::isatty(STDERR_FILENO) == 0 || ::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) != 0) {
            return std::nullopt;
        }
        // A terminal that does not know its size (some serial consoles) gets the classic 80.
        return size.ws_col > 0 ? size.ws_col : 80;
    }

    InputLine ReadLine() override {
        // One byte at a time with read(2), so that nothing beyond the line is taken from a
        // pipe that a later prompt (or another program) still needs, and Ctrl+C ends the wait:
        // the handler is installed without SA_RESTART.
        InputLine line;
        for (;;) {
            // Ctrl+C during a run over several ports may reach another thread than this one,
            // whose read then goes on: the wait looks at the request between short polls.
            pollfd input{STDIN_FILENO, POLLIN, 0};
            if (::poll(&input, 1, 100) <= 0 && !InterruptRequested()) {
                continue;
            }
            if (InterruptRequested()) {
                line.end = InputEnd::Interrupted;
                return line;
            }
            char c = 0;
            const ssize_t got = ::read(STDIN_FILENO, &c, 1);
            if (got < 0 && errno == EINTR) {
                if (InterruptRequested()) {
                    line.end = InputEnd::Interrupted;
                    return line;
                }
                continue;
            }
            if (got <= 0) {
                line.end = line.text.empty() ? InputEnd::EndOfInput : InputEnd::Line;
                return line;
            }
            if (c == '\n') {
                if (!line.text.empty() && line.text.back() == '\r') {
                    line.text.pop_back();
                }
                line.end = InputEnd::Line;
                return line;
            }
            line.text.push_back(c);
        }
    }
};

} // namespace

std::unique_ptr<Console> MakeSystemConsole() {
    return std::make_unique<PosixConsole>();
}

} // namespace cli
