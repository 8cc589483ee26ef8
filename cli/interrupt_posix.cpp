#include "cli/interrupt.h"

#include <atomic>
#include <csignal>
#include <iterator>
#include <mutex>

namespace cli {
namespace {

// Counts requests: 1 stop after the step, 2 end at once; lock-free atomics are safe to touch
// in a signal handler.
std::atomic<int> level{0};
std::atomic<int> cause{0};

constexpr int Stopping[] = {SIGINT, SIGTERM, SIGHUP};

// Runs of several ports open a scope each on threads of their own: the first scope installs
// the handlers and the last one puts the previous ones back.
std::mutex scopes;
int openScopes = 0;
struct sigaction previous[std::size(Stopping)]{};
struct sigaction previousPipe {};

void Restore(int signal) {
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    sigemptyset(&standard.sa_mask);
    sigaction(signal, &standard, nullptr);
}

extern "C" void OnStop(int signal) {
    int expected = 0;
    cause.compare_exchange_strong(expected, signal);
    // A terminal that is gone cannot be answered: nothing is worth waiting for.
    const int now = signal == SIGHUP ? (level = 2, 2) : ++level;
    if (now >= 2) {
        // The next request ends the program at once.
        for (int stopping : Stopping) {
            Restore(stopping);
        }
    }
}

} // namespace

InterruptScope::InterruptScope() {
    const std::lock_guard lock(scopes);
    if (openScopes++ > 0) {
        return;
    }
    level = 0;
    cause = 0;
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

InterruptScope::~InterruptScope() {
    const std::lock_guard lock(scopes);
    if (--openScopes > 0) {
        return;
    }
    for (std::size_t i = 0; i < std::size(Stopping); ++i) {
        sigaction(Stopping[i], &previous[i], nullptr);
    }
    sigaction(SIGPIPE, &previousPipe, nullptr);
}

bool InterruptRequested() {
    return level >= 1;
}

bool AbandonRequested() {
    return level >= 2;
}

const char* InterruptCause() {
    switch (cause) {
    case SIGTERM:
        return "сигнал SIGTERM";
    case SIGHUP:
        return "терминал закрыт";
    default:
        return "Ctrl+C";
    }
}

} // namespace cli
