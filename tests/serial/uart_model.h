// A model of a real UART behind a pseudo-terminal, for the promises a pseudo-terminal cannot
// show: installed as the POSIX backend's kernel calls, it stands in for the driver of the device
// it models, while the pseudo-terminal still carries the bytes to and from the far end.
//
// - Writes go into a transmit queue of queueSize bytes (write() returns once they are queued,
//   EAGAIN when it is full, as on a UART); a thread sends them to the line at the configured
//   baud rate (ten bits a byte), and stops while CTS is low with CRTSCTS, after a received Xoff
//   with IXON, or after tcflow(TCOOFF). TIOCOUTQ reports the queue, TCOFLUSH empties it, poll()
//   reports POLLOUT while it has room.
// - The input lines (CTS, DSR, RLSD, ring) are set by the test; DTR and RTS by the port.
// - Input bytes can be marked as received with a parity error: they then arrive as the line
//   discipline delivers them (PARMRK: "\377\0" and the byte; INPCK alone: a zero byte; without
//   INPCK: as they are), and the driver's parity counter counts them.
// Every other descriptor, and the device's own input, goes to the real calls.
#pragma once

#include "serial/posix_syscalls.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include <termios.h>

namespace lirat_test {

class UartModel : public serial::backend::posix::SystemCalls {
public:
    // Models the device at devicePath (a pseudo-terminal's device side) and installs itself for
    // the devices opened from now on, until it is destroyed.
    explicit UartModel(std::string devicePath, std::size_t queueSize = 4096);
    ~UartModel() override;
    UartModel(const UartModel&) = delete;
    UartModel& operator=(const UartModel&) = delete;

    // The far end's side of the lines.
    void SetInputLines(bool cts, bool dsr);
    // As if the far end had sent Xoff (true) or Xon (false).
    void ReceiveFlowControl(bool xoff);
    // The input bytes at these positions (counted from 0, over everything the device receives)
    // arrive with a parity error.
    void MarkParityErrors(std::set<std::size_t> positions);

    bool Rts() const;
    bool Dtr() const;
    std::size_t Queued() const;
    // Bytes that left the queue while RTS was off.
    std::size_t SentWithRtsOff() const;
    std::uint32_t Baud() const;

    int Open(const char* path, int flags) override;
    int Close(int fd) override;
    ssize_t Read(int fd, void* buffer, std::size_t count) override;
    ssize_t Write(int fd, const void* buffer, std::size_t count) override;
    int Ioctl(int fd, unsigned long request, void* argument) override;
    int TcSetAttr(int fd, int when, const termios* tio) override;
    int TcFlush(int fd, int queue) override;
    int TcFlow(int fd, int action) override;
    int Poll(pollfd* fds, nfds_t count, int timeoutMs) override;
    int SetArbitraryBaud(int fd, std::uint32_t rate) override;
    int ReadLineCounters(int fd, serial::backend::posix::LineCounters& counters) override;
    int WaitModemChange(int fd) override;
    bool IsPseudoTerminal(int fd) override;

private:
    bool Ours(int fd) const;
    bool StoppedLocked() const;
    void Send();

    const std::string path_;
    const std::size_t queueSize_;
    mutable std::mutex mutex_;
    int fd_ = -1;
    termios tio_{};
    std::uint32_t baud_ = 9600;
    std::deque<char> tx_;
    std::deque<char> rxDecoded_; // input already marked, waiting to be read
    std::size_t rxPosition_ = 0;
    std::set<std::size_t> parityErrors_;
    serial::backend::posix::LineCounters counters_;
    bool cts_ = true, dsr_ = true, rts_ = false, dtr_ = false;
    bool xoff_ = false, flowOff_ = false;
    std::size_t sentWithRtsOff_ = 0;
    std::atomic<bool> stop_{false};
    std::thread sender_;
};

} // namespace lirat_test
