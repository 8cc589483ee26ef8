#include "cli/interrupt.h"

#include <atomic>
#include <mutex>
#include <windows.h>

namespace cli {
namespace {

std::atomic<bool> requested{false};
// Output calibrations of several ports run at once, each in a scope of its own: the first scope
// installs the handler and the last one removes it.
std::mutex scopes;
int openScopes = 0;

BOOL WINAPI OnControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) {
        return FALSE;
    }
    // The first press is taken; the second goes on to the default handler, which ends the
    // program.
    return requested.exchange(true) ? FALSE : TRUE;
}

} // namespace

InterruptScope::InterruptScope() {
    const std::lock_guard lock(scopes);
    if (openScopes++ > 0) {
        return;
    }
    requested = false;
    ::SetConsoleCtrlHandler(OnControl, TRUE);
}

InterruptScope::~InterruptScope() {
    const std::lock_guard lock(scopes);
    if (--openScopes > 0) {
        return;
    }
    ::SetConsoleCtrlHandler(OnControl, FALSE);
}

bool InterruptRequested() {
    return requested;
}

} // namespace cli
