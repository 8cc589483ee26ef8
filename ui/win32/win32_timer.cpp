#include "ui/win32/win32_timer.h"

#include <stdexcept>

namespace ui::win32 {

namespace {
constexpr UINT_PTR TimerId = 1;
constexpr const wchar_t* TimerClass = L"LiratTimer";
} // namespace

Win32Timer::Win32Timer(std::function<void()> onTick, int interval)
    : onTick_(std::move(onTick)), interval_(interval) {
    static const bool registered = [] {
        WNDCLASSEXW type{};
        type.cbSize = sizeof type;
        type.lpfnWndProc = Procedure;
        type.hInstance = ::GetModuleHandleW(nullptr);
        type.lpszClassName = TimerClass;
        return ::RegisterClassExW(&type) != 0;
    }();
    (void)registered;
    window_ = ::CreateWindowExW(0, TimerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                ::GetModuleHandleW(nullptr), nullptr);
    if (window_ == nullptr) {
        throw std::runtime_error("cannot create the timer's window");
    }
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32Timer::~Win32Timer() {
    ::KillTimer(window_, TimerId);
    ::DestroyWindow(window_);
}

void Win32Timer::Start() {
    ::SetTimer(window_, TimerId, static_cast<UINT>(interval_ > 0 ? interval_ : 1), nullptr);
}

void Win32Timer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (enabled) {
        Start();
    } else {
        ::KillTimer(window_, TimerId);
        // A tick already queued must not arrive after the timer was switched off.
        MSG pending{};
        while (::PeekMessageW(&pending, window_, WM_TIMER, WM_TIMER, PM_REMOVE)) {
        }
    }
}

void Win32Timer::SetInterval(int milliseconds) {
    interval_ = milliseconds;
    if (enabled_) {
        Start();
    }
}

LRESULT CALLBACK Win32Timer::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == TimerId) {
        auto* timer = reinterpret_cast<Win32Timer*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (timer != nullptr && timer->enabled_ && timer->onTick_) {
            try {
                timer->onTick_();
            } catch (...) {
                // The tick's handler shows its own errors; nothing may cross into Windows.
            }
        }
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

} // namespace ui::win32
