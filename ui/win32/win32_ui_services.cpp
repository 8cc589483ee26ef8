#include "ui/win32/win32_ui_services.h"

#include "ui/win32/cursor.h"
#include "ui/win32/input_box.h"
#include "ui/win32/wide_text.h"

#include <windows.h>

namespace ui::win32 {

namespace {

// Boxes belong to the window in front of this thread (the calibration window while it is up),
// so they stay above it and block it; with none, to every window of the thread.
HWND BoxOwner(UINT& flags) {
    HWND owner = ::GetActiveWindow();
    if (owner == nullptr) {
        flags |= MB_TASKMODAL;
    }
    return owner;
}

void ShowBox(const std::string& title, const std::string& text, UINT flags) {
    HWND owner = BoxOwner(flags);
    ::MessageBoxW(owner, Wide(text).c_str(), Wide(title).c_str(), flags);
}

} // namespace

Win32UiServices::Win32UiServices(std::string title) : title_(std::move(title)) {}

Win32UiServices::~Win32UiServices() {
    if (HourglassShown()) {
        ShowHourglass(false);
    }
}

void Win32UiServices::ShowMessage(const std::string& text) {
    ShowBox(title_, text, MB_OK);
}

std::string Win32UiServices::InputBox(const std::string& caption, const std::string& prompt,
                                      const std::string& defaultText) {
    return RunInputBox(::GetActiveWindow(), caption, prompt, defaultText).value_or(defaultText);
}

void Win32UiServices::SetCursor(protocol::CursorShape shape) {
    ShowHourglass(shape == protocol::CursorShape::Hourglass);
}

void Win32UiServices::ShowException(const std::string& message) {
    ShowBox(title_, protocol::ExceptionBoxText(message), MB_OK | MB_ICONERROR);
}

} // namespace ui::win32
