// POSIX backend: termios and ioctls on a non-blocking descriptor. The device interface's
// overlapped transfers and time-outs are emulated: a transfer is tried at once without
// blocking, and when it cannot finish it stays pending and is carried on, with poll(), by the
// wait for its completion (or without blocking by the completion query), until its bytes are
// moved or its time-out passes.
#include "serial/backend_posix.h"
#include "serial/backend.h"
#include "serial/port_names.h"
#include "serial/posix_extras.h"
#include "serial/termios_mapping.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace serial::backend {

const int kErrorIoPending = EINPROGRESS;
const int kErrorIoIncomplete = EALREADY;
const int kErrorInvalidHandle = EBADF;

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uint32_t kMaxDword = 0xFFFFFFFFu;
// The event mask's bit for "the transmit queue ran empty".
constexpr std::uint32_t kEvTxEmptyBit = 4;
// A pending transfer re-checks for an abort at least this often while it blocks.
constexpr int kAbortCheckMs = 100;

std::atomic<std::uint64_t> nextDeviceId{1};

// Modem lines through TIOCMBIS/TIOCMBIC; a device without them is not an error here.
int SetModemLine(int fd, int line, bool on) {
    if (::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line) != 0)
        return errno;
    return 0;
}

bool NoModemLines(int err) {
    return err == ENOTTY || err == EINVAL || err == ENOTSUP;
}

} // namespace

// ---- the open device ----

int ReadReceived(Device* device, char* buffer, std::uint32_t max) {
    std::lock_guard lock(device->mutex);
    std::uint32_t got = 0;
    while (got < max) {
        std::uint32_t before = got;
        if (!device->stash.empty()) {
            auto n = std::min<std::size_t>(device->stash.size(), max - got);
            std::memcpy(buffer + got, device->stash.data(), n);
            device->stash.erase(device->stash.begin(),
                                device->stash.begin() + static_cast<std::ptrdiff_t>(n));
            got += static_cast<std::uint32_t>(n);
        } else {
            ssize_t n = ::read(device->fd, buffer + got, max - got);
            if (n < 0) {
                if (errno == EAGAIN || errno == EINTR)
                    break;
                return -errno;
            }
            if (n == 0) {
                // A hung-up tty (an unplugged adapter) reads as 0 bytes. With our VMIN of 1 an
                // empty queue reads as EAGAIN instead, but another program may have set the line
                // up otherwise: poll tells the two apart.
                pollfd p{device->fd, POLLIN, 0};
                if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)))
                    return -EIO;
                break;
            }
            got += static_cast<std::uint32_t>(n);
        }
        if (device->discardNull) {
            char* end = std::remove(buffer + before, buffer + got, '\0');
            got = static_cast<std::uint32_t>(end - buffer);
        }
    }
    if (got > 0 && device->rx80Reported) {
        // Below the 80 % mark again, the next crossing is a new event.
        int in = 0;
        ::ioctl(device->fd, FIONREAD, &in);
        std::uint64_t queued = static_cast<std::uint64_t>(std::max(in, 0)) + device->stash.size();
        if (queued * 5 < std::uint64_t{device->queueSizes.InputSize} * 4)
            device->rx80Reported = false;
    }
    return static_cast<int>(got);
}

void PurgeReceived(Device* device) {
    std::lock_guard lock(device->mutex);
    device->stash.clear();
    device->rx80Reported = false;
}

std::uint32_t StashedCount(Device* device) {
    std::lock_guard lock(device->mutex);
    return static_cast<std::uint32_t>(device->stash.size());
}

void NoteWritten(Device* device) {
    bool kick = false;
    {
        std::lock_guard lock(device->mutex);
        device->txPending = true;
        // Only a wait for the transmit queue running empty has to look again after a write;
        // waking the event thread for any other mask would cost it a wake-up per write.
        kick = (device->eventMask & kEvTxEmptyBit) != 0;
    }
    if (kick)
        KickEventWait(device);
}

int DeviceFd(Device* device) {
    return device ? device->fd : -1;
}

bool IsDeviceGone(int error) {
    return error == EIO || error == ENXIO || error == ENODEV;
}

