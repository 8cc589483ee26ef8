#pragma once
// The serial component's dispatcher in the Qt application: the event thread's deliveries reach
// the GUI thread through Qt's event loop. Synchronize (smThreadSync) queues the call, wakes the
// loop with a queued call to an object of the GUI thread and waits until the call has run;
// Post (smWindowSync) only queues. While Close waits on the GUI thread for an event thread,
// ServeUntil runs the queued Synchronize calls itself, without the event loop, so an event
// thread blocked in a delivery always finishes. Posted events wait for the event loop, as
// posted messages do.

#include "serial/sync_dispatcher.h"

#include <functional>
#include <memory>

class QObject;
class QThread;

namespace ui::qt {

class QtSyncDispatcher : public serial::TSyncDispatcher {
public:
    // Made on the GUI thread, once the application object exists.
    QtSyncDispatcher();
    ~QtSyncDispatcher() override;
    QtSyncDispatcher(const QtSyncDispatcher&) = delete;
    QtSyncDispatcher& operator=(const QtSyncDispatcher&) = delete;

    void Synchronize(const std::function<void()>& fn) override;
    void Post(std::function<void()> fn) override;
    bool InUiThread() const override;
    void ServeUntil(const std::function<bool()>& done) override;
    void Wake() override;

    struct Calls; // the queued work, shared with the receiver of the event loop's wake-ups

private:
    std::shared_ptr<Calls> calls_;
    QObject* receiver_; // lives in the GUI thread; queued calls to it run there
    QThread* uiThread_;
};

} // namespace ui::qt
