#include "ui/qt/qt_sync_dispatcher.h"

#include "serial/app_exception.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QThread>

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <utility>

namespace ui::qt {

namespace {

struct Call {
    std::function<void()> fn;
    bool done = false;
    std::exception_ptr error;
};

} // namespace

// Everything the two threads share is here, under one mutex: the queued wake-ups of the event
// loop carry no data of their own, they only tell the GUI thread to look.
struct QtSyncDispatcher::Calls {
    std::mutex mutex;
    std::condition_variable queued;   // a call was queued, or ServeUntil should look again
    std::condition_variable finished; // a call has run
    std::deque<std::shared_ptr<Call>> waiting;
    std::deque<std::function<void()>> posted;

    // Runs the waiting Synchronize calls on the GUI thread (lock held on entry and on return).
    void RunWaiting(std::unique_lock<std::mutex>& lock) {
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

    // Runs the oldest posted item on the GUI thread.
    void RunOnePosted() {
        std::function<void()> fn;
        {
            std::lock_guard lock(mutex);
            if (posted.empty())
                return;
            fn = std::move(posted.front());
            posted.pop_front();
        }
        // Nothing may escape into Qt's event loop.
        try {
            fn();
        } catch (...) {
            serial::HandleApplicationException(std::current_exception());
        }
    }
};

// The object of the GUI thread that the event loop's wake-ups are queued for.
class QtSyncReceiver : public QObject {
    Q_OBJECT
public:
    explicit QtSyncReceiver(std::shared_ptr<QtSyncDispatcher::Calls> calls)
        : calls_(std::move(calls)) {}

    Q_INVOKABLE void runWaiting() {
        std::unique_lock lock(calls_->mutex);
        calls_->RunWaiting(lock);
    }
    Q_INVOKABLE void runPosted() { calls_->RunOnePosted(); }

private:
    std::shared_ptr<QtSyncDispatcher::Calls> calls_;
};

QtSyncDispatcher::QtSyncDispatcher()
    : calls_(std::make_shared<Calls>()), receiver_(new QtSyncReceiver(calls_)),
      uiThread_(QCoreApplication::instance() ? QCoreApplication::instance()->thread()
                                             : QThread::currentThread()) {
    receiver_->moveToThread(uiThread_);
}

QtSyncDispatcher::~QtSyncDispatcher() {
    // Wake-ups still queued for the receiver are dropped with it.
    if (InUiThread())
        delete receiver_;
    else
        receiver_->deleteLater();
}

void QtSyncDispatcher::Synchronize(const std::function<void()>& fn) {
    if (InUiThread()) {
        fn();
        return;
    }
    auto call = std::make_shared<Call>();
    call->fn = fn;
    {
        std::lock_guard lock(calls_->mutex);
        calls_->waiting.push_back(call);
        calls_->queued.notify_all();
    }
    QMetaObject::invokeMethod(receiver_, "runWaiting", Qt::QueuedConnection);
    std::unique_lock lock(calls_->mutex);
    calls_->finished.wait(lock, [&] { return call->done; });
    if (call->error)
        std::rethrow_exception(call->error);
}

void QtSyncDispatcher::Post(std::function<void()> fn) {
    {
        std::lock_guard lock(calls_->mutex);
        calls_->posted.push_back(std::move(fn));
    }
    // One wake-up per item, so the items run one per event, in order, between other events.
    QMetaObject::invokeMethod(receiver_, "runPosted", Qt::QueuedConnection);
}

bool QtSyncDispatcher::InUiThread() const {
    return QThread::currentThread() == uiThread_;
}

void QtSyncDispatcher::ServeUntil(const std::function<bool()>& done) {
    std::unique_lock lock(calls_->mutex);
    for (;;) {
        calls_->RunWaiting(lock);
        if (done())
            return;
        calls_->queued.wait(lock);
    }
}

void QtSyncDispatcher::Wake() {
    std::lock_guard lock(calls_->mutex);
    calls_->queued.notify_all();
}

} // namespace ui::qt

#include "qt_sync_dispatcher.moc"
