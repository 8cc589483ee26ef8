#include "simulator/stop_signal.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <system_error>
#include <time.h>
#include <unistd.h>

namespace sim {

StopSignal::StopSignal() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        throw std::system_error(errno, std::generic_category(), "pipe2");
    }
    readFd_ = fds[0];
    writeFd_ = fds[1];
}

StopSignal::~StopSignal() {
    close(readFd_);
    close(writeFd_);
}

void StopSignal::Raise() {
    char byte = 1;
    // The pipe only has to be non-empty; a full pipe is as good as a written byte.
    while (write(writeFd_, &byte, 1) < 0 && errno == EINTR) {
    }
}

bool StopSignal::Raised() const {
    pollfd fd{readFd_, POLLIN, 0};
    return poll(&fd, 1, 0) > 0 && (fd.revents & POLLIN) != 0;
}

void StopSignal::Reset() {
    char buffer[64];
    while (read(readFd_, buffer, sizeof buffer) > 0) {
    }
}

bool StopSignal::WaitFor(std::chrono::nanoseconds duration) const {
    auto deadline = std::chrono::steady_clock::now() + duration;
    for (;;) {
        auto left = deadline - std::chrono::steady_clock::now();
        if (left <= std::chrono::nanoseconds::zero()) {
            return Raised();
        }
        auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        timespec timeout{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
        pollfd fd{readFd_, POLLIN, 0};
        int n = ppoll(&fd, 1, &timeout, nullptr);
        if (n > 0) {
            return true;
        }
        if (n < 0 && errno != EINTR) {
            return Raised();
        }
    }
}

} // namespace sim
