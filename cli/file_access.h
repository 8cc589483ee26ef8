#pragma once
// The platform's side of the files lirat5-cli writes for the user (records, CSV, HTML, logs,
// profiles): what a path names, whether a folder takes new files, appending, and the reason of
// a failure in Russian words the technician can act on ("нет места на диске"). One
// implementation per platform (file_access_posix.cpp, file_access_win32.cpp), chosen by the
// build. Paths are UTF-8.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace cli {

enum class PathKind {
    Missing, // nothing there (or a folder above it is missing)
    File,    // a regular file, also through a symbolic link
    Folder,
    Device, // anything else: a device, a pipe, a socket; never ours to write over
};

PathKind KindOfPath(const std::string& path);

// Makes the folder and those above it when missing, and checks that a new file can be made in
// it by making and removing one (as root, or on a read-only medium, the permission bits alone
// would not tell). The reason when it cannot.
std::optional<std::string> PrepareFolder(const std::string& folder);

// Whether an existing regular file may be written, found by opening it for writing without
// changing it. The reason when not.
std::optional<std::string> WritableFileProblem(const std::string& path);

// The reason of the last failed file operation of this thread (errno or GetLastError).
std::string LastErrorReason();
// Whether that failure was a name already taken.
bool LastErrorWasNameTaken();

// The length of a file name as the file system counts it against MaxNameUnits: bytes of UTF-8
// on POSIX systems, UTF-16 units on Windows.
std::size_t NameUnits(std::string_view utf8);
inline constexpr std::size_t MaxNameUnits = 255;

// A file that lines are appended to, each in one write, as they come (the exchange log, the
// CSV series), so that whatever has been written stays when the program is stopped.
class AppendFile {
public:
    // Opens the file for appending, creating it when missing; Problem() tells why not.
    explicit AppendFile(const std::string& path);
    ~AppendFile();
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    // The reason of the first failure, at opening or at any write; writes after it do nothing.
    const std::optional<std::string>& Problem() const { return problem_; }
    bool Append(std::string_view text);

private:
    std::intptr_t handle_; // a descriptor or a HANDLE, by platform
    std::optional<std::string> problem_;
};

} // namespace cli
