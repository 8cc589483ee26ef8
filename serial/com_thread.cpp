#include "serial/com_thread.h"

#include "serial/app_exception.h"
#include "serial/backend.h"
#include "serial/com_error.h"
#include "serial/com_port.h"
#include "serial/sync_dispatcher.h"
#include "serial/sync_window.h"

#include <array>

namespace serial {

namespace {

struct EventBit {
    TComEvent event;
    std::uint32_t bit;
    TComThread::Handler handler;
};

// The delivery order of events that occur together, with each event's mask bit and the port's
// handler of it. Every way of delivering an event (on either thread, or as a window message
// with the bit) goes by this one table.
constexpr std::array<EventBit, 10> kDeliveryOrder = {{
    {evError, 128, &TCustomComPort::CallError},
    {evRxChar, 1, &TCustomComPort::CallRxChar},
    {evTxEmpty, 4, &TCustomComPort::CallTxEmpty},
    {evBreak, 64, &TCustomComPort::CallBreak},
    {evRing, 256, &TCustomComPort::CallRing},
    {evCTS, 8, &TCustomComPort::CallCTSChange},
    {evDSR, 16, &TCustomComPort::CallDSRChange},
    {evRxFlag, 2, &TCustomComPort::CallRxFlag},
    {evRLSD, 32, &TCustomComPort::CallRLSDChange},
    {evRx80Full, 1024, &TCustomComPort::CallRx80Full},
}};

constexpr std::uint32_t kPurgeTxClear = 4;
constexpr std::uint32_t kPurgeRxClear = 8;
// A wait that cannot even be started (a device that has gone away) is tried again this often,
// until the thread is stopped.
constexpr int kRetryMs = 1000;

} // namespace

std::uint32_t TComThread::EventsToMask(TComEvents events) {
    std::uint32_t mask = 0;
    for (const EventBit& e : kDeliveryOrder)
        if (events.contains(e.event))
            mask |= e.bit;
    return mask;
}

TComEvents TComThread::MaskToEvents(std::uint32_t mask) {
    TComEvents events;
    for (const EventBit& e : kDeliveryOrder)
        if (mask & e.bit)
            events.insert(e.event);
    return events;
}

TComThread::Handler TComThread::HandlerOf(std::uintptr_t bit) {
    for (const EventBit& e : kDeliveryOrder)
        if (e.bit == bit)
            return e.handler;
    return nullptr;
}

namespace {

std::atomic<int> stopEventFailure{0};

} // namespace

void TComThread::FailNextStopEventForTesting(int error) {
    stopEventFailure = error;
}

TComThread::TComThread(TCustomComPort& port)
    : port_(&port), priority_(port.EventThreadPriority()), dispatcher_(SyncDispatcher()) {
    int err = stopEventFailure.exchange(0);
    if (err == 0)
        err = backend::CreateSignalEvent(true, false, halt_);
    // Like every failed system call of the port, an EComPort: Open fails with "Unable to open
    // com port" and the system's code, and the port is left closed.
    if (err != 0)
        throw EComPort(CError_OpenFailed, err);
    // The result is ignored: a device that refuses the mask simply reports no events.
    backend::SetEventMask(port.DeviceHandle(), EventsToMask(port.Events()));
}

void TComThread::Resume() {
    if (!thread_.joinable())
        thread_ = std::thread([this] { Execute(); });
}

TComThread::~TComThread() {
    Stop();
    if (thread_.joinable()) {
        // Joining from inside a delivery would wait for ever; the port never does that.
        if (dispatcher_->InUiThread())
            dispatcher_->ServeUntil([this] { return finished_.load(); });
        thread_.join();
    } else if (!released_) {
        // Never resumed: the mask set at construction goes, as the body would have cleared it.
        backend::SetEventMask(port_->DeviceHandle(), 0);
    }
    backend::DestroySignalEvent(halt_);
}

void TComThread::Stop() {
    backend::SetSignalEvent(halt_);
    std::this_thread::yield();
}

bool TComThread::InDelivery() const {
    std::thread::id self = std::this_thread::get_id();
    return bodyThread_.load() == self || deliveringOn_.load() == self;
}

void TComThread::ReleaseDevice() {
    released_ = true;
    Stop();
}

void TComThread::Abandon() {
    if (thread_.joinable())
        thread_.detach();
}

void TComThread::Execute() {
    bodyThread_ = std::this_thread::get_id();
    backend::NameCurrentThread(kThreadName);
    backend::ApplyCurrentThreadPriority(static_cast<int>(priority_));
    backend::Device* device = port_->DeviceHandle();
    backend::Overlapped* overlapped = nullptr;
    // The device writes the events into mask when a wait ends, also one that the new mask at
    // the end cuts short, so mask lives as long as the record.
    std::uint32_t mask = 0;
    bool waiting = false;
    if (backend::CreateOverlapped(overlapped, true) == 0) {
        backend::Event* handles[2] = {halt_, backend::OverlappedEvent(overlapped)};
        for (;;) {
            mask = 0;
            int index = 0;
            int started = backend::StartEventWait(device, overlapped, &mask);
            if (started != 0 && started != backend::kErrorIoPending) {
                // Nothing to wait for on the device: wait for the stop only, for a while.
                if (backend::WaitForEvents(handles, 1, kRetryMs, index) != 0 || index == 0)
                    break;
                continue;
            }
            waiting = true;
            if (backend::WaitForEvents(handles, 2, -1, index) != 0 || index != 1)
                break;
            waiting = false;
            ++wakeUps_;
            std::uint32_t transferred = 0;
            if (backend::OverlappedResult(device, overlapped, transferred) == 0) {
                pending_ = MaskToEvents(mask);
                DispatchComMsg();
                // A handler closed the port: the device is no longer ours to touch.
                if (released_)
                    break;
            } else {
                // A wait that ends in failure delivers nothing. Starting the next one at once
                // would spin if every wait fails (a device gone away, or Wine's pseudo-terminal
                // ports, whose event waits end at once with error 995): pause first.
                if (backend::WaitForEvents(handles, 1, kRetryMs, index) != 0 || index == 0)
                    break;
            }
        }
    }
    // The thread's end: no more events, and what is left in both queues is discarded. A port
    // closed from inside a delivery has done this itself before it released the device.
    if (!released_) {
        backend::SetEventMask(device, 0);
        backend::Purge(device, kPurgeTxClear | kPurgeRxClear);
    }
    if (overlapped) {
        // A wait still pending has been ended by the new mask, unless the device has gone away
        // and refused the mask: it is cancelled before anything waits for it, and it must have
        // completed before its record goes. (After a release none is pending: the wait had
        // completed before the delivery.)
        if (waiting) {
            backend::CancelEventWait(device, overlapped);
            backend::WaitOverlapped(device, overlapped);
        }
        backend::DestroyOverlapped(overlapped);
    }
    finished_ = true;
    dispatcher_->Wake();
}

void TComThread::DispatchComMsg() {
    if (pending_.empty())
        return;
    // Nothing may escape the thread: an exception from a handler goes to the application's
    // exception handler, and the thread goes on waiting.
    try {
        switch (port_->SyncMethod()) {
        case smThreadSync:
            dispatcher_->Synchronize([this] { DoEvents(); });
            break;
        case smWindowSync:
            SendEvents();
            break;
        case smNone:
            DoEvents();
            break;
        }
    } catch (...) {
        HandleApplicationException(std::current_exception());
    }
}

void TComThread::DoEvents() {
    // Marks the running thread, so that a Close from one of the handlers knows it must not wait
    // for this thread's end.
    struct Delivering {
        std::atomic<std::thread::id>& on;
        std::thread::id before;
        explicit Delivering(std::atomic<std::thread::id>& marker)
            : on(marker), before(marker.exchange(std::this_thread::get_id())) {}
        ~Delivering() { on = before; }
        Delivering(const Delivering&) = delete;
        Delivering& operator=(const Delivering&) = delete;
    } delivering(deliveringOn_);
    for (const EventBit& e : kDeliveryOrder) {
        if (!pending_.contains(e.event))
            continue;
        // A handler closed the port: the rest of this wait's events go with it.
        if (released_)
            break;
        (port_->*e.handler)();
    }
}

void TComThread::SendEvents() {
    TSyncWindow* window = port_->SyncWindow();
    if (!window)
        return;
    for (const EventBit& e : kDeliveryOrder)
        if (pending_.contains(e.event))
            window->Post(kEventMessage, e.bit, 0);
}

} // namespace serial
