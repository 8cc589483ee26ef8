#include "tests/serial/uart_model.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <iterator>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace lirat_test {

namespace posix = serial::backend::posix;

UartModel::UartModel(std::string devicePath, std::size_t queueSize)
    : path_(std::move(devicePath)), queueSize_(queueSize) {
    sender_ = std::thread([this] { Send(); });
    posix::InstallSystemCalls(this);
}

UartModel::~UartModel() {
    posix::InstallSystemCalls(nullptr);
    stop_ = true;
    sender_.join();
}

void UartModel::SetInputLines(bool cts, bool dsr) {
    std::lock_guard lock(mutex_);
    cts_ = cts;
    dsr_ = dsr;
}

void UartModel::ReceiveFlowControl(bool xoff) {
    std::lock_guard lock(mutex_);
    xoff_ = xoff;
}

void UartModel::MarkParityErrors(std::set<std::size_t> positions) {
    std::lock_guard lock(mutex_);
    parityErrors_ = std::move(positions);
}

bool UartModel::Rts() const {
    std::lock_guard lock(mutex_);
    return rts_;
}
bool UartModel::Dtr() const {
    std::lock_guard lock(mutex_);
    return dtr_;
}
std::size_t UartModel::Queued() const {
    std::lock_guard lock(mutex_);
    return tx_.size();
}
std::size_t UartModel::SentWithRtsOff() const {
    std::lock_guard lock(mutex_);
    return sentWithRtsOff_;
}
std::uint32_t UartModel::Baud() const {
    std::lock_guard lock(mutex_);
    return baud_;
}

bool UartModel::Ours(int fd) const {
    std::lock_guard lock(mutex_);
    return fd >= 0 && fd == fd_;
}

bool UartModel::StoppedLocked() const {
    return ((tio_.c_cflag & CRTSCTS) && !cts_) || ((tio_.c_iflag & IXON) && xoff_) || flowOff_;
}

// Sends the queue to the line at the baud rate, a millisecond's worth at a time.
void UartModel::Send() {
    using Clock = std::chrono::steady_clock;
    double credit = 0; // bytes the line could have sent since the queue last ran dry
    auto last = Clock::now();
    std::vector<char> chunk;
    while (!stop_) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        auto now = Clock::now();
        double seconds = std::chrono::duration<double>(now - last).count();
        last = now;
        std::lock_guard lock(mutex_);
        if (fd_ < 0 || tx_.empty() || StoppedLocked()) {
            credit = 0;
            continue;
        }
        credit += seconds * baud_ / 10.0;
        auto n = std::min(tx_.size(), static_cast<std::size_t>(credit));
        if (n == 0)
            continue;
        chunk.assign(tx_.begin(), tx_.begin() + static_cast<std::ptrdiff_t>(n));
        ssize_t sent = ::write(fd_, chunk.data(), chunk.size());
        if (sent <= 0)
            continue; // the pseudo-terminal is full: the line waits, as a stalled far end
        tx_.erase(tx_.begin(), tx_.begin() + sent);
        credit -= static_cast<double>(sent);
        if (!rts_)
            sentWithRtsOff_ += static_cast<std::size_t>(sent);
    }
}

int UartModel::Open(const char* path, int flags) {
    int fd = OpenReal(path, flags);
    if (fd >= 0 && path_ == path) {
        std::lock_guard lock(mutex_);
        fd_ = fd;
        ::tcgetattr(fd, &tio_);
        tx_.clear();
        rxDecoded_.clear();
    }
    return fd;
}

int UartModel::Close(int fd) {
    {
        std::lock_guard lock(mutex_);
        if (fd == fd_) {
            fd_ = -1;
            tx_.clear();
        }
    }
    return ::close(fd);
}

ssize_t UartModel::Read(int fd, void* buffer, std::size_t count) {
    if (!Ours(fd))
        return ::read(fd, buffer, count);
    std::lock_guard lock(mutex_);
    if (rxDecoded_.empty()) {
        std::vector<char> raw(std::max<std::size_t>(count, 1));
        ssize_t n = ::read(fd, raw.data(), raw.size());
        if (n <= 0)
            return n;
        const bool inpck = tio_.c_iflag & INPCK;
        const bool parmrk = tio_.c_iflag & PARMRK;
        for (ssize_t i = 0; i < n; ++i) {
            char ch = raw[static_cast<std::size_t>(i)];
            if (!parityErrors_.count(rxPosition_++)) {
                rxDecoded_.push_back(ch);
                continue;
            }
            if (inpck && parmrk) {
                rxDecoded_.push_back('\377');
                rxDecoded_.push_back('\0');
                rxDecoded_.push_back(ch);
            } else if (inpck) {
                rxDecoded_.push_back('\0');
            } else {
                rxDecoded_.push_back(ch);
            }
        }
    }
    auto n = std::min(count, rxDecoded_.size());
    std::copy_n(rxDecoded_.begin(), n, static_cast<char*>(buffer));
    rxDecoded_.erase(rxDecoded_.begin(), rxDecoded_.begin() + static_cast<std::ptrdiff_t>(n));
    return static_cast<ssize_t>(n);
}

