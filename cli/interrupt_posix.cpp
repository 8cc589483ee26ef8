// Signals: SIGINT (Ctrl+C), SIGTERM and SIGHUP (the terminal closed) ask the command to stop.
#include "cli/interrupt_platform.h"

#include <csignal>
#include <iterator>

namespace cli::interrupt_platform {
namespace {

constexpr int Stopping[] = {SIGINT, SIGTERM, SIGHUP};

struct sigaction previous[std::size(Stopping)]{};
struct sigaction previousPipe {};

void Restore(int signal) {
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    sigemptyset(&standard.sa_mask);
    sigaction(signal, &standard, nullptr);
}

extern "C" void OnStop(int signal) {
    // A terminal that is gone cannot be answered: nothing is worth waiting for.
    const int now = signal == SIGHUP ? (RequestAbandon(signal), 2) : Request(signal);
    if (now >= 2) {
        // The next request ends the program at once.
        for (int stopping : Stopping) {
            Restore(stopping);
        }
    }
}

} // namespace

void Install() {
    struct sigaction action {};
    action.sa_handler = OnStop;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a read waiting for the technician's answer returns with EINTR.
    action.sa_flags = 0;
    for (std::size_t i = 0; i < std::size(Stopping); ++i) {
        sigaction(Stopping[i], &action, &previous[i]);
    }
    // A reader of standard output that went away (a pipe into head) must not end the program
    // before its record is written; the write just fails.
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, &previousPipe);
}

void Remove() {
    for (std::size_t i = 0; i < std::size(Stopping); ++i) {
        sigaction(Stopping[i], &previous[i], nullptr);
    }
    sigaction(SIGPIPE, &previousPipe, nullptr);
}

const char* CauseText(int cause) {
    switch (cause) {
    case SIGTERM:
        return "сигнал SIGTERM";
    case SIGHUP:
        return "терминал закрыт";
    default:
        return "Ctrl+C";
    }
}

} // namespace cli::interrupt_platform
