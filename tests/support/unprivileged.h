#pragma once
// Runs a piece of a test as a user without privileges. Root ignores file permissions, so a test
// of a read-only file or folder proves nothing when it runs as root: there the body runs in a
// child process that has given up every capability (on Linux; root then obeys the permission
// bits of its own files like any owner, and can still reach every folder root can), or else has
// become the "nobody" user and group. Run by another user, the body runs in the test's own
// process. The body's result travels back as a text, which the
// caller checks in its own process, where the test framework can see the failure. POSIX only.

#include <cerrno>
#include <cstring>
#include <functional>
#include <grp.h>
#ifdef __linux__
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#endif
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

constexpr uid_t kNobody = 65534;

// Clears the effective, permitted and inheritable capabilities of the calling process.
inline bool DropCapabilities() {
#ifdef __linux__
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    return ::syscall(SYS_capset, &header, data) == 0;
#else
    return false;
#endif
}

// Gives up every capability for good, also for the programs the process starts: a program that
// root starts would otherwise get them all back at exec. Root then obeys the permission bits of
// its own files like any owner.
inline bool DropCapabilitiesAcrossExec() {
#ifdef __linux__
    for (int capability = 0; capability <= CAP_LAST_CAP; ++capability) {
        if (::prctl(PR_CAPBSET_DROP, capability, 0, 0, 0) != 0 && errno != EINVAL) {
            return false;
        }
    }
    return DropCapabilities();
#else
    return false;
#endif
}

inline std::string AsUnprivilegedUser(const std::function<std::string()>& body) {
    if (::geteuid() != 0) {
        return body();
    }
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) {
        return std::string("pipe failed: ") + std::strerror(errno);
    }
    const pid_t child = ::fork();
    if (child < 0) {
        return std::string("fork failed: ") + std::strerror(errno);
    }
    if (child == 0) {
        ::close(pipeEnds[0]);
        std::string result;
        if (!DropCapabilities() &&
            (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
            result = std::string("could not give up root: ") + std::strerror(errno);
        } else {
            try {
                result = body();
            } catch (const std::exception& error) {
                result = std::string("exception: ") + error.what();
            }
        }
        const char* data = result.data();
        std::size_t left = result.size();
        while (left > 0) {
            const ssize_t written = ::write(pipeEnds[1], data, left);
            if (written <= 0) {
                break;
            }
            data += written;
            left -= static_cast<std::size_t>(written);
        }
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    std::string result;
    char buffer[512];
    ssize_t got = 0;
    while ((got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR)) {
        if (got > 0) {
            result.append(buffer, static_cast<std::size_t>(got));
        }
    }
    ::close(pipeEnds[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return "child ended abnormally: " + std::to_string(status) + "; " + result;
    }
    return result;
}

} // namespace testing_support
