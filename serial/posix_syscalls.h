// Internal to the POSIX backend: every kernel call the backend makes on a serial device goes
// through one of these, so that a test can stand a model of a real UART in for the kernel. A
// pseudo-terminal refuses writes while stopped and has no transmit queue of its own, so the
// promises that rest on a hardware queue (writes that complete when the bytes are sent, output
// held by CTS or Xoff, modem lines, parity-marked input) can only be shown against such a model.
//
// The device takes the calls current when it is opened and keeps them until it is closed. The
// real ones are plain forwarders: one indirect call per system call.
#pragma once

#include "serial/posix_extras.h"

#include <cstddef>
#include <cstdint>
#include <string>

#include <poll.h>
#include <sys/epoll.h>
#include <sys/types.h>

struct termios;

namespace serial::backend::posix {

class SystemCalls {
public:
    virtual ~SystemCalls() = default;

    // As the system calls of the same names: the result, or -1 with errno set.
    virtual int Open(const char* path, int flags) { return OpenReal(path, flags); }
    virtual int Close(int fd);
    virtual ssize_t Read(int fd, void* buffer, std::size_t count);
    virtual ssize_t Write(int fd, const void* buffer, std::size_t count);
    // The ioctls the backend uses: FIONREAD, TIOCOUTQ, TIOCMGET, TIOCMBIS, TIOCMBIC, TIOCEXCL,
    // TIOCNXCL, TIOCSBRK, TIOCCBRK.
    virtual int Ioctl(int fd, unsigned long request, void* argument);
    virtual int TcGetAttr(int fd, termios* tio);
    virtual int TcSetAttr(int fd, int when, const termios* tio);
    virtual int TcFlush(int fd, int queue);
    virtual int TcFlow(int fd, int action);
    virtual int Flock(int fd, int operation);
    // A timeout of -1 waits without limit; no descriptors at all is a plain sleep.
    virtual int Poll(pollfd* fds, nfds_t count, int timeoutMs);
    virtual int EpollCtl(int epollFd, int op, int fd, epoll_event* event);
    virtual int EpollWait(int epollFd, epoll_event* events, int max, int timeoutMs);

    // The services of posix_extras.h.
    virtual int SetArbitraryBaud(int fd, std::uint32_t rate);
    virtual int ReadLineCounters(int fd, LineCounters& counters);
    virtual int WaitModemChange(int fd);
    // Whether the device is the device side of a pseudo-terminal, which has no transmit queue:
    // its writes are complete when write() returns.
    virtual bool IsPseudoTerminal(int fd);
    // The other processes' open descriptors that name the device, as far as the system shows
    // them (posix_extras): a holder that took no lock of any kind.
    virtual bool OpenElsewhere(const std::string& devicePath);
    virtual int SetLowLatency(int fd);

protected:
    static int OpenReal(const char* path, int flags);
};

// The calls devices opened from now on use; the real ones unless a test has installed others.
SystemCalls& CurrentSystemCalls();
// Installs calls for the devices opened from now on (nullptr: the real ones again). Tests only;
// the calls must outlive every device opened with them.
void InstallSystemCalls(SystemCalls* calls);

} // namespace serial::backend::posix
