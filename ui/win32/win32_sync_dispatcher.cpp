#include "ui/win32/win32_sync_dispatcher.h"

#include "serial/delivery_queue.h"

#include <stdexcept>
#include <utility>

namespace ui::win32 {

namespace {

constexpr UINT RunWaitingMessage = WM_APP + 1;
constexpr UINT RunPostedMessage = WM_APP + 2;
constexpr const wchar_t* DispatcherClass = L"LiratSyncDispatcher";

} // namespace

// Shared by the dispatcher and its hidden window. The wake event tells ServeUntil to look; the
// messages tell the loop.
struct Win32SyncDispatcher::Calls {
    HWND window = nullptr;                                        // set once, before any call
    HANDLE wake = ::CreateEventW(nullptr, FALSE, FALSE, nullptr); // auto-reset
    // Either way wakes the user-interface thread: the message its loop, the event ServeUntil.
    serial::TDeliveryQueue queue{[this] {
        ::SetEvent(wake);
        ::PostMessageW(window, RunWaitingMessage, 0, 0);
    }};

    ~Calls() { ::CloseHandle(wake); }
};

namespace {

LRESULT CALLBACK DispatcherProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* calls =
        reinterpret_cast<Win32SyncDispatcher::Calls*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (calls != nullptr && message == RunWaitingMessage) {
        calls->queue.RunWaiting();
        return 0;
    }
    if (calls != nullptr && message == RunPostedMessage) {
        calls->queue.RunOnePosted();
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

Win32SyncDispatcher::Win32SyncDispatcher()
    : calls_(std::make_shared<Calls>()), uiThread_(::GetCurrentThreadId()) {
    static const bool registered = [] {
        WNDCLASSEXW type{};
        type.cbSize = sizeof type;
        type.lpfnWndProc = DispatcherProcedure;
        type.hInstance = ::GetModuleHandleW(nullptr);
        type.lpszClassName = DispatcherClass;
        return ::RegisterClassExW(&type) != 0;
    }();
    (void)registered;
    window_ = ::CreateWindowExW(0, DispatcherClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                ::GetModuleHandleW(nullptr), nullptr);
    if (window_ == nullptr || calls_->wake == nullptr) {
        throw std::runtime_error("cannot create the serial dispatcher's window");
    }
    calls_->window = window_;
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(calls_.get()));
}

Win32SyncDispatcher::~Win32SyncDispatcher() {
    // Messages still queued for the window go with it; so do the items they would have run.
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    ::DestroyWindow(window_);
}

void Win32SyncDispatcher::Synchronize(const std::function<void()>& fn) {
    if (InUiThread()) {
        fn();
        return;
    }
    calls_->queue.Synchronize(fn);
}

void Win32SyncDispatcher::Post(std::function<void()> fn) {
    calls_->queue.Post(std::move(fn));
    // One message per item, so the items run one per message, in order, between the others.
    ::PostMessageW(window_, RunPostedMessage, 0, 0);
}

bool Win32SyncDispatcher::InUiThread() const {
    return ::GetCurrentThreadId() == uiThread_;
}

void Win32SyncDispatcher::ServeUntil(const std::function<bool()>& done) {
    for (;;) {
        calls_->queue.RunWaiting();
        if (done()) {
            return;
        }
        const DWORD woken =
            ::MsgWaitForMultipleObjectsEx(1, &calls_->wake, INFINITE, QS_SENDMESSAGE, 0);
        if (woken == WAIT_OBJECT_0 + 1) {
            // Delivers the messages sent from other threads, and nothing from the queue.
            MSG message{};
            ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
    }
}

void Win32SyncDispatcher::Wake() {
    ::SetEvent(calls_->wake);
}

} // namespace ui::win32
