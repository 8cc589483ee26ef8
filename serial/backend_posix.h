// Internal to the POSIX backend: the open device and the helpers that the transfer code, the
// background transfers and the event wait share.
#pragma once

#include "serial/backend.h"
#include "serial/modem_watch.h"
#include "serial/posix_extras.h"
#include "serial/posix_syscalls.h"
#include "serial/transfer_rules.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace serial::backend {

class TransferWorker;

struct Device {
    int fd = -1;
    posix::SystemCalls* sys = nullptr; // the kernel calls, as current when the device was opened
    std::uint64_t id = 0; // tells a reopened device apart from a released one at the same address
    std::atomic<std::uint64_t> abortGeneration{0};
    // A real device queues written bytes in the driver and its UART; a pseudo-terminal has no
    // such queue, its writes are complete when write() returns.
    bool hasTxQueue = true;
    std::string lockPath; // the UUCP lock file this device made, if any

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
    // Settings the kernel has no switch for, emulated here.
    bool parityMarks = false; // input is PARMRK-marked; error bytes become replaceChar
    char replaceChar = 0;
    posix::MarkState marks;         // a marker cut by the end of the last read
    std::uint32_t markedErrors = 0; // error bytes decoded since the last error query
    bool dsrSensitive = false;      // input is dropped while DSR is off
    bool rtsToggle = false;         // RTS on while a write's bytes are being sent

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
    // A mask without per-byte events (received byte, event character) needs to hear of arrivals
    // only to see the queue fill: while transfers go on, the arrivals (the replies the transfers
    // read themselves) are not watched, and the queue is looked at when the transfers have been
    // quiet for a moment (event_wait_posix.cpp).
    std::atomic<bool> quietWhileBusy{false};
    std::atomic<bool> arrivalsWatched{true};
    std::atomic<std::int64_t> lastTransferNs{0};
    std::atomic<std::uint32_t> eventMaskSeen{0}; // eventMask, for a look without the mutex

    // Transfers that go on in the background (transfer_worker_posix.cpp), made on first need.
    std::unique_ptr<TransferWorker> worker;

    Device();
    ~Device();
};

struct Overlapped {
    using Clock = std::chrono::steady_clock;
    std::mutex stateMutex; // guards state, error and *maskOut of an event wait or of a background
                           // transfer
    enum class State { Idle, Pending, Done };
    Event* event = nullptr; // manual-reset; signalled when no transfer is in progress
    State state = State::Idle;
    bool eventWait = false;  // an event wait rather than a transfer
    bool background = false; // carried on by the device's worker, not by its waiter
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
    bool draining = false;        // a write whose bytes are all queued, waiting to be sent
    std::uint32_t queuedOut = 0;  // the transmit queue as the last look found it
};

// Reads up to max received bytes, the stashed ones first, dropping zero bytes when asked to.
// Returns the bytes read (0 when none wait) or a negative errno value.
int ReadReceived(Device* device, char* buffer, std::uint32_t max);
// Takes up to max bytes from the driver, decoded and filtered as the settings ask (device->mutex
// held). Returns the bytes kept, 0 when some were taken but none kept, -EAGAIN when none wait,
// or another negative errno value (-EIO for a hung-up line).
long TakeFromDriver(Device* device, char* buffer, std::size_t max);
// Forgets the stashed bytes (the receive queue is being discarded).
void PurgeReceived(Device* device);
std::uint32_t StashedCount(Device* device);
// A write has put bytes into the transmit queue.
void NoteWritten(Device* device);
// Bytes still in the transmit queue (0 for a device without one); 0 or the errno value of a
// query the device refused (an unplugged adapter), which must not pass for an empty queue.
int QueuedOut(Device* device, std::uint32_t& queued);
// Modem lines through TIOCMBIS/TIOCMBIC; 0 or an errno value.
int SetModemLine(Device* device, int line, bool on);

// Emulated overlapped transfers (transfer_posix.cpp).
// Moves what can be moved now, and ends the transfer at its time-out. Returns true when the
// transfer is finished.
bool Advance(Overlapped* overlapped);
// How long a pending transfer may wait for the device before it must be advanced again, in
// milliseconds (at most an abort check's period); wantEvents is POLLIN, POLLOUT, or 0 when the
// transfer only waits for time to pass.
int WaitSliceMs(const Overlapped* overlapped, short& wantEvents);
// Ends a transfer (state, error, event).
void FinishTransfer(Overlapped* overlapped, int error);

// Background transfers (transfer_worker_posix.cpp).
void WakeWorker(Device* device);
// Ends the device's worker; the transfers it still carries end as aborted.
void StopWorker(Device* device);
void ForgetBackground(Overlapped* overlapped);

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
// A transfer is starting (at now): the event wait may stop watching arrivals for a while.
void NoteTransfer(Device* device, std::chrono::steady_clock::time_point now);

} // namespace serial::backend
