// POSIX backend: the open device, its settings, queries and line control, through termios and
// ioctls on a non-blocking descriptor. Every kernel call on the device goes through the
// device's SystemCalls (posix_syscalls.h). The transfers are in transfer_posix.cpp, the
// background ones in transfer_worker_posix.cpp, the line events in event_wait_posix.cpp.
#include "serial/backend_posix.h"
#include "serial/backend.h"
#include "serial/port_names.h"
#include "serial/posix_extras.h"
#include "serial/termios_mapping.h"
#include "serial/uucp_lock.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
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

// A pending TransmitChar re-checks for room at least this often.
constexpr int kRoomCheckMs = 100;

std::atomic<std::uint64_t> nextDeviceId{1};

bool NoModemLines(int err) {
    return err == ENOTTY || err == EINVAL || err == ENOTSUP;
}

int Ioctl(Device* device, unsigned long request, void* argument) {
    return device->sys->Ioctl(device->fd, request, argument) == 0 ? 0 : errno;
}

// The real path of a device, for the lock file's name and the look at other holders.
std::string RealPath(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real)
        return path;
    std::string result = real;
    std::free(real);
    return result;
}

} // namespace

// ---- the open device ----

int SetModemLine(Device* device, int line, bool on) {
    return Ioctl(device, on ? TIOCMBIS : TIOCMBIC, &line);
}

long TakeFromDriver(Device* device, char* buffer, std::size_t max) {
    ssize_t n = device->sys->Read(device->fd, buffer, max);
    if (n < 0)
        return errno == EAGAIN || errno == EINTR ? -EAGAIN : -errno;
    if (n == 0) {
        // A hung-up tty (an unplugged adapter) reads as 0 bytes. With our VMIN of 1 an empty
        // queue reads as EAGAIN instead, but another program may have set the line up
        // otherwise: poll tells the two apart.
        pollfd p{device->fd, POLLIN, 0};
        if (device->sys->Poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)))
            return -EIO;
        return -EAGAIN;
    }
    auto kept = static_cast<std::size_t>(n);
    if (device->parityMarks)
        kept = posix::DecodeParityMarks(buffer, kept, device->marks, device->replaceChar,
                                        device->markedErrors);
    if (device->dsrSensitive && kept > 0) {
        // Windows drops what arrives while DSR is off. A device without modem lines cannot
        // tell, and keeps its input.
        int bits = 0;
        if (device->sys->Ioctl(device->fd, TIOCMGET, &bits) == 0 && !(bits & TIOCM_DSR))
            kept = 0;
    }
    return static_cast<long>(kept);
}

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
            long n = TakeFromDriver(device, buffer + got, max - got);
            if (n == -EAGAIN)
                break;
            if (n < 0)
                return static_cast<int>(n);
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
        device->sys->Ioctl(device->fd, FIONREAD, &in);
        std::uint64_t queued = static_cast<std::uint64_t>(std::max(in, 0)) + device->stash.size();
        if (queued * 5 < std::uint64_t{device->queueSizes.InputSize} * 4)
            device->rx80Reported = false;
    }
    return static_cast<int>(got);
}

void PurgeReceived(Device* device) {
    std::lock_guard lock(device->mutex);
    device->stash.clear();
    device->marks = {};
    device->rx80Reported = false;
}

std::uint32_t StashedCount(Device* device) {
    std::lock_guard lock(device->mutex);
    return static_cast<std::uint32_t>(device->stash.size());
}

int QueuedOut(Device* device, std::uint32_t& queued) {
    queued = 0;
    if (!device->hasTxQueue)
        return 0;
    int out = 0;
    if (int err = Ioctl(device, TIOCOUTQ, &out); err != 0)
        return err;
    queued = static_cast<std::uint32_t>(std::max(out, 0));
    return 0;
}

void NoteWritten(Device* device) {
    // Only a wait for the transmit queue running empty has to hear of a write; waking the event
    // thread for any other mask would cost it a wake-up per write.
    if (!(device->eventMaskSeen.load(std::memory_order_relaxed) & 4u))
        return;
    {
        std::lock_guard lock(device->mutex);
        device->txPending = true;
    }
    KickEventWait(device);
}

bool IsDeviceGone(int error) {
    return error == EIO || error == ENXIO || error == ENODEV;
}

