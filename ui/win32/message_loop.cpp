#include "ui/win32/message_loop.h"

#include "ui/win32/form_window.h"

#include <commctrl.h>

namespace ui::win32 {

namespace {

bool IsClass(HWND window, const wchar_t* name) {
    wchar_t actual[64] = {};
    ::GetClassNameW(window, actual, static_cast<int>(std::size(actual)));
    return ::lstrcmpiW(actual, name) == 0;
}

// The combo box whose edit field or list has the focus, if it is dropped down.
bool InDroppedList(HWND focus) {
    for (HWND window = focus; window != nullptr; window = ::GetParent(window)) {
        if (IsClass(window, WC_COMBOBOXW)) {
            return ::SendMessageW(window, CB_GETDROPPEDSTATE, 0, 0) != FALSE;
        }
    }
    return false;
}

bool IsPushButton(HWND window) {
    if (window == nullptr || !IsClass(window, WC_BUTTONW)) {
        return false;
    }
    const LONG_PTR type = ::GetWindowLongPtrW(window, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

void Handle(MSG& message) {
    if (!HandleDialogKeys(message)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

} // namespace

bool HandleDialogKeys(MSG& message) {
    HWND root = message.hwnd != nullptr ? ::GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    FormWindow* form = FormWindow::FromHandle(root);
    if (form == nullptr) {
        return false;
    }
    // Tab follows the description's order, which the window's nesting of containers does not
    // give the dialog manager (a page control is a stop and a container at once).
    if (message.wParam == VK_TAB && (::GetKeyState(VK_CONTROL) & 0x8000) == 0 &&
        (message.message == WM_KEYDOWN || message.message == WM_CHAR ||
         message.message == WM_KEYUP)) {
        if (message.message == WM_KEYDOWN && !InDroppedList(::GetFocus())) {
            form->MoveFocus((::GetKeyState(VK_SHIFT) & 0x8000) != 0);
        }
        return true;
    }
    const bool key =
        message.message == WM_KEYDOWN || message.message == WM_KEYUP || message.message == WM_CHAR;
    const bool enterOrEscape = key && (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE);
    if (enterOrEscape) {
        HWND focus = ::GetFocus();
        if (InDroppedList(focus)) {
            return false; // the list closes on them, taking or dropping the choice
        }
        if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN && IsPushButton(focus) &&
            ::IsWindowEnabled(focus) && ::IsWindowVisible(focus)) {
            ::SendMessageW(focus, BM_CLICK, 0, 0);
        }
        return true;
    }
    return ::IsDialogMessageW(root, &message) != FALSE;
}

bool RunMessageLoopUntil(const std::function<bool()>& done) {
    MSG message{};
    while (!done()) {
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            ::PostQuitMessage(got == 0 ? static_cast<int>(message.wParam) : 0);
            return false;
        }
        Handle(message);
    }
    return true;
}

int RunMessageLoop() {
    MSG message{};
    for (;;) {
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            return got == 0 ? static_cast<int>(message.wParam) : 0;
        }
        Handle(message);
    }
}

bool PumpWaitingMessages() {
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        Handle(message);
    }
    return true;
}

} // namespace ui::win32
