// POSIX (Linux) backend, line events: event objects on eventfd, and the device interface's
// event wait emulated without busy polling.
//
// Each open device has an epoll set holding the device, edge-triggered, and an eventfd "kick".
// Edge triggering gives the Windows meaning of a received-byte event: the kernel wakes the set
// once per arrival of bytes, not again and again while bytes wait unread, so a quiet port and a
// port with an unread reply cost no wake-ups. The kick is written when a write has put bytes in
// the transmit queue and the mask asks for the queue running empty, so that a waiting thread
// looks for it. Event objects make their eventfd only when a wait polls them. Everything
// else (the event character, 80 % of the input size, line errors, break and modem-line counters
// where the driver keeps them) is checked when the device has woken the set. A modem line that
// changes while no byte arrives wakes nothing by itself: where the driver can wait for its lines
// (TIOCMIWAIT), a helper blocked in that wait writes the kick on a change (modem_watch.h).
//
// A mask without per-byte events (received byte, event character) hears of arrivals only to see
// the receive queue fill up. While the port's own transfers go on, the arrivals are their replies,
// which they read themselves: waking the event thread for each would double the cost of a round
// trip. So a transfer takes the device's arrivals out of the set (once per burst of transfers,
// with one kick), and the wait puts them back when the transfers have been quiet for
// kQuietAfterTransferMs, looking at the queue then; while they go on it still looks every
// kQuietAfterTransferMs. The completion record of an event wait gets no descriptor of its own
// while its device is polled: whatever completes the wait from another thread kicks the device.
#include "serial/backend.h"
#include "serial/backend_posix.h"
#include "serial/line_counters.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <iterator>
#include <vector>

#include <poll.h>
#include <pthread.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <termios.h>
#include <unistd.h>

