#pragma once
// The queue behind a dispatcher that reaches the user-interface thread through a toolkit's event
// loop: the calls an event thread waits for (Synchronize) and the items it only posts (Post),
// each run on the user-interface thread. The toolkit's dispatcher does no more than wake its
// loop and call RunWaiting and RunOnePosted from it, so the Qt and the Win32 programs deliver
// serial events by the same rules.

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>

namespace serial {

class TDeliveryQueue {
public:
    // `wakeForWaiting` runs on the calling thread right after a waited call was queued; it tells
    // the user-interface thread to look (a queued event of its loop).
    explicit TDeliveryQueue(std::function<void()> wakeForWaiting);

    // From another thread: queues fn, wakes the user-interface thread and returns when fn has
    // run there; an exception from fn is raised here.
    void Synchronize(const std::function<void()>& fn);
    // Queues fn for RunOnePosted; the caller schedules one run per item on its loop, so the
    // items run in order between the loop's other events.
    void Post(std::function<void()> fn);

    // On the user-interface thread: runs every waiting Synchronize call.
    void RunWaiting();
    // On the user-interface thread: runs the oldest posted item, if any. Nothing escapes into
    // the toolkit's loop: an exception goes to the application's exception handler.
    void RunOnePosted();

    // On the user-interface thread, while Close waits: runs the waiting calls (never a posted
    // item) until done() is true, sleeping in between until a call is queued or Wake is called.
    void ServeUntil(const std::function<bool()>& done);
    // Makes ServeUntil look at done() again.
    void Wake();

private:
    struct Call {
        std::function<void()> fn;
        bool done = false;
        std::exception_ptr error;
    };
    // Lock held on entry and on return.
    void RunWaitingLocked(std::unique_lock<std::mutex>& lock);

    std::function<void()> wakeForWaiting_;
    std::mutex mutex_;
    std::condition_variable queued_;   // a call was queued, or ServeUntil should look again
    std::condition_variable finished_; // a call has run
    std::deque<std::shared_ptr<Call>> waiting_;
    std::deque<std::function<void()>> posted_;
    bool woken_ = false;
};

} // namespace serial
