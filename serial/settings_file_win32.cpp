#include "serial/settings_file_io.h"

#include "serial/utf8_win32.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <windows.h>

namespace serial::detail {

namespace {

std::atomic<unsigned> temporaryCounter{0};

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() {
        if (Valid()) {
            ::CloseHandle(handle_);
        }
    }
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }
    bool Close() {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return ::CloseHandle(handle) != 0;
    }

private:
    HANDLE handle_;
};

bool WriteAll(HANDLE file, std::string_view contents) {
    return WriteToEnd(
        contents,
        [file](const char* data, std::size_t size) -> std::optional<std::size_t> {
            DWORD written = 0;
            if (!::WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr)) {
                return std::nullopt;
            }
            return written;
        },
        [] { ::SetLastError(ERROR_DISK_FULL); });
}

} // namespace

FileReadResult ReadWholeFile(const std::string& path, std::size_t maxSize) {
    FileReadResult result;
    FileHandle file(::CreateFileW(WidenUtf8(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        const DWORD error = ::GetLastError();
        result.status = (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
                            ? FileReadStatus::Missing
                            : FileReadStatus::Unreadable;
        return result;
    }
    result.status = FileReadStatus::Unreadable;
    LARGE_INTEGER size{};
    if (::GetFileType(file.Get()) != FILE_TYPE_DISK || !::GetFileSizeEx(file.Get(), &size) ||
        size.QuadPart < 0 || static_cast<unsigned long long>(size.QuadPart) > maxSize) {
        return result;
    }
    return ReadToEnd(
        [&file](char* buffer, std::size_t size) -> std::optional<std::size_t> {
            DWORD count = 0;
            if (!::ReadFile(file.Get(), buffer, static_cast<DWORD>(size), &count, nullptr)) {
                return std::nullopt;
            }
            return count;
        },
        maxSize);
}

namespace {

// Writes `contents` into a new file named by `nameOf` (tried with new numbers while the name is
// taken), flushed to the disk and closed; `temporary` is its name.
bool WriteTemporary(const std::function<std::wstring(unsigned)>& nameOf, std::string_view contents,
                    std::wstring& temporary) {
    HANDLE handle = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && handle == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = nameOf(temporaryCounter.fetch_add(1));
        handle = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) {
            return false;
        }
    }
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    FileHandle file(handle);
    if (WriteAll(file.Get(), contents) && ::FlushFileBuffers(file.Get()) && file.Close()) {
        return true;
    }
    const DWORD error = ::GetLastError();
    if (file.Valid()) {
        file.Close();
    }
    ::DeleteFileW(temporary.c_str());
    ::SetLastError(error);
    return false;
}

// Moves the finished temporary file to `target`; removes it and keeps the move's error code
// when that fails.
bool MoveInPlace(const std::wstring& temporary, const std::wstring& target, DWORD flags) {
    if (::MoveFileExW(temporary.c_str(), target.c_str(), flags | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    const DWORD error = ::GetLastError();
    ::DeleteFileW(temporary.c_str());
    ::SetLastError(error);
    return false;
}

std::wstring FolderOf(const std::wstring& path) {
    const std::size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? std::wstring(L".") : path.substr(0, separator);
}

} // namespace

bool ReplaceFileContents(const std::string& path, std::string_view contents) {
    // A read-only file is refused before anything is written; the replace would refuse it too,
    // but not on every file system.
    const std::wstring target = WidenUtf8(path);
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    const auto nameOf = [&](unsigned n) {
        return target + L".~" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
               std::to_wstring(n) + L".tmp";
    };
    std::wstring temporary;
    return WriteTemporary(nameOf, contents, temporary) &&
           MoveInPlace(temporary, target, MOVEFILE_REPLACE_EXISTING);
}

bool CreateFileContents(const std::string& path, std::string_view contents) {
    const std::wstring target = WidenUtf8(path);
    const std::wstring folder = FolderOf(target);
    const auto nameOf = [&](unsigned n) {
        return folder + L"\\.~" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
               std::to_wstring(n) + L".tmp";
    };
    std::wstring temporary;
    // Without MOVEFILE_REPLACE_EXISTING the move fails with ERROR_ALREADY_EXISTS when the name
    // is taken, in one step.
    return WriteTemporary(nameOf, contents, temporary) && MoveInPlace(temporary, target, 0);
}

std::string_view NativeLineEnding() {
    return "\r\n";
}

std::string NativePathText(std::string_view path) {
    // Both separators work in the file calls, but a user reads a path in Windows' own form.
    std::string text(path);
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

} // namespace serial::detail
