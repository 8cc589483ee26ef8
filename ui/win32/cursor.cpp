#include "ui/win32/cursor.h"

#include <windows.h>

#include <atomic>

namespace ui::win32 {

namespace {
std::atomic<bool> hourglass{false};
}

void ShowHourglass(bool on) {
    hourglass = on;
    ::SetCursor(::LoadCursorW(nullptr, on ? IDC_WAIT : IDC_ARROW));
}

bool HourglassShown() {
    return hourglass;
}

} // namespace ui::win32
