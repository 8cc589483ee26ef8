#include "cli/interrupt.h"

#include <atomic>
#include <csignal>
#include <mutex>

namespace cli {
namespace {

std::atomic<bool> requested{false};
// Output calibrations of several ports run at once, each in a scope of its own: the first scope
// installs the handler and the last one puts the previous handler back.
std::mutex scopes;
int openScopes = 0;
struct sigaction previous {};

extern "C" void OnInterrupt(int) {
    requested = true;
}

} // namespace

InterruptScope::InterruptScope() {
    const std::lock_guard lock(scopes);
    if (openScopes++ > 0) {
        return;
    }
    requested = false;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a read waiting for the technician's answer returns with EINTR. The handler
    // is reset after the first signal, so a second Ctrl+C ends the program.
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, &previous);
}

InterruptScope::~InterruptScope() {
    const std::lock_guard lock(scopes);
    if (--openScopes > 0) {
        return;
    }
    sigaction(SIGINT, &previous, nullptr);
}

bool InterruptRequested() {
    return requested;
}

} // namespace cli
