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
    // Made by Open: sets the device's event mask from the port's Events and starts waiting.
    explicit TComThread(TCustomComPort& port);
    // Destroyed by Close: stops the thread and waits for its end. On the user-interface thread
    // the wait keeps serving synchronisation requests, so a delivery in progress can finish.
    ~TComThread();
    TComThread(const TComThread&) = delete;
    TComThread& operator=(const TComThread&) = delete;

    // Signals HaltEvent and yields once.
    void Stop();

    TCustomComPort* PortRef() const { return port_; }
    backend::Event* HaltEvent() const { return halt_; }
    // The events of the last completed wait (written and read on the event thread).
    TComEvents PendingEvents() const { return pending_; }
    // Completed waits so far: each is one wake-up of the thread.
    std::uint64_t WakeUps() const { return wakeUps_.load(); }

    static std::uint32_t EventsToMask(TComEvents events);
    static TComEvents MaskToEvents(std::uint32_t mask);

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
    std::atomic<std::uint64_t> wakeUps_{0};
    std::thread thread_;
};

} // namespace serial
