#include "cli/interrupt.h"

#include <atomic>
#include <csignal>

namespace cli {
namespace {

std::atomic<bool> requested{false};
struct sigaction previous {};

extern "C" void OnInterrupt(int) {
    requested = true;
}

} // namespace

InterruptScope::InterruptScope() {
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
    sigaction(SIGINT, &previous, nullptr);
}

bool InterruptRequested() {
    return requested;
}

} // namespace cli
