#include "bench/far_end.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace bench {

FarEnd::FarEnd(int master, Mode mode, std::size_t total)
    : master_(master), mode_(mode), total_(total) {
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    stop_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (stop_ < 0)
        throw std::system_error(errno, std::generic_category(), "eventfd");
    thread_ = std::thread([this] { Run(); });
    while (tid_.load() == 0)
        std::this_thread::yield();
}

FarEnd::~FarEnd() {
    std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(stop_, &one, sizeof one);
    if (thread_.joinable())
        thread_.join();
    ::close(stop_);
}

void FarEnd::Wait() {
    if (thread_.joinable())
        thread_.join();
    if (!error_.empty())
        throw std::runtime_error("far end: " + error_);
}

bool FarEnd::WaitFor(short events) {
    pollfd fds[2] = {{master_, events, 0}, {stop_, POLLIN, 0}};
    for (;;) {
        int rc = ::poll(fds, 2, -1);
        if (rc < 0 && errno == EINTR)
            continue;
        if (rc < 0) {
            error_ = std::strerror(errno);
            return false;
        }
        if (fds[1].revents)
            return false;
        if (fds[0].revents & (POLLERR | POLLNVAL)) {
            error_ = "line error";
            return false;
        }
        if (fds[0].revents)
            return true;
    }
}

bool FarEnd::WriteAll(const char* data, std::size_t count) {
    while (count > 0) {
        ssize_t n = ::write(master_, data, count);
        if (n > 0) {
            data += n;
            count -= static_cast<std::size_t>(n);
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            error_ = std::strerror(errno);
            return false;
        } else if (!WaitFor(POLLOUT)) {
            return false;
        }
    }
    return true;
}

void FarEnd::Run() {
    tid_ = CurrentThreadId();
    double cpuStart = ThreadCpuSeconds();
    std::vector<char> buffer(64 * 1024);
    std::size_t moved = 0;
    std::size_t pendingCommand = 0;
    bool running = true;
    if (mode_ == Mode::Source) {
        for (std::size_t i = 0; i < buffer.size(); ++i)
            buffer[i] = static_cast<char>(i * 31 + 7);
        while (running && moved < total_) {
            std::size_t chunk = std::min(buffer.size(), total_ - moved);
            running = WriteAll(buffer.data(), chunk);
            moved += chunk;
        }
    } else {
        while (running && (mode_ != Mode::Sink || moved < total_)) {
            ssize_t n = ::read(master_, buffer.data(), buffer.size());
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
                running = WaitFor(POLLIN);
                continue;
            }
            if (n <= 0) {
                error_ = n == 0 ? "end of file" : std::strerror(errno);
                break;
            }
            moved += static_cast<std::size_t>(n);
            if (mode_ == Mode::Echo) {
                running = WriteAll(buffer.data(), static_cast<std::size_t>(n));
            } else if (mode_ == Mode::Command) {
                pendingCommand += static_cast<std::size_t>(n);
                for (; pendingCommand >= 4 && running; pendingCommand -= 4)
                    running = WriteAll(kReply, sizeof kReply - 1);
            }
        }
    }
    finished_ = Clock::now();
    if ((mode_ == Mode::Sink || mode_ == Mode::Source) && moved < total_ && error_.empty())
        error_ = "stopped before the end";
    cpu_ = ThreadCpuSeconds() - cpuStart;
}

} // namespace bench
