#pragma once
// The window's millisecond timer as a Win32 timer: SetTimer on a hidden message window of the
// user-interface thread, whose WM_TIMER messages come through the message loop. Like the
// original toolkit's timer, enabling it or changing the interval while it runs starts the
// interval anew.

#include "ui/control.h"

#include <windows.h>

#include <functional>

namespace ui::win32 {

class Win32Timer : public Timer {
public:
    // Made on the user-interface thread; `onTick` runs there once per interval while enabled.
    explicit Win32Timer(std::function<void()> onTick, int interval = 1000);
    ~Win32Timer() override;
    Win32Timer(const Win32Timer&) = delete;
    Win32Timer& operator=(const Win32Timer&) = delete;

    void SetEnabled(bool enabled) override;
    bool Enabled() const override { return enabled_; }
    void SetInterval(int milliseconds) override;
    int Interval() const override { return interval_; }

    void SetOnTick(std::function<void()> onTick) { onTick_ = std::move(onTick); }
    HWND Window() const { return window_; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Start();

    std::function<void()> onTick_;
    HWND window_ = nullptr;
    int interval_;
    bool enabled_ = false;
};

} // namespace ui::win32
