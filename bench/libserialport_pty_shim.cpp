// libserialport refuses a pseudo-terminal in two places that real serial hardware passes:
// looking the port up wants a /sys/class/tty entry for it, and opening it wants the modem lines
// (TIOCMGET), which a pseudo-terminal does not have. This benchmark program defines the three
// functions involved, so that the library sees a pseudo-terminal as a native UART with every
// modem line off. Nothing on the transfer path changes: reads, writes and waits are untouched,
// and ioctl is the plain system call for everyone else.
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

constexpr char kPtsClass[] = "/sys/class/tty/pts/";
// Any native UART's entry will do: libserialport only learns from it that the port is native.
constexpr char kNativeClass[] = "/sys/class/tty/ttyS0";

// Rewrites /sys/class/tty/pts/<n>[/rest] to the native entry; other paths stay.
const char* SysfsPath(const char* path, char* buffer, std::size_t size) {
    std::size_t prefix = sizeof kPtsClass - 1;
    if (std::strncmp(path, kPtsClass, prefix) != 0)
        return path;
    const char* rest = path + prefix;
    while (*rest >= '0' && *rest <= '9')
        ++rest;
    std::snprintf(buffer, size, "%s%s", kNativeClass, rest);
    return buffer;
}

bool CalledFromLibserialport(void* returnAddress) {
    Dl_info info{};
    return ::dladdr(returnAddress, &info) != 0 && info.dli_fname &&
           std::strstr(info.dli_fname, "libserialport") != nullptr;
}

} // namespace

extern "C" {

// The old stat entry point that libserialport's build still calls for lstat().
int __lxstat(int, const char* path, struct stat* st) noexcept {
    char buffer[512];
    return ::lstat(SysfsPath(path, buffer, sizeof buffer), st);
}

ssize_t readlink(const char* path, char* out, size_t size) noexcept {
    char buffer[512];
    return ::readlinkat(AT_FDCWD, SysfsPath(path, buffer, sizeof buffer), out, size);
}

int ioctl(int fd, unsigned long request, ...) noexcept {
    va_list args;
    va_start(args, request);
    void* argument = va_arg(args, void*);
    va_end(args);
    long result = ::syscall(SYS_ioctl, fd, request, argument);
    if (result < 0 && errno == ENOTTY &&
        (request == TIOCMGET || request == TIOCMSET || request == TIOCMBIS ||
         request == TIOCMBIC) &&
        CalledFromLibserialport(__builtin_return_address(0))) {
        if (request == TIOCMGET)
            *static_cast<int*>(argument) = 0;
        return 0;
    }
    return static_cast<int>(result);
}

} // extern "C"