ssize_t UartModel::Write(int fd, const void* buffer, std::size_t count) {
    if (!Ours(fd))
        return ::write(fd, buffer, count);
    std::lock_guard lock(mutex_);
    std::size_t room = queueSize_ - tx_.size();
    if (room == 0) {
        errno = EAGAIN;
        return -1;
    }
    auto n = std::min(room, count);
    const char* bytes = static_cast<const char*>(buffer);
    tx_.insert(tx_.end(), bytes, bytes + n);
    return static_cast<ssize_t>(n);
}

int UartModel::Ioctl(int fd, unsigned long request, void* argument) {
    if (!Ours(fd))
        return ::ioctl(fd, request, argument);
    std::lock_guard lock(mutex_);
    int* value = static_cast<int*>(argument);
    switch (request) {
    case FIONREAD: {
        int in = 0;
        if (::ioctl(fd, FIONREAD, &in) != 0)
            return -1;
        *value = in + static_cast<int>(rxDecoded_.size());
        return 0;
    }
    case TIOCOUTQ:
        *value = static_cast<int>(tx_.size());
        return 0;
    case TIOCMGET:
        *value = (cts_ ? TIOCM_CTS : 0) | (dsr_ ? TIOCM_DSR : 0) | (rts_ ? TIOCM_RTS : 0) |
                 (dtr_ ? TIOCM_DTR : 0);
        return 0;
    case TIOCMBIS:
    case TIOCMBIC: {
        bool on = request == TIOCMBIS;
        if (*value & TIOCM_RTS)
            rts_ = on;
        if (*value & TIOCM_DTR)
            dtr_ = on;
        return 0;
    }
    case TIOCSBRK:
    case TIOCCBRK:
        return 0;
    default:
        return ::ioctl(fd, request, argument);
    }
}

int UartModel::TcSetAttr(int fd, int when, const termios* tio) {
    int rc = ::tcsetattr(fd, when, tio);
    if (rc == 0 && Ours(fd)) {
        std::uint32_t rate = 0;
        posix::ReadActualBaud(fd, rate);
        std::lock_guard lock(mutex_);
        tio_ = *tio;
        if (rate != 0)
            baud_ = rate;
    }
    return rc;
}

int UartModel::SetArbitraryBaud(int fd, std::uint32_t rate) {
    int rc = SystemCalls::SetArbitraryBaud(fd, rate);
    if (rc == 0 && Ours(fd)) {
        std::lock_guard lock(mutex_);
        baud_ = rate;
    }
    return rc;
}

int UartModel::TcFlush(int fd, int queue) {
    if (Ours(fd)) {
        std::lock_guard lock(mutex_);
        if (queue == TCOFLUSH || queue == TCIOFLUSH)
            tx_.clear();
        if (queue == TCIFLUSH || queue == TCIOFLUSH)
            rxDecoded_.clear();
        // What has left the model's queue is on the line: the pseudo-terminal's own output
        // side holds bytes already sent, which a flush of the real queue would drop.
        if (queue == TCOFLUSH)
            return 0;
        queue = TCIFLUSH;
    }
    return ::tcflush(fd, queue);
}

int UartModel::TcFlow(int fd, int action) {
    if (!Ours(fd) || (action != TCOOFF && action != TCOON))
        return ::tcflow(fd, action);
    std::lock_guard lock(mutex_);
    flowOff_ = action == TCOOFF;
    return 0;
}

int UartModel::Poll(pollfd* fds, nfds_t count, int timeoutMs) {
    pollfd* device = nullptr;
    for (nfds_t i = 0; i < count; ++i)
        if (Ours(fds[i].fd) && (fds[i].events & POLLOUT))
            device = &fds[i];
    if (!device)
        return ::poll(fds, count, timeoutMs);
    // Room in the queue is the model's; everything else the kernel's, looked at every
    // millisecond.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    const short asked = device->events;
    for (;;) {
        bool room = Queued() < queueSize_;
        device->events = static_cast<short>(asked & ~POLLOUT);
        int rc = ::poll(fds, count, room ? 0 : 1);
        device->events = asked;
        if (rc < 0)
            return rc;
        if (room) {
            device->revents = static_cast<short>(device->revents | POLLOUT);
            ++rc;
        }
        if (rc > 0 || (timeoutMs >= 0 && std::chrono::steady_clock::now() >= deadline))
            return rc;
    }
}

int UartModel::ReadLineCounters(int fd, posix::LineCounters& counters) {
    if (!Ours(fd))
        return SystemCalls::ReadLineCounters(fd, counters);
    // The driver counts an error as the byte arrives: every marked position up to the bytes
    // still waiting in the line discipline.
    int waiting = 0;
    ::ioctl(fd, FIONREAD, &waiting);
    std::lock_guard lock(mutex_);
    counters = counters_;
    auto arrived = rxPosition_ + static_cast<std::size_t>(std::max(waiting, 0));
    counters.parity = static_cast<std::uint32_t>(
        std::distance(parityErrors_.begin(), parityErrors_.lower_bound(arrived)));
    return 0;
}

int UartModel::WaitModemChange(int fd) {
    // The model's lines change only when a test says so; no helper waits for them.
    return Ours(fd) ? ENOTSUP : SystemCalls::WaitModemChange(fd);
}

bool UartModel::IsPseudoTerminal(int fd) {
    return Ours(fd) ? false : SystemCalls::IsPseudoTerminal(fd);
}

} // namespace lirat_test