int OpenDevice(const std::string& port, Device*& device) {
    device = nullptr;
    std::string path = ResolvePortName(port);
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno;
    if (!::isatty(fd)) {
        ::close(fd);
        return ENOTTY;
    }
    // Both locks are needed: flock() keeps out every other open of the device that asks for it,
    // in this process and in others, but only advisory; TIOCEXCL makes the kernel refuse any
    // further open() of the tty, but does not hold for root. Together a second open fails.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int err = errno == EWOULDBLOCK ? EBUSY : errno;
        ::close(fd);
        return err;
    }
    ::ioctl(fd, TIOCEXCL);
    auto* d = new Device;
    d->fd = fd;
    d->id = nextDeviceId++;
    posix::LineCounters c;
    d->haveCounters = posix::ReadLineCounters(fd, c) == 0;
    d->counters = c;
    d->eventCounters = c;
    if (int err = AttachEventSource(d); err != 0) {
        CloseDevice(d);
        return err;
    }
    device = d;
    return 0;
}

void CloseDevice(Device* device) {
    if (!device)
        return;
    DetachEventSource(device);
    ::ioctl(device->fd, TIOCNXCL);
    ::flock(device->fd, LOCK_UN);
    ::close(device->fd);
    delete device;
}

int ApplyLineSettings(Device* device, const TDcbRecord& dcb) {
    int fd = DeviceFd(device);
    if (fd < 0)
        return kErrorInvalidHandle;
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0)
        return errno;
    bool standard = false;
    if (int err = posix::MapLineSettings(dcb, tio, standard); err != 0)
        return err;
    if (::tcsetattr(fd, TCSANOW, &tio) != 0)
        return errno;
    if (!standard) {
        if (int err = posix::SetArbitraryBaud(fd, dcb.BaudRate); err != 0)
            return err;
    }

    // DTR and RTS held as asked; handshake modes keep the line on and leave it to the driver.
    int err = SetModemLine(fd, TIOCM_DTR, dcb.fDtrControl != 0);
    if (err == 0)
        err = SetModemLine(fd, TIOCM_RTS, dcb.fRtsControl != 0);
    if (err != 0 && !NoModemLines(err))
        return err;

    std::lock_guard lock(device->mutex);
    device->discardNull = dcb.fNull;
    device->eventChar = dcb.EvtChar;
    device->baud = dcb.BaudRate;
    return 0;
}

int ApplyTimeouts(Device* device, const TTimeoutsRecord& timeouts) {
    if (!device)
        return kErrorInvalidHandle;
    std::lock_guard lock(device->mutex);
    device->timeouts = timeouts;
    return 0;
}

int ApplyQueueSizes(Device* device, const TQueueSizes& sizes) {
    if (!device)
        return kErrorInvalidHandle;
    // The kernel sizes its own queues; the sizes are kept for the receive-queue events.
    std::lock_guard lock(device->mutex);
    device->queueSizes = sizes;
    return 0;
}

int Purge(Device* device, std::uint32_t flags) {
    int fd = DeviceFd(device);
    if (fd < 0)
        return kErrorInvalidHandle;
    if (flags & 3u)
        ++device->abortGeneration;
    int queue = -1;
    if ((flags & 12u) == 12u)
        queue = TCIOFLUSH;
    else if (flags & 4u)
        queue = TCOFLUSH;
    else if (flags & 8u)
        queue = TCIFLUSH;
    if (queue >= 0 && ::tcflush(fd, queue) != 0)
        return errno;
    if (flags & 8u)
        PurgeReceived(device);
    return 0;
}

int ClearError(Device* device, TCommStatus& status) {
    int fd = DeviceFd(device);
    if (fd < 0)
        return kErrorInvalidHandle;
    int in = 0;
    int out = 0;
    if (::ioctl(fd, FIONREAD, &in) != 0)
        return errno;
    if (::ioctl(fd, TIOCOUTQ, &out) != 0)
        return errno;
    status = TCommStatus{};
    status.InQueue = static_cast<std::uint32_t>(std::max(in, 0)) + StashedCount(device);
    status.OutQueue = static_cast<std::uint32_t>(std::max(out, 0));
    std::lock_guard lock(device->mutex);
    if (device->haveCounters) {
        posix::LineCounters now;
        if (posix::ReadLineCounters(fd, now) == 0) {
            const posix::LineCounters& was = device->counters;
            if (now.bufOverrun != was.bufOverrun)
                status.Errors |= 1;
            if (now.overrun != was.overrun)
                status.Errors |= 2;
            if (now.parity != was.parity)
                status.Errors |= 4;
            if (now.frame != was.frame)
                status.Errors |= 8;
            if (now.brk != was.brk)
                status.Errors |= 16;
            device->counters = now;
        }
    }
    return 0;
}

int ModemStatus(Device* device, std::uint32_t& lines) {
    int fd = DeviceFd(device);
    lines = 0;
    if (fd < 0)
        return kErrorInvalidHandle;
    int bits = 0;
    if (::ioctl(fd, TIOCMGET, &bits) != 0)
        return errno;
    if (bits & TIOCM_CTS)
        lines |= 16;
    if (bits & TIOCM_DSR)
        lines |= 32;
    if (bits & TIOCM_RI)
        lines |= 64;
    if (bits & TIOCM_CD)
        lines |= 128;
    return 0;
}

