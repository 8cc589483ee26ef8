// POSIX backend: the device interface's overlapped transfers and their time-outs, emulated. A
// transfer is tried at once without blocking; when it cannot finish it stays pending and is
// carried on, with poll(), by the wait for its completion, or by the device's worker when it was
// handed to the background (transfer_worker_posix.cpp), until its bytes are moved or its
// time-out passes.
//
// A write is complete when the device has sent its bytes, as on Windows: write() returning only
// means the kernel has queued them, so the transmit queue (TIOCOUTQ) is watched until it is
// empty. At the time-out the write reports what has left the queue and drops the unsent rest,
// which a Windows write that timed out does not send later either. A pseudo-terminal has no
// transmit queue: there the write is complete when write() returns.
#include "serial/backend.h"
#include "serial/backend_posix.h"
#include "serial/transfer_rules.h"

#include <algorithm>
#include <cerrno>
#include <chrono>

#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace serial::backend {

namespace {

using Clock = std::chrono::steady_clock;
// A pending transfer re-checks for an abort at least this often while it blocks.
constexpr int kAbortCheckMs = 100;

// The wait slice for a transfer with left milliseconds to go (-1: no time-out).
int SliceMs(const Overlapped* ov, int left, short& wantEvents);

// Ends a transfer whose device has been closed since it started, touching nothing of it.
void Abandon(Overlapped* ov) {
    {
        std::lock_guard lock(ov->stateMutex);
        ov->state = Overlapped::State::Done;
        ov->error = ECANCELED;
    }
    SetSignalEvent(ov->event);
}

} // namespace

void FinishTransfer(Overlapped* ov, int error) {
    Device* d = ov->device;
    if (!ov->isRead) {
        if (d->rtsToggle)
            SetModemLine(d, TIOCM_RTS, false);
        if (ov->done > 0)
            NoteWritten(d);
    }
    if (ov->background) {
        // Its caller may be asking for the result meanwhile.
        std::lock_guard lock(ov->stateMutex);
        ov->state = Overlapped::State::Done;
        ov->error = error;
    } else {
        ov->state = Overlapped::State::Done;
        ov->error = error;
    }
    SetSignalEvent(ov->event);
}

namespace {

// Moves what can be moved now without blocking. Returns true when the transfer is finished.
bool Attempt(Overlapped* ov) {
    Device* d = ov->device;
    if (d->abortGeneration.load() != ov->abortGeneration) {
        FinishTransfer(ov, ECANCELED);
        return true;
    }
    if (ov->isRead) {
        while (ov->done < ov->count) {
            int got = ReadReceived(d, ov->readBuffer + ov->done, ov->count - ov->done);
            if (got < 0) {
                FinishTransfer(ov, -got);
                return true;
            }
            if (got == 0)
                break;
            ov->done += static_cast<std::uint32_t>(got);
            if (ov->intervalMs != 0)
                ov->lastByte = Clock::now();
            if (ov->returnOnAnyByte)
                break;
        }
        if (ov->done >= ov->count || (ov->returnOnAnyByte && ov->done > 0)) {
            FinishTransfer(ov, 0);
            return true;
        }
        return false;
    }
    while (ov->done < ov->count) {
        ssize_t n = d->sys->Write(d->fd, ov->writeBuffer + ov->done, ov->count - ov->done);
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR)
                return false;
            FinishTransfer(ov, errno);
            return true;
        }
        ov->done += static_cast<std::uint32_t>(n);
    }
    if (ov->count > 0 && d->hasTxQueue) {
        // A queue that cannot be asked about is a device gone away, not an empty queue: the
        // write fails rather than report bytes as sent that never left.
        if (int err = QueuedOut(d, ov->queuedOut); err != 0) {
            FinishTransfer(ov, err);
            return true;
        }
        if (ov->queuedOut > 0) {
            ov->draining = true;
            return false;
        }
    }
    FinishTransfer(ov, 0);
    return true;
}

// Milliseconds until the transfer's time-out, or -1 for none; 0 when it has passed.
int MillisecondsLeft(const Overlapped* ov) {
    if (!ov->hasTotal && (ov->intervalMs == 0 || ov->done == 0))
        return -1; // no clock to read
    auto now = Clock::now();
    auto nearest = Clock::time_point::max();
    if (ov->hasTotal)
        nearest = ov->totalDeadline;
    if (ov->intervalMs != 0 && ov->done > 0)
        nearest = std::min(nearest, ov->lastByte + std::chrono::milliseconds(ov->intervalMs));
    if (nearest == Clock::time_point::max())
        return -1;
    if (nearest <= now)
        return 0;
    auto ms = std::chrono::ceil<std::chrono::milliseconds>(nearest - now).count();
    return static_cast<int>(std::min<long long>(ms, 1 << 30));
}

