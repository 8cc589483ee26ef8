#include "cli/file_access.h"

#include "serial/utf8_win32.h"

#include <atomic>
#include <windows.h>

namespace cli {
namespace {

std::atomic<unsigned> probeCounter{0};
constexpr const char* NotAFolder = "это не папка";

HANDLE HandleOf(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

// Makes `folder` and the folders above it that are missing.
bool MakeFolders(const std::wstring& folder) {
    // A drive's root refuses CreateDirectory with "access denied" although it is there.
    const DWORD attributes = ::GetFileAttributesW(folder.c_str());
    if (folder.empty() ||
        (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) ||
        ::CreateDirectoryW(folder.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS) {
        return true;
    }
    if (::GetLastError() != ERROR_PATH_NOT_FOUND) {
        return false;
    }
    const std::size_t separator = folder.find_last_of(L"\\/");
    if (separator == std::wstring::npos || separator == 0 ||
        !MakeFolders(folder.substr(0, separator))) {
        return false;
    }
    return ::CreateDirectoryW(folder.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS;
}

} // namespace

PathKind KindOfPath(const std::string& path) {
    const std::wstring wide = serial::detail::WidenUtf8(path);
    // Names such as NUL, CON or COM1 open devices in every folder; only a handle tells.
    const HANDLE handle =
        ::CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        // Something that exists but cannot be opened (no rights, in use) is told apart by its
        // attributes; the write that follows will say what is wrong with it.
        const DWORD attributes = ::GetFileAttributesW(wide.c_str());
        return attributes == INVALID_FILE_ATTRIBUTES          ? PathKind::Missing
               : (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::Folder
                                                              : PathKind::File;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const DWORD type = ::GetFileType(handle);
    const bool folder = ::GetFileInformationByHandle(handle, &info) &&
                        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    ::CloseHandle(handle);
    return type != FILE_TYPE_DISK ? PathKind::Device : folder ? PathKind::Folder : PathKind::File;
}

std::optional<std::string> PrepareFolder(const std::string& folder) {
    const PathKind kind = KindOfPath(folder);
    if (kind == PathKind::File || kind == PathKind::Device) {
        return NotAFolder;
    }
    const std::wstring wide = serial::detail::WidenUtf8(folder);
    if (!MakeFolders(wide)) {
        return LastErrorReason();
    }
    const std::wstring probe = wide + L"\\.~lirat5-" + std::to_wstring(::GetCurrentProcessId()) +
                               L"-" + std::to_wstring(probeCounter.fetch_add(1)) + L".probe";
    const HANDLE handle =
        ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return LastErrorReason();
    }
    ::CloseHandle(handle);
    return std::nullopt;
}

std::optional<std::string> WritableFileProblem(const std::string& path) {
    const HANDLE handle = ::CreateFileW(serial::detail::WidenUtf8(path).c_str(), FILE_APPEND_DATA,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return LastErrorReason();
    }
    ::CloseHandle(handle);
    return std::nullopt;
}

std::string LastErrorReason() {
    const DWORD error = ::GetLastError();
    switch (error) {
    case ERROR_ACCESS_DENIED:
        return "нет прав доступа";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return "нет места на диске";
    case ERROR_WRITE_PROTECT:
        return "носитель только для чтения";
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return "нет такого файла или папки";
    case ERROR_DIRECTORY:
        return "часть пути не является папкой";
    case ERROR_FILENAME_EXCED_RANGE:
        return "слишком длинное имя";
    case ERROR_INVALID_NAME:
        return "недопустимое имя";
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return "такое имя уже занято";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return "файл занят другой программой";
    case ERROR_INVALID_FUNCTION:
    case ERROR_INVALID_PARAMETER:
        return "это не обычный файл";
    default:
        return "системная ошибка " + std::to_string(error);
    }
}

bool LastErrorWasNameTaken() {
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
}

std::size_t NameUnits(std::string_view utf8) {
    return serial::detail::WidenUtf8(utf8).size();
}

AppendFile::AppendFile(const std::string& path)
    : handle_(reinterpret_cast<std::intptr_t>(
          ::CreateFileW(serial::detail::WidenUtf8(path).c_str(), FILE_APPEND_DATA,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr))) {
    if (HandleOf(handle_) == INVALID_HANDLE_VALUE) {
        problem_ = LastErrorReason();
    } else if (::GetFileType(HandleOf(handle_)) != FILE_TYPE_DISK) {
        problem_ = "это не обычный файл";
    }
}

AppendFile::~AppendFile() {
    if (HandleOf(handle_) != INVALID_HANDLE_VALUE) {
        ::CloseHandle(HandleOf(handle_));
    }
}

bool AppendFile::Append(std::string_view text) {
    while (!problem_ && !text.empty()) {
        DWORD written = 0;
        if (!::WriteFile(HandleOf(handle_), text.data(), static_cast<DWORD>(text.size()), &written,
                         nullptr) ||
            written == 0) {
            problem_ = LastErrorReason();
            break;
        }
        text.remove_prefix(written);
    }
    return !problem_;
}

} // namespace cli
