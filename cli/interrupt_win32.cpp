#include "cli/interrupt.h"

#include <atomic>
#include <windows.h>

namespace cli {
namespace {

std::atomic<bool> requested{false};

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
    requested = false;
    ::SetConsoleCtrlHandler(OnControl, TRUE);
}

InterruptScope::~InterruptScope() {
    ::SetConsoleCtrlHandler(OnControl, FALSE);
}

bool InterruptRequested() {
    return requested;
}

} // namespace cli
