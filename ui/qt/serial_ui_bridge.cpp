#include "ui/qt/serial_ui_bridge.h"

#include "protocol/guarded_call.h"
#include "protocol/ui_services.h"
#include "serial/sync_dispatcher.h"
#include "ui/qt/qt_sync_dispatcher.h"

#include <QMetaObject>
#include <QObject>
#include <QThread>

#include <deque>
#include <exception>
#include <mutex>

namespace ui::qt {

namespace {

void ShowIn(protocol::UiServices& ui, const std::exception_ptr& error) {
    protocol::GuardedCall(ui, [&error] { std::rethrow_exception(error); });
}

} // namespace

// The exceptions on their way to the GUI thread; shared with the installed handler, which may
// run on any thread and outlive the bridge by a moment.
struct SerialUiBridge::Shown {
    std::mutex mutex;
    QObject* receiver = nullptr; // lives in the GUI thread; gone when the bridge goes
    std::deque<std::exception_ptr> queued;

    // Shows the exception's message on the GUI thread: at once when called there (as the
    // toolkit's handler does), otherwise through the event loop.
    void Show(protocol::UiServices& ui, const std::exception_ptr& error);
};

// The object of the GUI thread that shows the exceptions queued from other threads.
class SerialExceptionReceiver : public QObject {
    Q_OBJECT
public:
    SerialExceptionReceiver(SerialUiBridge::Shown& shown, protocol::UiServices& ui)
        : shown_(shown), ui_(ui) {}

    Q_INVOKABLE void showQueued() {
        std::exception_ptr error;
        {
            std::lock_guard lock(shown_.mutex);
            if (shown_.queued.empty())
                return;
            error = shown_.queued.front();
            shown_.queued.pop_front();
        }
        ShowIn(ui_, error);
    }

private:
    SerialUiBridge::Shown& shown_;
    protocol::UiServices& ui_;
};

void SerialUiBridge::Shown::Show(protocol::UiServices& ui, const std::exception_ptr& error) {
    std::unique_lock lock(mutex);
    if (!receiver)
        return; // the bridge is going: nobody left to show it
    if (QThread::currentThread() == receiver->thread()) {
        lock.unlock(); // the box runs an event loop, which may show another
        ShowIn(ui, error);
        return;
    }
    queued.push_back(error);
    // Queued under the lock, so that the receiver cannot go meanwhile; a wake-up still queued
    // when it goes is dropped.
    QMetaObject::invokeMethod(receiver, "showQueued", Qt::QueuedConnection);
}

SerialUiBridge::SerialUiBridge(protocol::UiServices& ui) : shown_(std::make_shared<Shown>()) {
    shown_->receiver = new SerialExceptionReceiver(*shown_, ui);
    previousDispatcher_ = serial::SyncDispatcher();
    serial::SetSyncDispatcher(std::make_shared<QtSyncDispatcher>());
    std::shared_ptr<Shown> shown = shown_;
    protocol::UiServices* target = &ui;
    previousHandler_ = serial::SetApplicationExceptionHandler(
        [shown, target](std::exception_ptr error) { shown->Show(*target, error); });
}

SerialUiBridge::~SerialUiBridge() {
    serial::SetApplicationExceptionHandler(previousHandler_);
    serial::SetSyncDispatcher(previousDispatcher_);
    QObject* receiver = nullptr;
    {
        std::lock_guard lock(shown_->mutex);
        receiver = shown_->receiver;
        shown_->receiver = nullptr;
        shown_->queued.clear();
    }
    delete receiver;
}

} // namespace ui::qt

#include "serial_ui_bridge.moc"