bool IsModemStatusUnsupported(int error) {
    return NoModemLines(error);
}

int Escape(Device* device, std::uint32_t code) {
    int fd = DeviceFd(device);
    if (fd < 0)
        return kErrorInvalidHandle;
    int rc = 0;
    switch (code) {
    case 1:
        rc = ::tcflow(fd, TCOOFF);
        break;
    case 2:
        rc = ::tcflow(fd, TCOON);
        break;
    case 3:
        return SetModemLine(fd, TIOCM_RTS, true);
    case 4:
        return SetModemLine(fd, TIOCM_RTS, false);
    case 5:
        return SetModemLine(fd, TIOCM_DTR, true);
    case 6:
        return SetModemLine(fd, TIOCM_DTR, false);
    case 8:
        rc = ::ioctl(fd, TIOCSBRK);
        break;
    case 9:
        rc = ::ioctl(fd, TIOCCBRK);
        break;
    default:
        return EINVAL;
    }
    return rc == 0 ? 0 : errno;
}

int TransmitChar(Device* device, char ch) {
    int fd = DeviceFd(device);
    if (fd < 0)
        return kErrorInvalidHandle;
    // POSIX has no way past the transmit queue: the byte is queued at once, waiting briefly
    // for room when the queue is full.
    for (int attempt = 0; attempt < 2; ++attempt) {
        ssize_t n = ::write(fd, &ch, 1);
        if (n == 1)
            return 0;
        if (n < 0 && errno != EAGAIN)
            return errno;
        pollfd p{fd, POLLOUT, 0};
        ::poll(&p, 1, kAbortCheckMs);
    }
    return EAGAIN;
}

// ---- emulated overlapped transfers ----

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
    DestroySignalEvent(overlapped->event);
    delete overlapped;
}

Event* OverlappedEvent(Overlapped* overlapped) {
    return overlapped ? overlapped->event : nullptr;
}

