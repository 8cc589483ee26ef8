// Internal to the POSIX backend: the open device and the helpers that the transfer code and the
// event wait share.
#pragma once

#include "serial/backend.h"
#include "serial/modem_watch.h"
#include "serial/posix_extras.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace serial::backend {

struct Device {
    int fd = -1;
    std::uint64_t id = 0; // tells a reopened device apart from a released one at the same address
    std::atomic<std::uint64_t> abortGeneration{0};

    std::mutex mutex; // guards everything below
    TTimeoutsRecord timeouts{};
    TQueueSizes queueSizes{1024, 1024};
    bool discardNull = false;
    char eventChar = 0;
    bool haveCounters = false;
    posix::LineCounters counters; // as of the last error query
    // Bytes already taken from the driver (to look for the event character) but not yet read;
    // they come before anything still in the driver's queue.
    std::vector<char> stash;
    bool txPending = false; // a write has put bytes in the transmit queue since the last empty
    std::uint32_t baud = 9600;

    // Line events (event_wait_posix.cpp).
    int epollFd = -1; // the device (edge-triggered: each arrival of bytes) and kickFd
    int kickFd = -1;  // an eventfd written when something else may have produced an event
    std::uint32_t eventMask = 0;
    Overlapped* pendingWait = nullptr; // the event wait in progress, if any
    bool rxArrived = false;            // bytes arrived that no event wait has reported yet
    bool hangUp = false;
    bool rx80Reported = false;         // the receive queue has been reported 80 % full
    posix::LineCounters eventCounters; // as of the last event evaluation
    // Kicks the event wait on a modem-line change; only while the mask asks for such events on a
    // device whose driver keeps counters.
    std::unique_ptr<posix::ModemWatch> modemWatch;
};

struct Overlapped {
    using Clock = std::chrono::steady_clock;
    std::mutex stateMutex; // guards state, error and *maskOut of an event wait
    enum class State { Idle, Pending, Done };
    Event* event = nullptr; // manual-reset; signalled when no transfer is in progress
    State state = State::Idle;
    bool eventWait = false; // an event wait rather than a transfer
    std::uint32_t* maskOut = nullptr;
    bool isRead = false;
    Device* device = nullptr;
    std::uint64_t deviceId = 0;
    std::uint64_t abortGeneration = 0;
    char* readBuffer = nullptr;
    const char* writeBuffer = nullptr;
    std::uint32_t count = 0;
    std::uint32_t done = 0;
    int error = 0;
    // Time-out rules taken when the transfer started.
    bool hasTotal = false;
    Clock::time_point totalDeadline;
    std::uint32_t intervalMs = 0; // 0: no interval time-out
    Clock::time_point lastByte;
    bool returnOnAnyByte = false; // a read that ends as soon as it has some bytes
    bool triedAtStart = false;    // the start's own attempt left the transfer pending
};

// Reads up to max received bytes, the stashed ones first, dropping zero bytes when asked to.
// Returns the bytes read (0 when none wait) or a negative errno value.
int ReadReceived(Device* device, char* buffer, std::uint32_t max);
// Forgets the stashed bytes (the receive queue is being discarded).
void PurgeReceived(Device* device);
std::uint32_t StashedCount(Device* device);
// A write has put bytes into the transmit queue.
void NoteWritten(Device* device);

// Event side of a device (event_wait_posix.cpp): set up at open, released at close.
int AttachEventSource(Device* device);
void DetachEventSource(Device* device);
// Makes a pending event wait look at the device again.
void KickEventWait(Device* device);
// Unlinks a record that is being destroyed from the device's pending event wait.
void ForgetEventWait(Overlapped* overlapped);
// The result of an event wait: 0, kErrorIoIncomplete while it goes on, or its error.
int EventWaitResult(Overlapped* overlapped);
// Ties a record's event to the record, so that waiting on the event carries its wait on.
void SetEventOwner(Event* event, Overlapped* owner);

} // namespace serial::backend
