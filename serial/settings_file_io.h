#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The few file operations that the settings file needs from the platform; one implementation
// per platform (settings_file_posix.cpp, settings_file_win32.cpp), chosen by the build.
namespace serial::detail {

enum class FileReadStatus {
    Read,      // the whole file is in `contents`
    Missing,   // no file at that path (nor the folders leading to it)
    Unreadable // it exists but could not be read in full, or is larger than allowed
};

struct FileReadResult {
    FileReadStatus status = FileReadStatus::Missing;
    std::string contents;
};

// Reads the whole file, refusing one larger than `maxSize` bytes.
FileReadResult ReadWholeFile(const std::string& path, std::size_t maxSize);

// Writes `contents` into a new file beside `path`, flushes it to the disk and then puts it in
// place of `path` in one step. On any failure the new file is removed, `path` is left as it
// was, and the result is false. Only a regular file is replaced: a device, a pipe or a folder
// at `path` is refused (replacing /dev/null would take the device away from the system). The
// system's error code of a failure is left for the caller (errno, GetLastError).
bool ReplaceFileContents(const std::string& path, std::string_view contents);

// The same for a file that must not exist yet: the complete file appears at `path` only if
// nothing is there, in one step that no other writer can slip into (a hard link on POSIX, a
// move without replacing on Windows), so two writers never share one name. False when `path`
// exists (the error code is then EEXIST or ERROR_ALREADY_EXISTS) or anything fails; `path` is
// never touched then. The new file is written under a short temporary name in the same folder,
// so a name just below the file system's limit still works.
bool CreateFileContents(const std::string& path, std::string_view contents);

// The line ending of a file that this platform's editors would write.
std::string_view NativeLineEnding();

// `path` as this platform's own tools show it to a user (on Windows with "\" separators).
std::string NativePathText(std::string_view path);

// Failure injection for tests: while set, writing the new file fails (as on a full disk) as
// soon as it would go past this many bytes. Not for use outside tests.
void SetWriteLimitForTesting(std::optional<std::size_t> bytes);

// How many of `length` bytes at `offset` the platform writers may put into the new file
// before the injected limit stops them.
std::size_t WritableBytes(std::size_t offset, std::size_t length);

} // namespace serial::detail
