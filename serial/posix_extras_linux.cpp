// Linux: termios2 for arbitrary rates, TIOCGICOUNT for the line-event counters and TIOCMIWAIT
// for the modem-line wait. This file must not include <termios.h>: its struct termios clashes
// with the kernel's in asm/termbits.h.
#include "serial/posix_extras.h"

#include <asm/termbits.h>
#include <cerrno>
#include <linux/serial.h>
#include <sys/ioctl.h>

namespace serial::backend::posix {

int SetArbitraryBaud(int fd, std::uint32_t rate) {
    struct termios2 tio {};
    if (::ioctl(fd, TCGETS2, &tio) != 0)
        return errno;
    tio.c_cflag &= ~static_cast<tcflag_t>(CBAUD | (CBAUD << IBSHIFT));
    tio.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    tio.c_ispeed = rate;
    tio.c_ospeed = rate;
    if (::ioctl(fd, TCSETS2, &tio) != 0)
        return errno;
    return 0;
}

int ReadActualBaud(int fd, std::uint32_t& rate) {
    struct termios2 tio {};
    if (::ioctl(fd, TCGETS2, &tio) != 0)
        return errno;
    rate = tio.c_ospeed;
    return 0;
}

int ReadLineCounters(int fd, LineCounters& counters) {
    struct serial_icounter_struct ic {};
    if (::ioctl(fd, TIOCGICOUNT, &ic) != 0)
        return errno;
    counters.cts = static_cast<std::uint32_t>(ic.cts);
    counters.dsr = static_cast<std::uint32_t>(ic.dsr);
    counters.rng = static_cast<std::uint32_t>(ic.rng);
    counters.dcd = static_cast<std::uint32_t>(ic.dcd);
    counters.frame = static_cast<std::uint32_t>(ic.frame);
    counters.parity = static_cast<std::uint32_t>(ic.parity);
    counters.overrun = static_cast<std::uint32_t>(ic.overrun);
    counters.brk = static_cast<std::uint32_t>(ic.brk);
    counters.bufOverrun = static_cast<std::uint32_t>(ic.buf_overrun);
    return 0;
}

int WaitModemChange(int fd) {
    if (::ioctl(fd, TIOCMIWAIT, TIOCM_RNG | TIOCM_DSR | TIOCM_CD | TIOCM_CTS) != 0)
        return errno;
    return 0;
}

} // namespace serial::backend::posix