namespace serial::backend {

namespace {

constexpr std::uint32_t kEvRxChar = 1;
constexpr std::uint32_t kEvRxFlag = 2;
constexpr std::uint32_t kEvTxEmpty = 4;
constexpr std::uint32_t kEvRx80Full = 1024;

// Bytes taken from the driver to look for the event character are kept up to this much.
constexpr std::size_t kStashLimit = 64 * 1024;
// How long after the last transfer arrivals are watched again (see above).
constexpr std::int64_t kQuietAfterTransferMs = 20;

std::int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void DrainFd(int fd) {
    std::uint64_t value = 0;
    while (::read(fd, &value, sizeof value) == static_cast<ssize_t>(sizeof value)) {
    }
}

} // namespace

// ---- event objects ----

// An event's descriptor is made only when a wait has to poll it: a synchronous transfer waits
// on its device, not on its completion event, so most events never need one, and making and
// closing an eventfd per transfer would double the system calls of a short transfer.
struct Event {
    std::mutex mutex;
    bool manualReset = true;
    bool signalled = false;
    int fd = -1;                 // once made, readable exactly while signalled
    Overlapped* owner = nullptr; // the completion record this event belongs to, if any
};

void SetEventOwner(Event* event, Overlapped* owner) {
    if (event)
        event->owner = owner;
}

int CreateSignalEvent(bool manualReset, bool initialState, Event*& event) {
    event = new Event;
    event->manualReset = manualReset;
    event->signalled = initialState;
    return 0;
}

void DestroySignalEvent(Event* event) {
    if (!event)
        return;
    if (event->fd >= 0)
        ::close(event->fd);
    delete event;
}

int SetSignalEvent(Event* event) {
    if (!event)
        return kErrorInvalidHandle;
    std::lock_guard lock(event->mutex);
    if (!event->signalled) {
        event->signalled = true;
        std::uint64_t one = 1;
        if (event->fd >= 0 && ::write(event->fd, &one, sizeof one) < 0)
            return errno;
    }
    return 0;
}

namespace {

// Clears the event (event->mutex held). The descriptor's counter is 1 while signalled, so one
// read empties it.
void Clear(Event* event) {
    if (event->signalled && event->fd >= 0) {
        std::uint64_t value = 0;
        [[maybe_unused]] ssize_t n = ::read(event->fd, &value, sizeof value);
    }
    event->signalled = false;
}

// The event's descriptor, made on first need with the event's current state.
int PollableFd(Event* event, int& fd) {
    std::lock_guard lock(event->mutex);
    if (event->fd < 0) {
        int made = ::eventfd(event->signalled ? 1 : 0, EFD_NONBLOCK | EFD_CLOEXEC);
        if (made < 0)
            return errno;
        event->fd = made;
    }
    fd = event->fd;
    return 0;
}

} // namespace

int ResetSignalEvent(Event* event) {
    if (!event)
        return kErrorInvalidHandle;
    std::lock_guard lock(event->mutex);
    Clear(event);
    return 0;
}

namespace {

// Takes the event if it is signalled (an auto-reset one goes back to non-signalled).
bool TryTake(Event* event) {
    std::lock_guard lock(event->mutex);
    if (!event->signalled)
        return false;
    if (!event->manualReset)
        Clear(event);
    return true;
}

// ---- the device's events ----

// Ends the pending wait (device->mutex held).
void Complete(Device* device, std::uint32_t mask, int error) {
    Overlapped* ov = device->pendingWait;
    if (!ov)
        return;
    device->pendingWait = nullptr;
    {
        std::lock_guard lock(ov->stateMutex);
        if (ov->maskOut)
            *ov->maskOut = mask;
        ov->state = Overlapped::State::Done;
        ov->error = error;
    }
    SetSignalEvent(ov->event);
}

std::uint32_t QueuedIn(Device* device) {
    int in = 0;
    if (device->sys->Ioctl(device->fd, FIONREAD, &in) != 0)
        in = 0;
    return static_cast<std::uint32_t>(std::max(in, 0)) +
           static_cast<std::uint32_t>(device->stash.size());
}

// Milliseconds until the transmit queue may have run empty, or -1 when nothing is pending.
int TxDrainMs(Device* device) {
    if (!device->txPending || !(device->eventMask & kEvTxEmpty))
        return -1;
    // A device that no longer answers has nothing left to send; its hang-up ends the wait.
    std::uint32_t out = 0;
    if (QueuedOut(device, out) != 0 || out == 0)
        return 0;
    // About eleven bits a byte on the line; at least one millisecond.
    std::uint64_t baud = std::max<std::uint32_t>(device->baud, 50);
    auto ms = static_cast<std::uint64_t>(out) * 11 * 1000 / baud + 1;
    return static_cast<int>(std::min<std::uint64_t>(ms, 10000));
}

// Looks at everything that may have happened and ends the pending wait if one of the awaited
// events did (device->mutex held).
void Evaluate(Device* device) {
    epoll_event ready[4];
    int n = 0;
    while ((n = device->sys->EpollWait(device->epollFd, ready, 4, 0)) > 0) {
        for (int i = 0; i < n; ++i) {
            if (ready[i].data.fd == device->kickFd) {
                DrainFd(device->kickFd);
                continue;
            }
            if (ready[i].events & (EPOLLIN | EPOLLRDNORM))
                device->rxArrived = true;
            if (ready[i].events & (EPOLLHUP | EPOLLERR))
                device->hangUp = true;
        }
        if (n < static_cast<int>(std::size(ready)))
            break; // everything ready has been seen; asking again would only return 0
    }
    std::uint32_t mask = device->eventMask;
    std::uint32_t occurred = 0;

    if (device->rxArrived) {
        if (mask & kEvRxChar)
            occurred |= kEvRxChar;
        if (mask & kEvRxFlag) {
            // The event character can only be seen by taking the new bytes from the driver;
            // they wait in the stash, ahead of the driver's queue, for the next read.
            char buffer[1024];
            while (device->stash.size() < kStashLimit) {
                long got = TakeFromDriver(device, buffer, sizeof buffer);
                if (got < 0)
                    break;
                if (std::memchr(buffer, device->eventChar, static_cast<std::size_t>(got)))
                    occurred |= kEvRxFlag;
                device->stash.insert(device->stash.end(), buffer, buffer + got);
            }
        }
        device->rxArrived = false;
    }
    if ((mask & kEvRx80Full) && device->queueSizes.InputSize > 0) {
        std::uint64_t threshold = std::uint64_t{device->queueSizes.InputSize} * 4 / 5;
        bool full = QueuedIn(device) >= threshold;
        if (full && !device->rx80Reported)
            occurred |= kEvRx80Full;
        device->rx80Reported = full;
    }
    if (TxDrainMs(device) == 0) {
        device->txPending = false;
        occurred |= kEvTxEmpty;
    }
    if (device->haveCounters) {
        posix::LineCounters now;
        if (device->sys->ReadLineCounters(device->fd, now) == 0) {
            occurred |= posix::CounterEvents(device->eventCounters, now);
            device->eventCounters = now;
        }
    }
    occurred &= mask;
    if (!device->pendingWait)
        return;
    if (occurred != 0)
        Complete(device, occurred, 0);
    else if (device->hangUp)
        Complete(device, 0, EIO); // the device or the far end has gone: no more events
}

// Starts the modem-line helper of a device whose driver keeps counters (device->mutex held).
// Where the driver cannot wait for its lines after all, the helper's first wait fails and it
// ends at once; the events then simply never occur. A helper that cannot start is the same.
void StartModemWatch(Device* device) {
    int fd = device->fd;
    posix::SystemCalls* sys = device->sys;
    // Changes between two waits of the driver (while the helper kicks) are seen by comparing the
    // counters before each wait with those after the last one.
    auto wait = [fd, sys, last = posix::LineCounters{}, primed = false]() mutable {
        posix::LineCounters now;
        if (sys->ReadLineCounters(fd, now) == 0) {
            bool missed =
                primed && (posix::CounterEvents(last, now) & posix::kModemLineEvents) != 0;
            last = now;
            primed = true;
            if (missed)
                return 0;
        }
        int rc = sys->WaitModemChange(fd);
        if (rc == 0 && sys->ReadLineCounters(fd, now) == 0)
            last = now;
        return rc;
    };
    device->modemWatch =
        std::make_unique<posix::ModemWatch>(wait, [device] { KickEventWait(device); });
    if (device->modemWatch->Start() != 0)
        device->modemWatch.reset();
}

// Puts the device's arrivals into the set or takes them out (device->mutex held). Out of the set
// the device still reports a hang-up.
void WatchArrivals(Device* device, bool on) {
    epoll_event ev{};
    ev.events = on ? (EPOLLIN | EPOLLET) : EPOLLET;
    ev.data.fd = device->fd;
    if (device->epollFd >= 0)
        device->sys->EpollCtl(device->epollFd, EPOLL_CTL_MOD, device->fd, &ev);
    device->arrivalsWatched = on;
}

} // namespace

void NoteTransfer(Device* device, std::chrono::steady_clock::time_point now) {
    if (!device->quietWhileBusy.load(std::memory_order_relaxed))
        return;
    device->lastTransferNs.store(
        std::chrono::duration_cast<std::chrono::nanoseconds>(now.time_since_epoch()).count(),
        std::memory_order_relaxed);
    if (!device->arrivalsWatched.load(std::memory_order_relaxed))
        return;
    {
        std::lock_guard lock(device->mutex);
        if (!device->quietWhileBusy || !device->arrivalsWatched)
            return;
        WatchArrivals(device, false);
    }
    // The waiting thread sets itself a time to put the arrivals back.
    KickEventWait(device);
}

int AttachEventSource(Device* device) {
    device->epollFd = ::epoll_create1(EPOLL_CLOEXEC);
    if (device->epollFd < 0)
        return errno;
    device->kickFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (device->kickFd < 0)
        return errno;
    epoll_event ev{};
    ev.events = EPOLLIN | EPOLLET;
    ev.data.fd = device->fd;
    if (device->sys->EpollCtl(device->epollFd, EPOLL_CTL_ADD, device->fd, &ev) != 0)
        return errno;
    ev.events = EPOLLIN;
    ev.data.fd = device->kickFd;
    if (device->sys->EpollCtl(device->epollFd, EPOLL_CTL_ADD, device->kickFd, &ev) != 0)
        return errno;
    return 0;
}

void DetachEventSource(Device* device) {
    std::unique_ptr<posix::ModemWatch> watch;
    {
        std::lock_guard lock(device->mutex);
        Complete(device, 0, EBADF);
        watch = std::move(device->modemWatch);
    }
    KickEventWait(device);
    // The helper writes the kick: it ends before the kick goes.
    watch.reset();
    if (device->epollFd >= 0)
        ::close(device->epollFd);
    if (device->kickFd >= 0)
        ::close(device->kickFd);
    device->epollFd = device->kickFd = -1;
}

void KickEventWait(Device* device) {
    std::uint64_t one = 1;
    if (device->kickFd >= 0 && ::write(device->kickFd, &one, sizeof one) < 0) {
        // The counter cannot overflow in practice; a failed kick only delays a transmit event.
    }
}

void ForgetEventWait(Overlapped* overlapped) {
    if (!overlapped->eventWait)
        return;
    std::unique_lock stateLock(overlapped->stateMutex);
    Device* device = overlapped->state == Overlapped::State::Pending ? overlapped->device : nullptr;
    stateLock.unlock();
    if (device) {
        std::lock_guard lock(device->mutex);
        if (device->pendingWait == overlapped)
            device->pendingWait = nullptr;
    }
}

int SetEventMask(Device* device, std::uint32_t mask) {
    if (!device)
        return kErrorInvalidHandle;
    std::unique_ptr<posix::ModemWatch> stopped;
    {
        std::lock_guard lock(device->mutex);
        device->eventMask = mask;
        device->eventMaskSeen = mask;
        device->rx80Reported =
            QueuedIn(device) >= std::uint64_t{device->queueSizes.InputSize} * 4 / 5;
        if (device->haveCounters)
            device->sys->ReadLineCounters(device->fd, device->eventCounters);
        bool quiet = mask != 0 && !(mask & (kEvRxChar | kEvRxFlag));
        device->quietWhileBusy = quiet;
        if (!quiet && !device->arrivalsWatched)
            WatchArrivals(device, true);
        if (!posix::NeedsModemWatch(device->haveCounters, mask))
            stopped = std::move(device->modemWatch);
        else if (!device->modemWatch)
            StartModemWatch(device);
        // As on Windows, a new mask ends the wait in progress with no events.
        Complete(device, 0, 0);
    }
    KickEventWait(device);
    // Stopped outside the lock: the helper never takes it, but need not hold others up either.
    stopped.reset();
    return 0;
}

void CancelEventWait(Device* device, Overlapped* overlapped) {
    if (!device || !overlapped)
        return;
    std::lock_guard lock(device->mutex);
    if (device->pendingWait == overlapped)
        Complete(device, 0, ECANCELED);
}

int StartEventWait(Device* device, Overlapped* overlapped, std::uint32_t* mask) {
    if (!overlapped)
        return EINVAL;
    if (!device)
        return kErrorInvalidHandle;
    std::lock_guard lock(device->mutex);
    if (device->eventMask == 0 || (device->pendingWait && device->pendingWait != overlapped))
        return EINVAL;
    if (device->hangUp)
        return EIO;
    {
        std::lock_guard stateLock(overlapped->stateMutex);
        overlapped->eventWait = true;
        overlapped->device = device;
        overlapped->deviceId = device->id;
        overlapped->maskOut = mask;
        overlapped->error = 0;
        overlapped->state = Overlapped::State::Pending;
    }
    if (mask)
        *mask = 0;
    ResetSignalEvent(overlapped->event);
    device->pendingWait = overlapped;
    // Nothing is evaluated here: whatever happened since the last evaluation left the device's
    // set ready, and the wait's first poll returns at once for it.
    return kErrorIoPending;
}

int EventWaitResult(Overlapped* overlapped) {
    std::lock_guard stateLock(overlapped->stateMutex);
    if (overlapped->state == Overlapped::State::Pending)
        return kErrorIoIncomplete;
    return overlapped->error;
}

namespace {

// The devices whose pending event waits some of the events stand for.
void PendingWaitDevices(Event* const* events, int count, std::vector<Device*>& devices) {
    devices.clear();
    for (int i = 0; i < count; ++i) {
        Overlapped* ov = events[i] ? events[i]->owner : nullptr;
        if (!ov)
            continue;
        std::lock_guard stateLock(ov->stateMutex);
        if (ov->eventWait && ov->state == Overlapped::State::Pending && ov->device &&
            std::find(devices.begin(), devices.end(), ov->device) == devices.end())
            devices.push_back(ov->device);
    }
}

// Whether the event is the completion of an event wait on one of the polled devices: such an
// event is signalled only by an evaluation of its device, or by a call that kicks the device.
bool CompletedThroughDevice(Event* event, const std::vector<Device*>& polled) {
    Overlapped* ov = event->owner;
    if (!ov || !ov->eventWait)
        return false;
    std::lock_guard stateLock(ov->stateMutex);
    return ov->state == Overlapped::State::Pending &&
           std::find(polled.begin(), polled.end(), ov->device) != polled.end();
}

int MillisecondsUntil(std::int64_t dueNs) {
    std::int64_t left = dueNs - NowNs();
    if (left <= 0)
        return 0;
    return static_cast<int>(std::min<std::int64_t>((left + 999999) / 1000000, 1 << 30));
}

} // namespace

int WaitForEvents(Event* const* events, int count, int timeoutMs, int& index) {
    using Clock = std::chrono::steady_clock;
    index = kWaitTimeout;
    if (count <= 0)
        return EINVAL;
    auto deadline = timeoutMs < 0 ? Clock::time_point::max()
                                  : Clock::now() + std::chrono::milliseconds(timeoutMs);
    // Kept per thread, so that a wait allocates nothing once the thread has waited before.
    thread_local std::vector<pollfd> fds;
    thread_local std::vector<Device*> candidates;
    thread_local std::vector<Device*> devices;
    for (;;) {
        for (int i = 0; i < count; ++i) {
            if (events[i] && TryTake(events[i])) {
                index = i;
                return 0;
            }
        }
        // The device waits that these events stand for are carried on here: the devices'
        // epoll sets join the poll, and a transmit queue still draining sets a short timer.
        fds.clear();
        devices.clear();
        int limit = -1;
        if (deadline != Clock::time_point::max()) {
            auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
            limit = static_cast<int>(std::clamp<long long>(left.count(), 0, 1 << 30));
        }
        auto sooner = [&limit](int ms) {
            if (ms >= 0 && (limit < 0 || ms < limit))
                limit = ms;
        };
        PendingWaitDevices(events, count, candidates);
        for (Device* d : candidates) {
            std::lock_guard lock(d->mutex);
            if (d->epollFd < 0)
                continue;
            devices.push_back(d);
            fds.push_back({d->epollFd, POLLIN, 0});
            sooner(TxDrainMs(d));
            if (d->quietWhileBusy && !d->arrivalsWatched) {
                std::int64_t due = d->lastTransferNs.load(std::memory_order_relaxed) +
                                   kQuietAfterTransferMs * 1000000;
                int ms = MillisecondsUntil(due);
                if (ms == 0) {
                    // Quiet again: the arrivals are watched, and a queue that filled up
                    // meanwhile is seen by the evaluation after the poll.
                    WatchArrivals(d, true);
                    sooner(0);
                } else {
                    sooner(std::min<std::int64_t>(ms, kQuietAfterTransferMs));
                }
            }
        }
        for (int i = 0; i < count; ++i) {
            if (!events[i])
                return kErrorInvalidHandle;
            if (CompletedThroughDevice(events[i], devices))
                continue;
            int fd = -1;
            if (int err = PollableFd(events[i], fd); err != 0)
                return err;
            fds.push_back({fd, POLLIN, 0});
        }
        int rc = ::poll(fds.data(), fds.size(), limit);
        if (rc < 0 && errno != EINTR)
            return errno;
        for (Device* d : devices) {
            std::lock_guard lock(d->mutex);
            Evaluate(d);
        }
        if (Clock::now() >= deadline) {
            for (int i = 0; i < count; ++i) {
                if (TryTake(events[i])) {
                    index = i;
                    return 0;
                }
            }
            index = kWaitTimeout;
            return 0;
        }
    }
}

void ApplyCurrentThreadPriority(int priority) {
    // Without privileges a thread can only be made nicer; normal and above keep the default.
    static constexpr int kNice[] = {19, 10, 5, 0, 0, 0, 0};
    if (priority < 0 || priority > 6 || kNice[priority] == 0)
        return;
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::syscall(SYS_gettid)), kNice[priority]);
}

void NameCurrentThread(const char* name) {
    ::pthread_setname_np(::pthread_self(), name);
}

} // namespace serial::backend
