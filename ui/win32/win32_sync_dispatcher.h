#pragma once
// The serial component's dispatcher in the Win32 program: the event thread's deliveries reach
// the user-interface thread through its message loop. A hidden message window of that thread
// receives one posted message per Post (smWindowSync), which runs the item in order between the
// other messages; Synchronize (smThreadSync) queues the call, wakes the loop with a message and
// waits until the call has run. While Close waits on the user-interface thread for an event
// thread, ServeUntil runs the waiting Synchronize calls and the messages other threads send,
// but no posted message, so an event thread blocked in a delivery always finishes and the
// posted events keep their place in the queue.

#include "serial/sync_dispatcher.h"

#include <windows.h>

#include <functional>
#include <memory>

namespace ui::win32 {

class Win32SyncDispatcher : public serial::TSyncDispatcher {
public:
    // Made on the user-interface thread.
    Win32SyncDispatcher();
    ~Win32SyncDispatcher() override;
    Win32SyncDispatcher(const Win32SyncDispatcher&) = delete;
    Win32SyncDispatcher& operator=(const Win32SyncDispatcher&) = delete;

    void Synchronize(const std::function<void()>& fn) override;
    void Post(std::function<void()> fn) override;
    bool InUiThread() const override;
    void ServeUntil(const std::function<bool()>& done) override;
    void Wake() override;

    HWND Window() const { return window_; }

    struct Calls; // the queued work, shared with the hidden window

private:
    std::shared_ptr<Calls> calls_;
    HWND window_ = nullptr;
    DWORD uiThread_;
};

} // namespace ui::win32