namespace {

// Releases what OpenDevice took, in reverse order.
void ReleaseOpened(Device* d) {
    d->sys->Ioctl(d->fd, TIOCNXCL, nullptr);
    d->sys->Flock(d->fd, LOCK_UN);
    d->sys->Close(d->fd);
    posix::ReleaseDeviceLock(d->lockPath);
}

} // namespace

int OpenDevice(const std::string& port, Device*& device) {
    device = nullptr;
    const std::string path = ResolvePortName(port);
    auto owned = std::make_unique<Device>();
    Device* d = owned.get();
    d->sys = &posix::CurrentSystemCalls();
    d->fd = d->sys->Open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (d->fd < 0)
        return errno;
    termios probe{};
    if (d->sys->TcGetAttr(d->fd, &probe) != 0) {
        d->sys->Close(d->fd);
        return ENOTTY;
    }
    // Every way Linux has of telling that someone else uses the device: flock() keeps out every
    // other open that asks for it, in this process and in others, but only advisory; TIOCEXCL
    // makes the kernel refuse any further open() of the tty, but does not hold for root; the
    // UUCP lock file is what terminal and modem programs look for; and a program that took none
    // of these still shows in /proc while it holds the device. A pseudo-terminal's device side is
    // as a rule held by the program that made the pair, so only real devices are looked up there.
    if (d->sys->Flock(d->fd, LOCK_EX | LOCK_NB) != 0) {
        int err = errno == EWOULDBLOCK ? EBUSY : errno;
        d->sys->Close(d->fd);
        return err;
    }
    const std::string real = RealPath(path);
    int busy = posix::TakeDeviceLock(real, d->lockPath);
    if (busy != 0) {
        ReleaseOpened(d);
        return busy;
    }
    // The kernel raises DTR and RTS when it opens the line (unless its rate is B0), and the
    // transducer must not see them up any longer than it takes to get here: the lines go down at
    // once, before the slow look for other holders below. The two cheap checks above come first
    // so that the lines of a device another program has locked are never touched. A port set to
    // hold a line on raises it again when its settings are applied, right after the open.
    SetModemLine(d, TIOCM_DTR | TIOCM_RTS, false);
    d->hasTxQueue = !d->sys->IsPseudoTerminal(d->fd);
    if (d->hasTxQueue && d->sys->OpenElsewhere(real)) {
        ReleaseOpened(d);
        return EBUSY;
    }
    d->sys->Ioctl(d->fd, TIOCEXCL, nullptr);
    // An FTDI adapter holds received bytes back for up to 16 ms unless told not to; a driver
    // without the switch (or one that keeps it for the administrator) is left as it is.
    d->sys->SetLowLatency(d->fd);
    // What arrived while the device was closed is not for this open, as on Windows.
    d->sys->TcFlush(d->fd, TCIFLUSH);
    d->id = nextDeviceId++;
    posix::LineCounters c;
    d->haveCounters = d->sys->ReadLineCounters(d->fd, c) == 0;
    d->counters = c;
    d->eventCounters = c;
    if (int err = AttachEventSource(d); err != 0) {
        DetachEventSource(d);
        ReleaseOpened(d);
        return err;
    }
    device = owned.release();
    return 0;
}

void CloseDevice(Device* device) {
    if (!device)
        return;
    // Transfers still going on end as aborted.
    StopWorker(device);
    DetachEventSource(device);
    // What was received and not read is lost with the close, with or without an event thread.
    device->sys->TcFlush(device->fd, TCIFLUSH);
    ReleaseOpened(device);
    delete device;
}