// The time-out has passed: a time-out is not a failure, the bytes moved so far count. For a
// write that is what has left the transmit queue; the rest is dropped.
void TimedOut(Overlapped* ov) {
    Device* d = ov->device;
    if (!ov->isRead && d->hasTxQueue && ov->done > 0) {
        std::uint32_t unsent = 0;
        if (int err = QueuedOut(d, unsent); err != 0) {
            FinishTransfer(ov, err);
            return;
        }
        if (unsent > 0) {
            d->sys->TcFlush(d->fd, TCOFLUSH);
            ov->done -= std::min(unsent, ov->done);
        }
    }
    FinishTransfer(ov, 0);
}

// Carries a pending transfer on; blocks until it is finished when block is set.
void Drive(Overlapped* ov, bool block) {
    // A blocking wait that follows the start's own attempt waits for the device first: trying
    // again at once would find the same empty queue. Once the time-out has passed, the last
    // attempt still comes first, so bytes that arrived meanwhile count.
    int left = block && ov->triedAtStart ? MillisecondsLeft(ov) : 0;
    bool attemptFirst = left == 0;
    ov->triedAtStart = false;
    Device* d = ov->device;
    while (ov->state == Overlapped::State::Pending) {
        if (attemptFirst) {
            if (Attempt(ov))
                return;
            left = MillisecondsLeft(ov);
        }
        attemptFirst = true;
        if (left == 0) {
            TimedOut(ov);
            return;
        }
        if (!block)
            return;
        short want = 0;
        int slice = SliceMs(ov, left, want);
        if (want == 0) {
            d->sys->Poll(nullptr, 0, slice);
            continue;
        }
        pollfd p{d->fd, want, 0};
        int rc = d->sys->Poll(&p, 1, slice);
        if (rc < 0 && errno != EINTR) {
            FinishTransfer(ov, errno);
            return;
        }
        if (rc > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) &&
            !(p.revents & (POLLIN | POLLOUT))) {
            // The far end or the device has gone: the attempt would only see EAGAIN again.
            FinishTransfer(ov, (p.revents & POLLNVAL) ? EBADF : EIO);
            return;
        }
    }
}

void SetTotal(Overlapped* ov, std::uint64_t totalMs, Clock::time_point now) {
    ov->hasTotal = totalMs < posix::kForeverMs;
    if (ov->hasTotal)
        ov->totalDeadline = now + std::chrono::milliseconds(totalMs);
}

int Start(Device* device, Overlapped* ov, std::uint32_t& transferred) {
    transferred = 0;
    if (!ov)
        return EINVAL;
    if (!device)
        return kErrorInvalidHandle;
    ov->device = device;
    ov->deviceId = device->id;
    ov->abortGeneration = device->abortGeneration.load();
    ov->done = 0;
    ov->error = 0;
    ov->intervalMs = 0;
    ov->returnOnAnyByte = false;
    ov->draining = false;
    ov->queuedOut = 0;
    ov->eventWait = false;
    ov->background = false;
    ov->state = Overlapped::State::Pending;
    ResetSignalEvent(ov->event);
    const auto now = Clock::now();
    ov->lastByte = now;
    NoteTransfer(device, now);
    TTimeoutsRecord t;
    bool rtsToggle = false;
    {
        std::lock_guard lock(device->mutex);
        t = device->timeouts;
        rtsToggle = device->rtsToggle;
    }
    bool returnOnFirstByte = false;
    if (ov->isRead) {
        posix::ReadRule rule = posix::MakeReadRule(t, ov->count);
        // The start's own attempt ends the read when bytes are already waiting and the rules say
        // so; later ones only when the rules end a read on its first byte.
        ov->returnOnAnyByte = rule.returnIfWaiting;
        returnOnFirstByte = rule.returnOnFirstByte;
        SetTotal(ov, rule.totalMs, now);
        ov->intervalMs = rule.intervalMs;
    } else {
        SetTotal(ov, posix::WriteTotalMs(t, ov->count), now);
        if (rtsToggle && ov->count > 0)
            SetModemLine(device, TIOCM_RTS, true);
    }
    Drive(ov, false);
    ov->returnOnAnyByte = returnOnFirstByte;
    if (ov->state == Overlapped::State::Pending) {
        ov->triedAtStart = true;
        return kErrorIoPending;
    }
    if (ov->error != 0)
        return ov->error;
    transferred = ov->done;
    return 0;
}

