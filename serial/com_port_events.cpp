// The port's side of the event thread: starting and stopping it, waiting for events without it,
// and the hidden window's procedure.
#include "serial/app_exception.h"
#include "serial/backend.h"
#include "serial/com_port.h"
#include "serial/com_thread.h"
#include "serial/signal_event.h"
#include "serial/sync_dispatcher.h"
#include "serial/sync_window.h"

#include <exception>

namespace serial {

namespace {

constexpr std::uint32_t kPurgeTxClear = 4;
constexpr std::uint32_t kPurgeRxClear = 8;

} // namespace

void TCustomComPort::StartEventThread() {
    if (syncMethod_ == smWindowSync)
        syncWindow_ = new TSyncWindow(*this, SyncDispatcher());
    watchThread_ = new TComThread(*this);
    watchThreadRunning_ = true;
    watchThread_->Resume();
}

void TCustomComPort::StopEventThread() {
    // The thread ends before its window goes, and both before the device is released.
    if (watchThread_ && watchThread_->InDelivery()) {
        // Close from one of the thread's own handlers (on the event thread with smNone, or on
        // the user-interface thread inside an smThreadSync delivery): the thread cannot end
        // before the handler returns, so waiting for it here would never end. It is halted and
        // gives up the device instead; the end of its work (no event mask, both queues
        // discarded) is done here, so the device can be released at once.
        watchThread_->ReleaseDevice();
        backend::SetEventMask(deviceHandle_, 0);
        backend::Purge(deviceHandle_, kPurgeTxClear | kPurgeRxClear);
        retiredThreads_.push_back(watchThread_);
    } else {
        delete watchThread_;
    }
    watchThread_ = nullptr;
    watchThreadRunning_ = false;
    delete syncWindow_;
    syncWindow_ = nullptr;
}

void TCustomComPort::ReapRetiredThreads() {
    std::vector<TComThread*> keep;
    for (TComThread* thread : retiredThreads_) {
        if (thread->InDelivery())
            keep.push_back(thread); // still returning from the handler that closed the port
        else
            delete thread; // waits for its end, which follows the handler's return at once
    }
    retiredThreads_.swap(keep);
}

void TCustomComPort::WaitForEvent(TComEvents& events, TSignalEvent* stopEvent, int timeout) {
    if (watchThreadRunning_)
        throw EComPort(CError_ThreadCreated);
    backend::Overlapped* overlapped = nullptr;
    if (int err = backend::CreateOverlapped(overlapped, false); err != 0)
        throw EComPort(CError_WaitFailed, err);
    struct Release {
        backend::Overlapped* record;
        ~Release() { backend::DestroyOverlapped(record); }
    } release{overlapped};

    backend::Event* handles[2] = {backend::OverlappedEvent(overlapped),
                                  stopEvent ? stopEvent->Handle() : nullptr};
    int count = stopEvent ? 2 : 1;
    std::uint32_t mask = 0;
    backend::SetEventMask(deviceHandle_, TComThread::EventsToMask(events));
    int err = backend::StartEventWait(deviceHandle_, overlapped, &mask);
    if (err == 0 || err == backend::kErrorIoPending) {
        int index = 0;
        err = backend::WaitForEvents(handles, count, timeout, index);
        bool waited = err == 0 && (index == 0 || index == 1 || index == backend::kWaitTimeout);
        // A new mask ends a wait still pending; the device then writes the (empty) mask, so
        // the record must complete before it and mask go away.
        backend::SetEventMask(deviceHandle_, 0);
        if (index != 0) {
            // A device that has gone away may refuse the new mask: the wait is cancelled too.
            backend::CancelEventWait(deviceHandle_, overlapped);
            backend::WaitOverlapped(deviceHandle_, overlapped);
        }
        if (!waited) {
            if (err == 0)
                err = index;
        } else if (index == 0) {
            // The wait itself ended: it counts only if it succeeded, otherwise it is a failure
            // rather than an empty set of events.
            std::uint32_t transferred = 0;
            err = backend::OverlappedResult(deviceHandle_, overlapped, transferred);
        } else {
            err = 0;
        }
    }
    if (err != 0)
        throw EComPort(CError_WaitFailed, err);
    events = TComThread::MaskToEvents(mask);
}

void TCustomComPort::WindowMethod(TMessage& message) {
    message.Result = 0;
    if (message.Msg != TComThread::kEventMessage)
        return; // what the default window procedure does for a hidden window: nothing
    // Posted messages need no early reply: the event thread did not wait for this one.
    if (!connected_)
        return;
    try {
        // Any other value does nothing.
        if (TComThread::Handler handler = TComThread::HandlerOf(message.WParam))
            (this->*handler)();
    } catch (...) {
        HandleApplicationException(std::current_exception());
    }
}

} // namespace serial
