#include "cli/interrupt.h"

#include "cli/interrupt_platform.h"

#include <atomic>
#include <mutex>

namespace cli {
namespace {

// Counts requests: 1 stop after the step, 2 end at once; lock-free atomics are safe to touch
// in a signal handler.
std::atomic<int> level{0};
std::atomic<int> cause{0};

// Runs of several ports open a scope each on threads of their own: the first scope installs
// the handlers and the last one takes them away.
std::mutex scopes;
int openScopes = 0;

void KeepFirstCause(int what) {
    int expected = 0;
    if (level == 0) {
        cause.compare_exchange_strong(expected, what);
    }
}

} // namespace

namespace interrupt_platform {

int Request(int what) {
    KeepFirstCause(what);
    return ++level;
}

void RequestAbandon(int what) {
    KeepFirstCause(what);
    level = 2;
}

} // namespace interrupt_platform

InterruptScope::InterruptScope() {
    const std::lock_guard lock(scopes);
    if (openScopes++ > 0) {
        return;
    }
    level = 0;
    cause = 0;
    interrupt_platform::Install();
}

InterruptScope::~InterruptScope() {
    const std::lock_guard lock(scopes);
    if (--openScopes > 0) {
        return;
    }
    interrupt_platform::Remove();
}

bool InterruptRequested() {
    return level >= 1;
}

bool AbandonRequested() {
    return level >= 2;
}

const char* InterruptCause() {
    return interrupt_platform::CauseText(cause);
}

} // namespace cli
