// The console's control events: Ctrl+C and Ctrl+Break ask the command to stop, closing the
// console window asks it to end at once.
#include "cli/interrupt_platform.h"

#include <windows.h>

namespace cli::interrupt_platform {
namespace {

// Windows ends the process once the handler of a closed console returns, or after five
// seconds: time enough to close the port and write the record.
constexpr DWORD CloseGrace = 4500;

BOOL WINAPI OnControl(DWORD event) {
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        // The third press goes on to the default handler, which ends the program.
        return Request(static_cast<int>(event)) <= 2 ? TRUE : FALSE;
    case CTRL_CLOSE_EVENT:
        RequestAbandon(static_cast<int>(event));
        // The program ends when its main thread returns, usually well before this.
        ::Sleep(CloseGrace);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

void Install() {
    ::SetConsoleCtrlHandler(OnControl, TRUE);
}

void Remove() {
    ::SetConsoleCtrlHandler(OnControl, FALSE);
}

const char* CauseText(int cause) {
    switch (cause) {
    case CTRL_BREAK_EVENT:
        return "Ctrl+Break";
    case CTRL_CLOSE_EVENT:
        return "окно консоли закрыто";
    default:
        return "Ctrl+C";
    }
}

} // namespace cli::interrupt_platform
