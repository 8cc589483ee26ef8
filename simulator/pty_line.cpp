#include "simulator/pty_line.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <system_error>
#include <termios.h>
#include <unistd.h>

namespace sim {
namespace {

[[noreturn]] void ThrowErrno(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

void SetFlags(int fd, int add) {
    int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || fcntl(fd, F_SETFL, flags | add) < 0) {
        ThrowErrno("fcntl");
    }
}

// How long the line may refuse bytes (nobody reads the far side and its queue is full) before
// the rest of a reply is dropped.
constexpr int kFullLineWaitMs = 500;

} // namespace

PtyLine::~PtyLine() {
    HangUp();
}

void PtyLine::Open() {
    HangUp();
    int master = -1;
    int slave = -1;
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
        ThrowErrno("openpty");
    }
    master_ = master;
    slave_ = slave;
    try {
        if (fcntl(master_, F_SETFD, FD_CLOEXEC) < 0 || fcntl(slave_, F_SETFD, FD_CLOEXEC) < 0) {
            ThrowErrno("fcntl");
        }
        SetFlags(master_, O_NONBLOCK);

        termios tio{};
        if (tcgetattr(slave_, &tio) != 0) {
            ThrowErrno("tcgetattr");
        }
        cfmakeraw(&tio);
        tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
        tio.c_cflag |= CS8 | CREAD | CLOCAL;
        tio.c_cc[VMIN] = 1;
        tio.c_cc[VTIME] = 0;
        if (cfsetispeed(&tio, B9600) != 0 || cfsetospeed(&tio, B9600) != 0 ||
            tcsetattr(slave_, TCSANOW, &tio) != 0) {
            ThrowErrno("tcsetattr");
        }

        char name[128];
        if (ttyname_r(slave_, name, sizeof name) != 0) {
            ThrowErrno("ttyname_r");
        }
        path_ = name;
    } catch (...) {
        HangUp();
        throw;
    }
}

std::string PtyLine::ReadAvailable() {
    std::string bytes;
    if (master_ < 0) {
        return bytes;
    }
    char buffer[256];
    for (;;) {
        ssize_t n = read(master_, buffer, sizeof buffer);
        if (n > 0) {
            bytes.append(buffer, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        break; // EAGAIN: nothing more waiting; EIO: nobody has the far side open
    }
    return bytes;
}

bool PtyLine::WriteByte(char byte, const StopSignal& stop) {
    for (;;) {
        ssize_t n = write(master_, &byte, 1);
        if (n == 1) {
            return true;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN) {
            return false;
        }
        pollfd fds[2] = {{master_, POLLOUT, 0}, {stop.Fd(), POLLIN, 0}};
        int ready = poll(fds, 2, kFullLineWaitMs);
        if (ready <= 0 || (fds[1].revents & POLLIN) != 0) {
            return false;
        }
    }
}

std::size_t PtyLine::WritePaced(std::string_view bytes, std::chrono::nanoseconds byteTime,
                                const StopSignal& stop) {
    if (master_ < 0) {
        return 0;
    }
    // A receiver has a byte only once its stop bit is through, so byte i arrives (i + 1) byte
    // times after the start. Deadlines are kept from the start so that the pace does not drift
    // with scheduling delays.
    auto start = std::chrono::steady_clock::now();
    std::size_t written = 0;
    for (char byte : bytes) {
        if (byteTime > std::chrono::nanoseconds::zero()) {
            auto due = start + byteTime * static_cast<long long>(written + 1);
            if (stop.WaitFor(due - std::chrono::steady_clock::now())) {
                break;
            }
        }
        if (!WriteByte(byte, stop)) {
            break;
        }
        ++written;
    }
    return written;
}

void PtyLine::HangUp() {
    if (master_ >= 0) {
        close(master_);
        master_ = -1;
    }
    if (slave_ >= 0) {
        close(slave_);
        slave_ = -1;
    }
}

} // namespace sim
