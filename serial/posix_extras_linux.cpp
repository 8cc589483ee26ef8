// Linux: termios2 for arbitrary rates, TIOCGICOUNT for the line-event counters, TIOCMIWAIT
// for the modem-line wait, the device numbers of pseudo-terminals, /proc for the other
// processes that hold a device open, and TIOCSSERIAL for the low-latency switch. This file must not
// include <termios.h>: its struct termios clashes with the kernel's in asm/termbits.h.
#include "serial/posix_extras.h"

#include <asm/termbits.h>
#include <cerrno>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

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

bool IsPseudoTerminal(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode))
        return false;
    // UNIX98_PTY_SLAVE_MAJOR and the seven majors after it.
    unsigned int major = ::major(st.st_rdev);
    return major >= 136 && major <= 143;
}

namespace {

bool AllDigits(const char* text) {
    if (!*text)
        return false;
    for (; *text; ++text)
        if (*text < '0' || *text > '9')
            return false;
    return true;
}

// Whether one of the process's descriptors is a link to path.
bool ProcessHolds(const char* pid, const char* path, std::size_t pathLength) {
    std::string folder = std::string("/proc/") + pid + "/fd";
    DIR* fds = ::opendir(folder.c_str()); // another user's descriptors stay hidden
    if (!fds)
        return false;
    bool found = false;
    char target[4096];
    while (dirent* entry = ::readdir(fds)) {
        if (!AllDigits(entry->d_name))
            continue;
        ssize_t n = ::readlinkat(::dirfd(fds), entry->d_name, target, sizeof target);
        if (n == static_cast<ssize_t>(pathLength) && std::memcmp(target, path, pathLength) == 0) {
            found = true;
            break;
        }
    }
    ::closedir(fds);
    return found;
}

// Visits the other processes that hold the device until visit returns false.
template <class Visit> void ForEachHolder(const std::string& devicePath, Visit visit) {
    char* real = ::realpath(devicePath.c_str(), nullptr);
    if (!real)
        return;
    std::string path = real;
    std::free(real);
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return;
    const std::string self = std::to_string(::getpid());
    while (dirent* entry = ::readdir(proc)) {
        if (!AllDigits(entry->d_name) || self == entry->d_name)
            continue;
        if (ProcessHolds(entry->d_name, path.c_str(), path.size()) &&
            !visit(std::strtol(entry->d_name, nullptr, 10)))
            break;
    }
    ::closedir(proc);
}

} // namespace

bool OpenElsewhere(const std::string& devicePath) {
    bool found = false;
    ForEachHolder(devicePath, [&found](long) {
        found = true;
        return false;
    });
    return found;
}

std::vector<long> ProcessesHolding(const std::string& devicePath) {
    std::vector<long> pids;
    ForEachHolder(devicePath, [&pids](long pid) {
        pids.push_back(pid);
        return true;
    });
    return pids;
}

std::string ProcessName(long pid) {
    // comm is readable for every process, also another user's.
    const std::string file = "/proc/" + std::to_string(pid) + "/comm";
    int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    char name[64] = {};
    ssize_t n = ::read(fd, name, sizeof name - 1);
    ::close(fd);
    std::string result(name, n > 0 ? static_cast<std::size_t>(n) : 0);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\0'))
        result.pop_back();
    return result;
}

int SetLowLatency(int fd) {
    struct serial_struct info {};
    if (::ioctl(fd, TIOCGSERIAL, &info) != 0)
        return errno;
    if (info.flags & ASYNC_LOW_LATENCY)
        return 0;
    info.flags |= ASYNC_LOW_LATENCY;
    return ::ioctl(fd, TIOCSSERIAL, &info) == 0 ? 0 : errno;
}

} // namespace serial::backend::posix