// A record whose device has been closed since its transfer started fails instead of
// touching the released device.
bool DeviceStillOpen(Device* device, Overlapped* ov) {
    return device && ov->device == device && ov->deviceId == device->id;
}

} // namespace

bool Advance(Overlapped* ov) {
    Drive(ov, false);
    return ov->state != Overlapped::State::Pending;
}

int WaitSliceMs(const Overlapped* ov, short& wantEvents) {
    return SliceMs(ov, MillisecondsLeft(ov), wantEvents);
}

namespace {

int SliceMs(const Overlapped* ov, int left, short& wantEvents) {
    int slice = left < 0 ? kAbortCheckMs : std::min(left, kAbortCheckMs);
    if (!ov->draining) {
        wantEvents = ov->isRead ? POLLIN : POLLOUT;
        return slice;
    }
    // Sending takes about ten bits a byte; look again when the queue may have gone.
    wantEvents = 0;
    std::uint64_t baud = std::max<std::uint32_t>(ov->device->baud, 50);
    auto drainMs = static_cast<std::uint64_t>(ov->queuedOut) * 10 * 1000 / baud + 1;
    return static_cast<int>(std::clamp<std::uint64_t>(drainMs, 1, std::max(slice, 1)));
}

} // namespace

// ---- completion records ----

int CreateOverlapped(Overlapped*& overlapped, bool signalled) {
    overlapped = nullptr;
    Event* event = nullptr;
    if (int err = CreateSignalEvent(true, signalled, event); err != 0)
        return err;
    overlapped = new Overlapped;
    overlapped->event = event;
    SetEventOwner(event, overlapped);
    return 0;
}

void DestroyOverlapped(Overlapped* overlapped) {
    if (!overlapped)
        return;
    ForgetEventWait(overlapped);
    ForgetBackground(overlapped);
    DestroySignalEvent(overlapped->event);
    delete overlapped;
}

Event* OverlappedEvent(Overlapped* overlapped) {
    return overlapped ? overlapped->event : nullptr;
}

int StartRead(Device* device, Overlapped* overlapped, void* buffer, std::uint32_t count,
              std::uint32_t& transferred) {
    if (overlapped) {
        overlapped->isRead = true;
        overlapped->readBuffer = static_cast<char*>(buffer);
        overlapped->count = count;
    }
    return Start(device, overlapped, transferred);
}

int StartWrite(Device* device, Overlapped* overlapped, const void* buffer, std::uint32_t count,
               std::uint32_t& transferred) {
    if (overlapped) {
        overlapped->isRead = false;
        overlapped->writeBuffer = static_cast<const char*>(buffer);
        overlapped->count = count;
    }
    return Start(device, overlapped, transferred);
}

int WaitOverlapped(Device* device, Overlapped* overlapped) {
    if (!overlapped)
        return EINVAL;
    if (overlapped->eventWait || overlapped->background) {
        Event* event = overlapped->event;
        int index = 0;
        return WaitForEvents(&event, 1, -1, index);
    }
    if (overlapped->state != Overlapped::State::Pending)
        return 0;
    if (!DeviceStillOpen(device, overlapped)) {
        Abandon(overlapped);
        return 0;
    }
    Drive(overlapped, true);
    return 0;
}

int OverlappedResult(Device* device, Overlapped* overlapped, std::uint32_t& transferred) {
    transferred = 0;
    if (!overlapped)
        return EINVAL;
    if (overlapped->eventWait)
        return EventWaitResult(overlapped);
    if (overlapped->background) {
        std::lock_guard lock(overlapped->stateMutex);
        if (overlapped->state == Overlapped::State::Pending)
            return kErrorIoIncomplete;
        transferred = overlapped->done;
        return overlapped->error;
    }
    if (overlapped->state == Overlapped::State::Pending) {
        if (!DeviceStillOpen(device, overlapped))
            Abandon(overlapped);
        else
            Drive(overlapped, false);
        if (overlapped->state == Overlapped::State::Pending)
            return kErrorIoIncomplete;
    }
    transferred = overlapped->done;
    return overlapped->error;
}

} // namespace serial::backend
