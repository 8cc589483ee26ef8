// The event thread of an open port: waits for the line events named in the port's Events and
// delivers each one to the port by the port's SyncMethod.
#pragma once

#include "serial/com_types.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

namespace serial {

namespace backend {
struct Event;
} // namespace backend

class TSyncDispatcher;

class TComThread {
public:
    // Made by Open, suspended: sets the device's event mask from the port's Events. Raises
    // EComPort (code 1, with the system's code) when the stop event cannot be made.
    explicit TComThread(TCustomComPort& port);
    // Starts the thread, which begins to wait. The port resumes its thread only once it holds
    // it, since a handler on the thread may close the port at once.
    void Resume();
    // Destroyed by Close: stops the thread and waits for its end. On the user-interface thread
    // the wait keeps serving synchronisation requests, so a delivery in progress can finish.
    ~TComThread();
    TComThread(const TComThread&) = delete;
    TComThread& operator=(const TComThread&) = delete;

    // Signals HaltEvent and yields once.
    void Stop();

    // Whether the calling thread is this thread itself or is running one of its deliveries
    // (the user-interface thread inside an smThreadSync delivery). Such a caller must not wait
    // for the thread's end: the thread cannot end before the caller returns.
    bool InDelivery() const;
    // Close from inside a delivery: halts the thread and hands the device back to the port at
    // once. The thread delivers nothing more, touches the device no more and ends as soon as
    // the delivery returns; the port then releases the device itself and destroys this object
    // later, from outside the delivery.
    void ReleaseDevice();
    // Last resort for an object that can never be destroyed from outside its delivery (the port
    // itself is destroyed inside one): the thread ends on its own and the object is left to it.
    void Abandon();

    TCustomComPort* PortRef() const { return port_; }
    backend::Event* HaltEvent() const { return halt_; }
    // The events of the last completed wait (written and read on the event thread).
    TComEvents PendingEvents() const { return pending_; }
    // Completed waits so far: each is one wake-up of the thread.
    std::uint64_t WakeUps() const { return wakeUps_.load(); }

    // Failure injection for tests: the next thread's stop event fails to be made with this
    // system error code (0 for none). Not for use outside tests.
    static void FailNextStopEventForTesting(int error);

    static std::uint32_t EventsToMask(TComEvents events);
    static TComEvents MaskToEvents(std::uint32_t mask);
    // The port's handler of the event whose mask bit is `bit`; nullptr for any other value.
    using Handler = void (TCustomComPort::*)();
    static Handler HandlerOf(std::uintptr_t bit);

    // The name the thread carries in system monitors (at most 15 characters for Linux).
    static constexpr const char* kThreadName = "lirat5-events";

    // The message the window method receives for each event with smWindowSync.
    static constexpr unsigned kEventMessage = 1025;

private:
    void Execute();
    void DispatchComMsg();
    void DoEvents();
    void SendEvents();

    TCustomComPort* port_;
    backend::Event* halt_ = nullptr;
    TComEvents pending_;
    TThreadPriority priority_;
    std::shared_ptr<TSyncDispatcher> dispatcher_;
    std::atomic<bool> finished_{false};
    std::atomic<bool> released_{false};           // the port has taken the device back
    std::atomic<std::thread::id> bodyThread_{};   // the thread running Execute
    std::atomic<std::thread::id> deliveringOn_{}; // the thread running DoEvents, if any
    std::atomic<std::uint64_t> wakeUps_{0};
    std::thread thread_;
};

} // namespace serial
