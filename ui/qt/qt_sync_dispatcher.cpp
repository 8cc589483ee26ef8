#include "ui/qt/qt_sync_dispatcher.h"

#include "serial/delivery_queue.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QThread>

#include <utility>

namespace ui::qt {

// Shared by the dispatcher and the receiver: a wake-up still queued in the event loop may reach
// the receiver after the dispatcher is gone. The event loop's wake-ups carry no data of their
// own; they only tell the GUI thread to look at the queue.
struct QtSyncDispatcher::Calls {
    QObject* receiver = nullptr; // set once, before any call is queued
    serial::TDeliveryQueue queue{
        [this] { QMetaObject::invokeMethod(receiver, "runWaiting", Qt::QueuedConnection); }};
};

// The object of the GUI thread that the event loop's wake-ups are queued for.
class QtSyncReceiver : public QObject {
    Q_OBJECT
public:
    explicit QtSyncReceiver(std::shared_ptr<QtSyncDispatcher::Calls> calls)
        : calls_(std::move(calls)) {}

    Q_INVOKABLE void runWaiting() { calls_->queue.RunWaiting(); }
    Q_INVOKABLE void runPosted() { calls_->queue.RunOnePosted(); }

private:
    std::shared_ptr<QtSyncDispatcher::Calls> calls_;
};

QtSyncDispatcher::QtSyncDispatcher()
    : calls_(std::make_shared<Calls>()), receiver_(new QtSyncReceiver(calls_)),
      uiThread_(QCoreApplication::instance() ? QCoreApplication::instance()->thread()
                                             : QThread::currentThread()) {
    calls_->receiver = receiver_;
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
    calls_->queue.Synchronize(fn);
}

void QtSyncDispatcher::Post(std::function<void()> fn) {
    calls_->queue.Post(std::move(fn));
    // One wake-up per item, so the items run one per event, in order, between other events.
    QMetaObject::invokeMethod(receiver_, "runPosted", Qt::QueuedConnection);
}

bool QtSyncDispatcher::InUiThread() const {
    return QThread::currentThread() == uiThread_;
}

void QtSyncDispatcher::ServeUntil(const std::function<bool()>& done) {
    calls_->queue.ServeUntil(done);
}

void QtSyncDispatcher::Wake() {
    calls_->queue.Wake();
}

} // namespace ui::qt

#include "qt_sync_dispatcher.moc"
