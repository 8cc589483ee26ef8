#include "serial/sync_dispatcher.h"

#include "serial/app_exception.h"

#include <chrono>

namespace serial {

TPlainDispatcher::TPlainDispatcher() : uiThread_(std::this_thread::get_id()) {}

void TPlainDispatcher::Run(const std::shared_ptr<Request>& request) {
    std::exception_ptr error;
    try {
        request->fn();
    } catch (...) {
        error = std::current_exception();
    }
    if (request->waited) {
        std::lock_guard lock(mutex_);
        request->error = error;
        request->done = true;
        finished_.notify_all();
    } else if (error) {
        HandleApplicationException(error);
    }
}

int TPlainDispatcher::CheckSynchronize(int timeoutMs) {
    std::deque<std::shared_ptr<Request>> work;
    {
        std::unique_lock lock(mutex_);
        if (queue_.empty() && timeoutMs > 0)
            queued_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [this] { return !queue_.empty(); });
        work.swap(queue_);
    }
    for (const auto& request : work)
        Run(request);
    return static_cast<int>(work.size());
}

void TPlainDispatcher::Synchronize(const std::function<void()>& fn) {
    if (InUiThread()) {
        fn();
        return;
    }
    auto request = std::make_shared<Request>();
    request->fn = fn;
    request->waited = true;
    std::unique_lock lock(mutex_);
    queue_.push_back(request);
    queued_.notify_all();
    finished_.wait(lock, [&] { return request->done; });
    if (request->error)
        std::rethrow_exception(request->error);
}

void TPlainDispatcher::Post(std::function<void()> fn) {
    auto request = std::make_shared<Request>();
    request->fn = std::move(fn);
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(request));
    queued_.notify_all();
}

void TPlainDispatcher::ServeUntil(const std::function<bool()>& done) {
    std::unique_lock lock(mutex_);
    for (;;) {
        // Only the requests whose sender waits: posted work stays queued, in its order, for the
        // next CheckSynchronize, as a waiting Windows thread takes sent messages but not posted
        // ones. Posted events of a port being closed are then dropped with its window, instead
        // of reaching handlers in the middle of the Close.
        for (auto it = queue_.begin(); it != queue_.end();) {
            if (!(*it)->waited) {
                ++it;
                continue;
            }
            auto request = *it;
            queue_.erase(it);
            lock.unlock();
            Run(request);
            lock.lock();
            it = queue_.begin();
        }
        if (done())
            return;
        queued_.wait(lock);
    }
}

void TPlainDispatcher::Wake() {
    std::lock_guard lock(mutex_);
    queued_.notify_all();
}

namespace {

std::mutex& GlobalMutex() {
    static std::mutex m;
    return m;
}

std::shared_ptr<TSyncDispatcher>& Global() {
    static std::shared_ptr<TSyncDispatcher> dispatcher;
    return dispatcher;
}

} // namespace

std::shared_ptr<TSyncDispatcher> SyncDispatcher() {
    std::lock_guard lock(GlobalMutex());
    if (!Global())
        Global() = std::make_shared<TPlainDispatcher>();
    return Global();
}

void SetSyncDispatcher(std::shared_ptr<TSyncDispatcher> dispatcher) {
    std::lock_guard lock(GlobalMutex());
    Global() = std::move(dispatcher);
}

} // namespace serial
