#include "cli/file_access.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace cli {
namespace {

std::atomic<unsigned> probeCounter{0};
constexpr const char* NotAFolder = "это не папка";

} // namespace

PathKind KindOfPath(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return PathKind::Missing;
    }
    return S_ISREG(info.st_mode)   ? PathKind::File
           : S_ISDIR(info.st_mode) ? PathKind::Folder
                                   : PathKind::Device;
}

std::optional<std::string> PrepareFolder(const std::string& folder) {
    const PathKind kind = KindOfPath(folder);
    if (kind == PathKind::File || kind == PathKind::Device) {
        return NotAFolder;
    }
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(folder), error);
    if (error) {
        errno = error.value();
        return LastErrorReason();
    }
    const std::string probe = folder + "/.~lirat5-" + std::to_string(::getpid()) + "-" +
                              std::to_string(probeCounter.fetch_add(1)) + ".probe";
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        return LastErrorReason();
    }
    ::close(fd);
    ::unlink(probe.c_str());
    return std::nullopt;
}

std::optional<std::string> WritableFileProblem(const std::string& path) {
    // O_NONBLOCK: a pipe put in the file's place since it was looked at must not hang the
    // check; without O_TRUNC nothing of the file changes.
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return LastErrorReason();
    }
    ::close(fd);
    return std::nullopt;
}

std::string LastErrorReason() {
    switch (errno) {
    case EACCES:
    case EPERM:
        return "нет прав доступа";
    case ENOSPC:
    case EDQUOT:
        return "нет места на диске";
    case EROFS:
        return "носитель только для чтения";
    case ENOENT:
        return "нет такого файла или папки";
    case ENOTDIR:
        return "часть пути не является папкой";
    case EISDIR:
        return "это папка";
    case ENAMETOOLONG:
        return "слишком длинное имя";
    case EEXIST:
        return "такое имя уже занято";
    case EIO:
        return "ошибка ввода-вывода";
    case EFBIG:
        return "файл слишком велик";
    case ENXIO:
    case ENODEV:
    case EINVAL:
        return "это не обычный файл";
    case ELOOP:
        return "замкнутый круг символических ссылок";
    case EMFILE:
    case ENFILE:
        return "открыто слишком много файлов";
    default:
        return "системная ошибка " + std::to_string(errno);
    }
}

bool LastErrorWasNameTaken() {
    return errno == EEXIST;
}

std::size_t NameUnits(std::string_view utf8) {
    return utf8.size();
}

AppendFile::AppendFile(const std::string& path)
    : handle_(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666)) {
    struct stat info {};
    if (handle_ < 0 || ::fstat(static_cast<int>(handle_), &info) != 0) {
        problem_ = LastErrorReason();
    } else if (!S_ISREG(info.st_mode)) {
        problem_ = "это не обычный файл";
    }
}

AppendFile::~AppendFile() {
    if (handle_ >= 0) {
        ::close(static_cast<int>(handle_));
    }
}

bool AppendFile::Append(std::string_view text) {
    while (!problem_ && !text.empty()) {
        const ssize_t written = ::write(static_cast<int>(handle_), text.data(), text.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            errno = written == 0 ? EIO : errno;
            problem_ = LastErrorReason();
            break;
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return !problem_;
}

} // namespace cli