int ApplyLineSettings(Device* device, const TDcbRecord& dcb) {
    if (!device)
        return kErrorInvalidHandle;
    termios tio{};
    if (device->sys->TcGetAttr(device->fd, &tio) != 0)
        return errno;
    bool standard = false;
    if (int err = posix::MapLineSettings(dcb, tio, standard); err != 0)
        return err;
    if (device->sys->TcSetAttr(device->fd, TCSANOW, &tio) != 0)
        return errno;
    if (!standard) {
        if (int err = device->sys->SetArbitraryBaud(device->fd, dcb.BaudRate); err != 0)
            return err;
    }

    // DTR and RTS held as asked; handshake modes keep the line on and leave it to the driver.
    // With rtsToggle RTS rests off and each write raises it until its bytes are sent.
    int err = SetModemLine(device, TIOCM_DTR, dcb.fDtrControl != 0);
    if (err == 0)
        err = SetModemLine(device, TIOCM_RTS, dcb.fRtsControl == 1 || dcb.fRtsControl == 2);
    if (err != 0 && !NoModemLines(err))
        return err;

    std::lock_guard lock(device->mutex);
    device->discardNull = dcb.fNull;
    device->eventChar = dcb.EvtChar;
    device->baud = dcb.BaudRate;
    bool marks = dcb.fParity && dcb.fErrorChar;
    if (marks != device->parityMarks)
        device->marks = {};
    device->parityMarks = marks;
    device->replaceChar = dcb.ErrorChar;
    device->dsrSensitive = dcb.fDsrSensitivity;
    device->rtsToggle = dcb.fRtsControl == 3;
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
    if (!device)
        return kErrorInvalidHandle;
    if (flags & 3u) {
        ++device->abortGeneration;
        WakeWorker(device);
    }
    int queue = -1;
    if ((flags & 12u) == 12u)
        queue = TCIOFLUSH;
    else if (flags & 4u)
        queue = TCOFLUSH;
    else if (flags & 8u)
        queue = TCIFLUSH;
    if (queue >= 0 && device->sys->TcFlush(device->fd, queue) != 0)
        return errno;
    if (flags & 8u)
        PurgeReceived(device);
    return 0;
}

int ClearError(Device* device, TCommStatus& status) {
    if (!device)
        return kErrorInvalidHandle;
    int in = 0;
    if (int err = Ioctl(device, FIONREAD, &in); err != 0)
        return err;
    status = TCommStatus{};
    // A pseudo-terminal has no transmit queue to ask about.
    if (device->hasTxQueue) {
        int out = 0;
        if (int err = Ioctl(device, TIOCOUTQ, &out); err != 0)
            return err;
        status.OutQueue = static_cast<std::uint32_t>(std::max(out, 0));
    }
    std::lock_guard lock(device->mutex);
    status.InQueue = static_cast<std::uint32_t>(std::max(in, 0)) +
                     static_cast<std::uint32_t>(device->stash.size());
    if (device->markedErrors != 0)
        status.Errors |= 4;
    device->markedErrors = 0;
    if (device->haveCounters) {
        posix::LineCounters now;
        if (device->sys->ReadLineCounters(device->fd, now) == 0) {
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
    lines = 0;
    if (!device)
        return kErrorInvalidHandle;
    int bits = 0;
    if (int err = Ioctl(device, TIOCMGET, &bits); err != 0)
        return err;
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
    if (!device)
        return kErrorInvalidHandle;
    int rc = 0;
    switch (code) {
    case 1:
        rc = device->sys->TcFlow(device->fd, TCOOFF);
        break;
    case 2:
        rc = device->sys->TcFlow(device->fd, TCOON);
        break;
    case 3:
    case 4:
    case 5:
    case 6: {
        // A device without modem lines has nothing to set, as Signals has nothing to report
        // there: not an error.
        int line = code <= 4 ? TIOCM_RTS : TIOCM_DTR;
        int err = SetModemLine(device, line, code == 3 || code == 5);
        return NoModemLines(err) ? 0 : err;
    }
    case 8:
        rc = device->sys->Ioctl(device->fd, TIOCSBRK, nullptr);
        break;
    case 9:
        rc = device->sys->Ioctl(device->fd, TIOCCBRK, nullptr);
        break;
    default:
        return EINVAL;
    }
    return rc == 0 ? 0 : errno;
}

int TransmitChar(Device* device, char ch) {
    if (!device)
        return kErrorInvalidHandle;
    // POSIX has no way past the transmit queue: the byte is queued at once, waiting briefly
    // for room when the queue is full.
    for (int attempt = 0; attempt < 2; ++attempt) {
        ssize_t n = device->sys->Write(device->fd, &ch, 1);
        if (n == 1)
            return 0;
        if (n < 0 && errno != EAGAIN)
            return errno;
        pollfd p{device->fd, POLLOUT, 0};
        device->sys->Poll(&p, 1, kRoomCheckMs);
    }
    return EAGAIN;
}

int EnumPortNames(std::vector<std::string>& names) {
    names = AvailablePortNames();
    return 0;
}

} // namespace serial::backend
