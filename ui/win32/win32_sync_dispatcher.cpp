#include "ui/win32/win32_sync_dispatcher.h"

#include "serial/app_exception.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <utility>

namespace ui::win32 {

namespace {

constexpr UINT RunWaitingMessage = WM_APP + 1;
constexpr UINT RunPostedMessage = WM_APP + 2;
constexpr const wchar_t* DispatcherClass = L"LiratSyncDispatcher";

struct Call {
    std::function<void()> fn;
    bool done = false;
    std::exception_ptr error;
};

} // namespace

struct Win32SyncDispatcher::Calls {
    std::mutex mutex;
    std::condition_variable finished; // a waited call has run
    std::deque<std::shared_ptr<Call>> waiting;
    std::deque<std::function<void()>> posted;
    HANDLE wake = ::CreateEventW(nullptr, FALSE, FALSE, nullptr); // auto-reset

    ~Calls() { ::CloseHandle(wake); }

    // Runs the waiting Synchronize calls on the user-interface thread.
    void RunWaiting() {
        std::unique_lock lock(mutex);
        while (!waiting.empty()) {
            std::shared_ptr<Call> call = waiting.front();
            waiting.pop_front();
            lock.unlock();
            std::exception_ptr error;
            try {
                call->fn();
            } catch (...) {
                error = std::current_exception(); // raised again in the waiting thread
            }
            lock.lock();
            call->error = error;
            call->done = true;
            finished.notify_all();
        }
    }

    // Runs the oldest posted item on the user-interface thread.
    void RunOnePosted() {
        std::function<void()> fn;
        {
            std::lock_guard lock(mutex);
            if (posted.empty()) {
                return;
            }
            fn = std::move(posted.front());
            posted.pop_front();
        }
        // Nothing may escape into the message loop.
        try {
            fn();
        } catch (...) {
            serial::HandleApplicationException(std::current_exception());
        }
    }
};

namespace {

LRESULT CALLBACK DispatcherProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* calls =
        reinterpret_cast<Win32SyncDispatcher::Calls*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (calls != nullptr && message == RunWaitingMessage) {
        calls->RunWaiting();
        return 0;
    }
    if (calls != nullptr && message == RunPostedMessage) {
        calls->RunOnePosted();
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
    auto call = std::make_shared<Call>();
    call->fn = fn;
    {
        std::lock_guard lock(calls_->mutex);
        calls_->waiting.push_back(call);
    }
    // Either way wakes the user-interface thread: the message its loop, the event ServeUntil.
    ::SetEvent(calls_->wake);
    ::PostMessageW(window_, RunWaitingMessage, 0, 0);
    std::unique_lock lock(calls_->mutex);
    calls_->finished.wait(lock, [&] { return call->done; });
    if (call->error) {
        std::rethrow_exception(call->error);
    }
}

void Win32SyncDispatcher::Post(std::function<void()> fn) {
    {
        std::lock_guard lock(calls_->mutex);
        calls_->posted.push_back(std::move(fn));
    }
    // One message per item, so the items run one per message, in order, between the others.
    ::PostMessageW(window_, RunPostedMessage, 0, 0);
}

bool Win32SyncDispatcher::InUiThread() const {
    return ::GetCurrentThreadId() == uiThread_;
}

void Win32SyncDispatcher::ServeUntil(const std::function<bool()>& done) {
    for (;;) {
        calls_->RunWaiting();
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