namespace {

void Finish(Overlapped* ov, int error) {
    ov->state = Overlapped::State::Done;
    ov->error = error;
    SetSignalEvent(ov->event);
}

// Moves what can be moved now without blocking. Returns true when the transfer is finished.
bool Attempt(Overlapped* ov) {
    Device* d = ov->device;
    if (d->abortGeneration.load() != ov->abortGeneration) {
        Finish(ov, ECANCELED);
        return true;
    }
    while (ov->done < ov->count) {
        if (ov->isRead) {
            int got = ReadReceived(d, ov->readBuffer + ov->done, ov->count - ov->done);
            if (got < 0) {
                Finish(ov, -got);
                return true;
            }
            if (got == 0)
                break;
            ov->done += static_cast<std::uint32_t>(got);
            ov->lastByte = Clock::now();
            if (ov->returnOnAnyByte)
                break;
        } else {
            ssize_t n = ::write(d->fd, ov->writeBuffer + ov->done, ov->count - ov->done);
            if (n < 0) {
                if (errno == EAGAIN || errno == EINTR)
                    break;
                Finish(ov, errno);
                return true;
            }
            ov->done += static_cast<std::uint32_t>(n);
        }
    }
    if (ov->done >= ov->count || (ov->returnOnAnyByte && ov->done > 0)) {
        Finish(ov, 0);
        return true;
    }
    return false;
}

// Milliseconds until the transfer's time-out, or -1 for none; 0 when it has passed.
int MillisecondsLeft(const Overlapped* ov) {
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

// Carries a pending transfer on; blocks until it is finished when block is set.
void Drive(Overlapped* ov, bool block) {
    // A blocking wait that follows the start's own attempt waits for the device first: trying
    // again at once would find the same empty queue. Once the time-out has passed, the last
    // attempt still comes first, so bytes that arrived meanwhile count.
    bool attemptFirst = !(block && ov->triedAtStart && MillisecondsLeft(ov) != 0);
    ov->triedAtStart = false;
    while (ov->state == Overlapped::State::Pending) {
        if (attemptFirst && Attempt(ov))
            return;
        attemptFirst = true;
        int left = MillisecondsLeft(ov);
        if (left == 0) {
            Finish(ov, 0); // a time-out is not a failure: the bytes moved so far count
            return;
        }
        if (!block)
            return;
        int slice = left < 0 ? kAbortCheckMs : std::min(left, kAbortCheckMs);
        pollfd p{ov->device->fd, static_cast<short>(ov->isRead ? POLLIN : POLLOUT), 0};
        int rc = ::poll(&p, 1, slice);
        if (rc < 0 && errno != EINTR) {
            Finish(ov, errno);
            return;
        }
        if (rc > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) &&
            !(p.revents & (POLLIN | POLLOUT))) {
            // The far end or the device has gone: the attempt would only see EAGAIN again.
            Finish(ov, (p.revents & POLLNVAL) ? EBADF : EIO);
            return;
        }
    }
}

std::uint64_t Product(std::uint32_t a, std::uint32_t b) {
    return static_cast<std::uint64_t>(a) * static_cast<std::uint64_t>(b);
}

void SetTotal(Overlapped* ov, std::uint64_t totalMs) {
    // Anything beyond a few weeks is as good as no time-out.
    constexpr std::uint64_t kForever = std::uint64_t{1} << 31;
    if (totalMs == 0 || totalMs >= kForever)
        return;
    ov->hasTotal = true;
    ov->totalDeadline = Clock::now() + std::chrono::milliseconds(totalMs);
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
    ov->hasTotal = false;
    ov->intervalMs = 0;
    ov->returnOnAnyByte = false;
    ov->lastByte = Clock::now();
    ov->eventWait = false;
    ov->state = Overlapped::State::Pending;
    ResetSignalEvent(ov->event);
    TTimeoutsRecord t;
    {
        std::lock_guard lock(device->mutex);
        t = device->timeouts;
    }
    if (ov->isRead) {
        if (t.ReadIntervalTimeout == kMaxDword && t.ReadTotalTimeoutMultiplier == 0 &&
            t.ReadTotalTimeoutConstant == 0) {
            // Return at once with whatever has been received, possibly nothing.
            SetTotal(ov, 0);
            ov->hasTotal = true;
            ov->totalDeadline = Clock::now();
        } else if (t.ReadIntervalTimeout == kMaxDword &&
                   t.ReadTotalTimeoutMultiplier == kMaxDword && t.ReadTotalTimeoutConstant != 0 &&
                   t.ReadTotalTimeoutConstant != kMaxDword) {
            // Return as soon as any byte is there, waiting for the first at most the constant.
            ov->returnOnAnyByte = true;
            SetTotal(ov, t.ReadTotalTimeoutConstant);
        } else {
            SetTotal(ov,
                     Product(t.ReadTotalTimeoutMultiplier, ov->count) + t.ReadTotalTimeoutConstant);
            if (t.ReadIntervalTimeout != kMaxDword)
                ov->intervalMs = t.ReadIntervalTimeout;
        }
    } else {
        SetTotal(ov,
                 Product(t.WriteTotalTimeoutMultiplier, ov->count) + t.WriteTotalTimeoutConstant);
    }
    Drive(ov, false);
    if (ov->state == Overlapped::State::Pending) {
        ov->triedAtStart = true;
        return kErrorIoPending;
    }
    if (ov->error != 0)
        return ov->error;
    transferred = ov->done;
    if (!ov->isRead && ov->done > 0)
        NoteWritten(device);
    return 0;
}

// A record whose device has been closed since its transfer started fails instead of
// touching the released device.
bool DeviceStillOpen(Device* device, Overlapped* ov) {
    return device && ov->device == device && ov->deviceId == device->id;
}

} // namespace

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
    if (overlapped->eventWait) {
        Event* event = overlapped->event;
        int index = 0;
        return WaitForEvents(&event, 1, -1, index);
    }
    if (overlapped->state != Overlapped::State::Pending)
        return 0;
    if (!DeviceStillOpen(device, overlapped)) {
        Finish(overlapped, ECANCELED);
        return 0;
    }
    Drive(overlapped, true);
    if (!overlapped->isRead && overlapped->done > 0)
        NoteWritten(device);
    return 0;
}

int OverlappedResult(Device* device, Overlapped* overlapped, std::uint32_t& transferred) {
    transferred = 0;
    if (!overlapped)
        return EINVAL;
    if (overlapped->eventWait)
        return EventWaitResult(overlapped);
    if (overlapped->state == Overlapped::State::Pending) {
        if (!DeviceStillOpen(device, overlapped))
            Finish(overlapped, ECANCELED);
        else
            Drive(overlapped, false);
        if (overlapped->state == Overlapped::State::Pending)
            return kErrorIoIncomplete;
        if (!overlapped->isRead && overlapped->done > 0)
            NoteWritten(device);
    }
    transferred = overlapped->done;
    return overlapped->error;
}

int EnumPortNames(std::vector<std::string>& names) {
    names = AvailablePortNames();
    return 0;
}

} // namespace serial::backend
