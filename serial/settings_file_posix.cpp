#include "serial/settings_file_io.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace serial::detail {

namespace {

std::atomic<unsigned> temporaryCounter{0};

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int Get() const { return fd_; }
    // Closes now and tells whether the close succeeded: on some file systems a failed write
    // is only reported here.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Writing through a symbolic link replaces the file it points to, not the link itself.
std::string ResolveTarget(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(path.c_str(), resolved) != nullptr) {
            return resolved;
        }
    }
    return path;
}

// The bytes a read or write moved; a call that a signal interrupted is made again.
template <typename Call> std::optional<std::size_t> Retrying(const Call& call) {
    for (;;) {
        const ssize_t count = call();
        if (count >= 0) {
            return static_cast<std::size_t>(count);
        }
        if (errno != EINTR) {
            return std::nullopt;
        }
    }
}

bool WriteAll(int fd, std::string_view contents) {
    return WriteToEnd(
        contents,
        [fd](const char* data, std::size_t size) {
            return Retrying([&] { return ::write(fd, data, size); });
        },
        [] { errno = ENOSPC; });
}

// Removes a file of ours after a failure without losing the failure's error code.
void RemoveKeepingError(const std::string& path) {
    const int error = errno;
    ::unlink(path.c_str());
    errno = error;
}

} // namespace

FileReadResult ReadWholeFile(const std::string& path, std::size_t maxSize) {
    FileReadResult result;
    // Without O_NONBLOCK a named pipe in the file's place would block here until some writer
    // opened it; the check below refuses anything that is not a plain file anyway.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.Get() < 0) {
        result.status = (errno == ENOENT || errno == ENOTDIR) ? FileReadStatus::Missing
                                                              : FileReadStatus::Unreadable;
        return result;
    }
    result.status = FileReadStatus::Unreadable;
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        static_cast<std::size_t>(info.st_size) > maxSize) {
        return result;
    }
    return ReadToEnd(
        [&fd](char* buffer, std::size_t size) {
            return Retrying([&] { return ::read(fd.Get(), buffer, size); });
        },
        maxSize);
}

namespace {

// Writes `contents` into a new file named by `nameOf` (tried with new numbers while the name is
// taken), flushed to the disk and closed; `temporary` is its name. `mode` is the new file's
// permission bits, or nothing for the usual 0666 less the umask.
bool WriteTemporary(const std::function<std::string(unsigned)>& nameOf, std::string_view contents,
                    std::optional<mode_t> mode, std::string& temporary) {
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = nameOf(temporaryCounter.fetch_add(1));
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            return false;
        }
    }
    if (fd < 0) {
        return false;
    }
    FileDescriptor file(fd);
    if ((!mode || ::fchmod(fd, *mode) == 0) && WriteAll(fd, contents) && ::fsync(fd) == 0 &&
        file.Close()) {
        return true;
    }
    RemoveKeepingError(temporary);
    return false;
}

// Makes a finished rename or link durable; the file is already complete either way, so a
// failure here changes nothing that a reader could see.
void SyncFolderOf(const std::string& path) {
    FileDescriptor folder(::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() >= 0) {
        ::fsync(folder.Get());
    }
}

} // namespace

bool ReplaceFileContents(const std::string& path, std::string_view contents) {
    const std::string target = ResolveTarget(path);
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    // rename() would put a file in place of a device node or a pipe as readily as in place of a
    // file; only a regular file is ours to replace.
    if (exists && !S_ISREG(old.st_mode)) {
        errno = S_ISDIR(old.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    // Replacing the file needs only a writable folder; a file its owner made read-only is
    // refused all the same, as writing it in place would be.
    if (exists && ::access(target.c_str(), W_OK) != 0) {
        return false;
    }
    // The new file takes the old one's permissions; a first file gets the usual 0666 less the
    // process's umask from open().
    const auto nameOf = [&](unsigned n) {
        return target + ".~" + std::to_string(::getpid()) + "-" + std::to_string(n) + ".tmp";
    };
    std::string temporary;
    if (!WriteTemporary(nameOf, contents,
                        exists ? std::optional<mode_t>(old.st_mode & 07777) : std::nullopt,
                        temporary)) {
        return false;
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        RemoveKeepingError(temporary);
        return false;
    }
    SyncFolderOf(target);
    return true;
}

bool CreateFileContents(const std::string& path, std::string_view contents) {
    const std::string folder = FolderOf(path);
    const auto nameOf = [&](unsigned n) {
        return folder + "/.~" + std::to_string(::getpid()) + "-" + std::to_string(n) + ".tmp";
    };
    std::string temporary;
    if (!WriteTemporary(nameOf, contents, std::nullopt, temporary)) {
        return false;
    }
    // link() never replaces: it fails with EEXIST when the name is taken, in one step.
    bool placed = ::link(temporary.c_str(), path.c_str()) == 0;
    if (!placed && errno != EEXIST) {
        // A file system without hard links (FAT on a memory stick): the name is claimed with
        // O_EXCL first, and the complete file then replaces that empty claim of ours.
        const int claim = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (claim >= 0) {
            ::close(claim);
            placed = ::rename(temporary.c_str(), path.c_str()) == 0;
            if (!placed) {
                RemoveKeepingError(path);
            }
        }
    }
    RemoveKeepingError(temporary);
    if (placed) {
        SyncFolderOf(path);
    }
    return placed;
}

std::string_view NativeLineEnding() {
    return "\n";
}

std::string NativePathText(std::string_view path) {
    return std::string(path);
}

} // namespace serial::detail
