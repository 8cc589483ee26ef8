// Internal: the few Linux-only device services the POSIX backend uses, with plain fallbacks on
// other POSIX systems (posix_extras_linux.cpp, posix_extras_generic.cpp).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace serial::backend::posix {

// Sets a rate that has no B-constant (Linux termios2 with BOTHER); 0 or an errno value.
int SetArbitraryBaud(int fd, std::uint32_t rate);
// The output rate the device really has, in bits per second; 0 or an errno value.
int ReadActualBaud(int fd, std::uint32_t& rate);

// The driver's running counters of line events, where the driver keeps them.
struct LineCounters {
    std::uint32_t cts = 0, dsr = 0, rng = 0, dcd = 0;
    std::uint32_t frame = 0, parity = 0, overrun = 0, brk = 0, bufOverrun = 0;
};
// 0, or an errno value (ENOTTY/EINVAL on a device without counters, such as a pseudo-terminal).
int ReadLineCounters(int fd, LineCounters& counters);

// Blocks until one of the modem input lines (CTS, DSR, RLSD, ring) changes: 0 after a change,
// EINTR when a signal interrupted the wait, or another errno value (ENOTTY/EINVAL on a device
// that cannot wait so, ENOTSUP off Linux).
int WaitModemChange(int fd);

// Whether fd is the device side of a pseudo-terminal.
bool IsPseudoTerminal(int fd);
// Whether a descriptor of some process names the device (a holder that took no lock), as far as
// the system lets this process see other processes' descriptors; false where it cannot look.
bool OpenElsewhere(const std::string& devicePath);
// Every other process that holds the device open, as far as OpenElsewhere can see; empty where it
// cannot look.
std::vector<long> ProcessesHolding(const std::string& devicePath);
// A process's command name ("minicom"); empty where the system does not tell.
std::string ProcessName(long pid);

// Asks the driver to pass received bytes on at once instead of collecting them for a while
// (ASYNC_LOW_LATENCY: an FTDI adapter's latency timer goes from 16 ms to 1 ms); 0 or an errno
// value (ENOTTY, EINVAL, EPERM where the driver does not take it, ENOTSUP off Linux).
int SetLowLatency(int fd);

} // namespace serial::backend::posix
