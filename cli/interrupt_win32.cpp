#include "cli/interrupt.h"

#include <atomic>
#include <mutex>
#include <windows.h>

namespace cli {
namespace {

// Counts requests: 1 stop after the step, 2 end at once.
std::atomic<int> level{0};
std::atomic<DWORD> cause{CTRL_C_EVENT};

// Runs of several ports open a scope each on threads of their own: the first scope installs
// the handler and the last one removes it.
std::mutex scopes;
int openScopes = 0;

// Windows ends the process once the handler of a closed console returns, or after five
// seconds: time enough to close the port and write the record.
constexpr DWORD CloseGrace = 4500;

BOOL WINAPI OnControl(DWORD event) {
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        if (level == 0) {
            cause = event;
        }
        // The third press goes on to the default handler, which ends the program.
        return ++level <= 2 ? TRUE : FALSE;
    case CTRL_CLOSE_EVENT:
        if (level == 0) {
            cause = event;
        }
        level = 2;
        // The program ends when its main thread returns, usually well before this.
        ::Sleep(CloseGrace);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

InterruptScope::InterruptScope() {
    const std::lock_guard lock(scopes);
    if (openScopes++ > 0) {
        return;
    }
    level = 0;
    cause = CTRL_C_EVENT;
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
    return level >= 1;
}

bool AbandonRequested() {
    return level >= 2;
}

const char* InterruptCause() {
    switch (cause) {
    case CTRL_BREAK_EVENT:
        return "Ctrl+Break";
    case CTRL_CLOSE_EVENT:
        return "окно консоли закрыто";
    default:
        return "Ctrl+C";
    }
}

} // namespace cli
