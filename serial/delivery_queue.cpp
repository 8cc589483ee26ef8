#include "serial/delivery_queue.h"

#include "serial/app_exception.h"

#include <utility>

namespace serial {

TDeliveryQueue::TDeliveryQueue(std::function<void()> wakeForWaiting)
    : wakeForWaiting_(std::move(wakeForWaiting)) {}

void TDeliveryQueue::Synchronize(const std::function<void()>& fn) {
    auto call = std::make_shared<Call>();
    call->fn = fn;
    {
        std::lock_guard lock(mutex_);
        waiting_.push_back(call);
        queued_.notify_all();
    }
    if (wakeForWaiting_) {
        wakeForWaiting_();
    }
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [&] { return call->done; });
    if (call->error) {
        std::rethrow_exception(call->error);
    }
}

void TDeliveryQueue::Post(std::function<void()> fn) {
    std::lock_guard lock(mutex_);
    posted_.push_back(std::move(fn));
}

void TDeliveryQueue::RunWaiting() {
    std::unique_lock lock(mutex_);
    RunWaitingLocked(lock);
}

void TDeliveryQueue::RunWaitingLocked(std::unique_lock<std::mutex>& lock) {
    while (!waiting_.empty()) {
        std::shared_ptr<Call> call = waiting_.front();
        waiting_.pop_front();
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
        finished_.notify_all();
    }
}

void TDeliveryQueue::RunOnePosted() {
    std::function<void()> fn;
    {
        std::lock_guard lock(mutex_);
        if (posted_.empty()) {
            return;
        }
        fn = std::move(posted_.front());
        posted_.pop_front();
    }
    try {
        fn();
    } catch (...) {
        HandleApplicationException(std::current_exception());
    }
}

void TDeliveryQueue::ServeUntil(const std::function<bool()>& done) {
    std::unique_lock lock(mutex_);
    for (;;) {
        RunWaitingLocked(lock);
        woken_ = false;
        lock.unlock();
        const bool finished = done();
        lock.lock();
        if (finished) {
            return;
        }
        queued_.wait(lock, [this] { return woken_ || !waiting_.empty(); });
    }
}

void TDeliveryQueue::Wake() {
    std::lock_guard lock(mutex_);
    woken_ = true;
    queued_.notify_all();
}

} // namespace serial
