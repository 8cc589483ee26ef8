// The real kernel calls behind the POSIX backend's seam.
#include "serial/posix_syscalls.h"

#include <atomic>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace serial::backend::posix {

namespace {

SystemCalls realCalls;
std::atomic<SystemCalls*> installed{nullptr};

} // namespace

int SystemCalls::OpenReal(const char* path, int flags) {
    return ::open(path, flags);
}
int SystemCalls::Close(int fd) {
    return ::close(fd);
}
ssize_t SystemCalls::Read(int fd, void* buffer, std::size_t count) {
    return ::read(fd, buffer, count);
}
ssize_t SystemCalls::Write(int fd, const void* buffer, std::size_t count) {
    return ::write(fd, buffer, count);
}
int SystemCalls::Ioctl(int fd, unsigned long request, void* argument) {
    return ::ioctl(fd, request, argument);
}
int SystemCalls::TcGetAttr(int fd, termios* tio) {
    return ::tcgetattr(fd, tio);
}
int SystemCalls::TcSetAttr(int fd, int when, const termios* tio) {
    return ::tcsetattr(fd, when, tio);
}
int SystemCalls::TcFlush(int fd, int queue) {
    return ::tcflush(fd, queue);
}
int SystemCalls::TcFlow(int fd, int action) {
    return ::tcflow(fd, action);
}
int SystemCalls::Flock(int fd, int operation) {
    return ::flock(fd, operation);
}
int SystemCalls::Poll(pollfd* fds, nfds_t count, int timeoutMs) {
    return ::poll(fds, count, timeoutMs);
}
int SystemCalls::EpollCtl(int epollFd, int op, int fd, epoll_event* event) {
    return ::epoll_ctl(epollFd, op, fd, event);
}
int SystemCalls::EpollWait(int epollFd, epoll_event* events, int max, int timeoutMs) {
    return ::epoll_wait(epollFd, events, max, timeoutMs);
}
int SystemCalls::SetArbitraryBaud(int fd, std::uint32_t rate) {
    return posix::SetArbitraryBaud(fd, rate);
}
int SystemCalls::ReadLineCounters(int fd, LineCounters& counters) {
    return posix::ReadLineCounters(fd, counters);
}
int SystemCalls::WaitModemChange(int fd) {
    return posix::WaitModemChange(fd);
}
bool SystemCalls::IsPseudoTerminal(int fd) {
    return posix::IsPseudoTerminal(fd);
}
bool SystemCalls::OpenElsewhere(const std::string& devicePath) {
    return posix::OpenElsewhere(devicePath);
}
int SystemCalls::SetLowLatency(int fd) {
    return posix::SetLowLatency(fd);
}

SystemCalls& CurrentSystemCalls() {
    SystemCalls* calls = installed.load();
    return calls ? *calls : realCalls;
}

void InstallSystemCalls(SystemCalls* calls) {
    installed.store(calls);
}

} // namespace serial::backend::posix
