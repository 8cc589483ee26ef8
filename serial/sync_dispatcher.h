// How the event thread reaches the user-interface thread. The library stays free of any
// toolkit: smThreadSync runs the delivery on the user-interface thread and waits for it
// (Synchronize), smWindowSync posts each event there and goes on (Post). An application with an
// event loop installs a dispatcher that wakes its loop; TPlainDispatcher is the plain one, whose
// queue the user-interface thread works off by calling CheckSynchronize.
#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace serial {

class TSyncDispatcher {
public:
    virtual ~TSyncDispatcher() = default;
    // Runs fn on the user-interface thread and returns when it has run; an exception from fn
    // is raised here. Called on the user-interface thread itself, it runs fn at once.
    virtual void Synchronize(const std::function<void()>& fn) = 0;
    // Queues fn for the user-interface thread and returns at once.
    virtual void Post(std::function<void()> fn) = 0;
    virtual bool InUiThread() const = 0;
    // On the user-interface thread: keeps running the queued Synchronize calls (work whose
    // sender waits) until done() is true; posted work waits for the usual run of the queue.
    // Wake makes it look at done() again. Close waits for the event thread this way, so that a
    // thread blocked in Synchronize can always finish.
    virtual void ServeUntil(const std::function<bool()>& done) = 0;
    virtual void Wake() = 0;
};

class TPlainDispatcher : public TSyncDispatcher {
public:
    // The constructing thread is the user-interface thread.
    TPlainDispatcher();

    // Runs the work queued so far, waiting up to timeoutMs for some if there is none; returns
    // how many items ran. An exception from posted work goes to the application's handler.
    int CheckSynchronize(int timeoutMs = 0);

    void Synchronize(const std::function<void()>& fn) override;
    void Post(std::function<void()> fn) override;
    bool InUiThread() const override { return std::this_thread::get_id() == uiThread_; }
    void ServeUntil(const std::function<bool()>& done) override;
    void Wake() override;

private:
    struct Request {
        std::function<void()> fn;
        bool waited = false; // a Synchronize call waits for it
        bool done = false;
        std::exception_ptr error;
    };
    void Run(const std::shared_ptr<Request>& request);

    std::thread::id uiThread_;
    std::mutex mutex_;
    std::condition_variable queued_;   // new work or a wake-up
    std::condition_variable finished_; // a waited request has run
    std::deque<std::shared_ptr<Request>> queue_;
};

// The dispatcher in use: the installed one, or a plain one made on first use (whose
// user-interface thread is the thread that first asked).
std::shared_ptr<TSyncDispatcher> SyncDispatcher();
void SetSyncDispatcher(std::shared_ptr<TSyncDispatcher> dispatcher);

} // namespace serial
