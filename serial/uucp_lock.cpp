#include "serial/uucp_lock.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace serial::backend::posix {

namespace {

// The holder's process id: ten ASCII characters (HDB), or a binary int (the older form).
// 0 when the file says nothing usable.
long LockHolder(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return errno == ENOENT ? -1 : 0;
    char text[32] = {};
    ssize_t n = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (n <= 0)
        return 0;
    if (n == static_cast<ssize_t>(sizeof(int))) {
        int binary = 0;
        std::memcpy(&binary, text, sizeof binary);
        if (binary > 0 && std::strchr(text, '\n') == nullptr)
            return binary;
    }
    char* end = nullptr;
    long pid = std::strtol(text, &end, 10);
    return end != text && pid > 0 ? pid : 0;
}

bool ProcessAlive(long pid) {
    // EPERM: it exists, only under another user.
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

} // namespace

std::string LockFolder() {
    const char* folder = std::getenv("LIRAT5_LOCK_DIR");
    return folder && *folder ? folder : "/var/lock";
}

std::string LockFileName(const std::string& devicePath) {
    std::string name = devicePath;
    if (name.rfind("/dev/", 0) == 0)
        name.erase(0, 5);
    else if (auto slash = name.find_last_of('/'); slash != std::string::npos)
        name.erase(0, slash + 1);
    for (char& ch : name)
        if (ch == '/')
            ch = '_';
    return "LCK.." + name;
}

int TakeDeviceLock(const std::string& devicePath, std::string& lockPath) {
    lockPath.clear();
    const std::string path = LockFolder() + "/" + LockFileName(devicePath);
    char text[16];
    std::snprintf(text, sizeof text, "%10ld\n", static_cast<long>(::getpid()));
    // Twice at most: the second time after a stale lock has been removed.
    for (int attempt = 0; attempt < 2; ++attempt) {
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd >= 0) {
            // Other programs read the file to learn the holder; 0644 whatever the umask says.
            ::fchmod(fd, 0644);
            bool written = ::write(fd, text, 11) == 11;
            ::close(fd);
            if (!written) {
                ::unlink(path.c_str());
                return 0; // a full disk: no lock, as for a folder that cannot be written
            }
            lockPath = path;
            return 0;
        }
        if (errno != EEXIST)
            return 0; // no folder, or not ours to write: the device stays usable unlocked
        long holder = LockHolder(path);
        if (holder < 0)
            continue; // removed meanwhile
        if (holder > 0 && ProcessAlive(holder))
            return EBUSY;
        // Stale (its process has ended) or unreadable garbage: taken over.
        if (::unlink(path.c_str()) != 0 && errno != ENOENT)
            return 0; // a folder we may not write: the device stays usable unlocked
    }
    return EBUSY;
}

void ReleaseDeviceLock(const std::string& lockPath) {
    if (!lockPath.empty())
        ::unlink(lockPath.c_str());
}

long DeviceLockHolder(const std::string& devicePath) {
    long holder = LockHolder(LockFolder() + "/" + LockFileName(devicePath));
    return holder > 0 && ProcessAlive(holder) ? holder : 0;
}

} // namespace serial::backend::posix
