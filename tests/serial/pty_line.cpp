#include "tests/serial/pty_line.h"

#include "serial/posix_extras.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace lirat_test {

PtyLine::PtyLine() {
    int slave = -1;
    char name[256] = {};
    if (::openpty(&master_, &slave, name, nullptr, nullptr) != 0)
        throw std::runtime_error(std::string("openpty: ") + std::strerror(errno));
    devicePath_ = name;
    // The port opens the device side itself, as it would a real device.
    ::close(slave);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
}

PtyLine::~PtyLine() {
    CloseMaster();
}

void PtyLine::CloseMaster() {
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}

void PtyLine::Send(const std::string& bytes) {
    std::size_t done = 0;
    while (master_ >= 0 && done < bytes.size()) {
        ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EAGAIN) {
            pollfd p{master_, POLLOUT, 0};
            ::poll(&p, 1, 100);
        } else {
            throw std::runtime_error(std::string("pty write: ") + std::strerror(errno));
        }
    }
}

std::string PtyLine::Receive(std::size_t max, int timeoutMs) {
    std::string got;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (master_ >= 0 && got.size() < max) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
        if (left <= 0)
            break;
        pollfd p{master_, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0)
            continue;
        char buf[512];
        ssize_t n = ::read(master_, buf, std::min(sizeof buf, max - got.size()));
        if (n > 0)
            got.append(buf, static_cast<std::size_t>(n));
        else if (n < 0 && errno != EAGAIN)
            break; // EIO: the device side is not open at the moment
        else if (n == 0)
            break;
    }
    return got;
}

DeviceLine PtyLine::Line() {
    DeviceLine line;
    termios tio{};
    // On Linux the master reports the device side's settings.
    if (master_ < 0 || ::tcgetattr(master_, &tio) != 0)
        return line;
    std::uint32_t rate = 0;
    if (serial::backend::posix::ReadActualBaud(master_, rate) == 0)
        line.baud = rate;
    switch (tio.c_cflag & CSIZE) {
    case CS5:
        line.dataBits = 5;
        break;
    case CS6:
        line.dataBits = 6;
        break;
    case CS7:
        line.dataBits = 7;
        break;
    default:
        line.dataBits = 8;
        break;
    }
    if (!(tio.c_cflag & PARENB))
        line.parity = 'N';
    else if (tio.c_cflag & CMSPAR)
        line.parity = (tio.c_cflag & PARODD) ? 'M' : 'S';
    else
        line.parity = (tio.c_cflag & PARODD) ? 'O' : 'E';
    line.stopBits = (tio.c_cflag & CSTOPB) ? 2 : 1;
    line.crtscts = (tio.c_cflag & CRTSCTS) != 0;
    line.ixon = (tio.c_iflag & IXON) != 0;
    line.ixoff = (tio.c_iflag & IXOFF) != 0;
    return line;
}

} // namespace lirat_test
