#pragma once

#include <cstddef>
#include <functional>
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

// The portable halves of the platform files' reading and writing. The platform gives one call
// that moves at most `size` bytes and tells how many it moved, or nothing when it failed (its
// error code left where the platform keeps it); these go round it in chunks.
using ReadSome = std::function<std::optional<std::size_t>(char* buffer, std::size_t size)>;
using WriteSome = std::function<std::optional<std::size_t>(const char* data, std::size_t size)>;

// Reads until a read gives 0 bytes. Unreadable when a read fails or more than `maxSize` bytes
// arrive (the file may have grown since its size was checked).
FileReadResult ReadToEnd(const ReadSome& readSome, std::size_t maxSize);
// Writes all of `contents`; false when a write fails or moves nothing, or when the injected
// write limit stops it, which calls `diskFull` to leave the platform's error for a full disk.
bool WriteToEnd(std::string_view contents, const WriteSome& writeSome, void (*diskFull)());

} // namespace serial::detail
