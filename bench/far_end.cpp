#include "bench/far_end.h"

#include <algorithm>
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

FarEnd::FarEnd(int master, Mode mode) : master_(master), mode_(mode) {
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    stop_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    request_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (stop_ < 0 || request_ < 0)
        throw std::system_error(errno, std::generic_category(), "eventfd");
    thread_ = std::thread([this] { Run(); });
    while (tid_.load() == 0)
        std::this_thread::yield();
}

FarEnd::~FarEnd() {
    std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(stop_, &one, sizeof one);
    thread_.join();
    ::close(stop_);
    ::close(request_);
}

bool FarEnd::WaitReceived(std::size_t total) {
    std::unique_lock lock(mutex_);
    return movedChanged_.wait_for(lock, std::chrono::seconds(10), [&] {
        return moved_ >= total || !error_.empty();
    }) && moved_ >= total;
}

void FarEnd::Feed(std::size_t count) {
    wanted_ += count;
    std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(request_, &one, sizeof one);
}

std::string FarEnd::Error() {
    std::lock_guard lock(mutex_);
    return error_;
}

void FarEnd::Moved(std::size_t count) {
    {
        std::lock_guard lock(mutex_);
        moved_ += count;
    }
    movedChanged_.notify_all();
}

bool FarEnd::WaitFor(short events) {
    pollfd fds[2] = {{master_, events, 0}, {stop_, POLLIN, 0}};
    for (;;) {
        int rc = ::poll(fds, 2, -1);
        if (rc < 0 && errno == EINTR)
            continue;
        if (rc < 0 || fds[1].revents)
            return false;
        if (fds[0].revents & (POLLERR | POLLNVAL))
            return false;
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
            return false;
        } else if (!WaitFor(POLLOUT)) {
            return false;
        }
    }
    return true;
}

void FarEnd::Run() {
    tid_ = CurrentThreadId();
    std::vector<char> buffer(64 * 1024);
    std::string error;
    if (mode_ == Mode::Feed) {
        for (std::size_t i = 0; i < buffer.size(); ++i)
            buffer[i] = static_cast<char>(i * 31 + 7);
        std::size_t written = 0;
        for (;;) {
            std::size_t wanted = wanted_.load();
            if (written < wanted) {
                std::size_t chunk = std::min(buffer.size(), wanted - written);
                if (!WriteAll(buffer.data(), chunk))
                    break;
                written += chunk;
                Moved(chunk);
                continue;
            }
            pollfd fds[2] = {{request_, POLLIN, 0}, {stop_, POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0 && errno != EINTR)
                break;
            if (fds[1].revents)
                break;
            std::uint64_t value = 0;
            [[maybe_unused]] ssize_t n = ::read(request_, &value, sizeof value);
        }
    } else {
        std::size_t pendingCommand = 0;
        bool running = true;
        while (running) {
            ssize_t n = ::read(master_, buffer.data(), buffer.size());
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
                running = WaitFor(POLLIN);
                continue;
            }
            if (n <= 0) {
                error = n == 0 ? "end of file" : std::strerror(errno);
                break;
            }
            if (mode_ == Mode::Echo) {
                running = WriteAll(buffer.data(), static_cast<std::size_t>(n));
            } else if (mode_ == Mode::Command) {
                pendingCommand += static_cast<std::size_t>(n);
                for (; pendingCommand >= 4 && running; pendingCommand -= 4)
                    running = WriteAll(kReply, sizeof kReply - 1);
            } else {
                Moved(static_cast<std::size_t>(n));
            }
        }
    }
    if (!error.empty()) {
        std::lock_guard lock(mutex_);
        error_ = error;
    }
    movedChanged_.notify_all();
}

} // namespace bench
