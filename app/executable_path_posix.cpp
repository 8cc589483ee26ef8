#include "app/executable_path_posix.h"
#include "app/executable_path.h"

#include <cstdlib>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace app {

namespace detail {

namespace {

// Far beyond any real path; only guards the loop against a link that keeps growing.
constexpr std::size_t kMaxLinkLength = 1024 * 1024;

std::string ReadLink(const std::string& link) {
    std::string target(256, '\0');
    for (;;) {
        const ssize_t length = ::readlink(link.c_str(), target.data(), target.size());
        if (length < 0) {
            return {};
        }
        // A result that fills the buffer may have been cut short: try again with more room.
        if (static_cast<std::size_t>(length) < target.size()) {
            target.resize(static_cast<std::size_t>(length));
            return target;
        }
        if (target.size() >= kMaxLinkLength) {
            return {};
        }
        target.resize(target.size() * 2);
    }
}

std::string RealPath(const std::string& path) {
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                               &std::free);
    return resolved ? std::string(resolved.get()) : std::string();
}

bool IsExecutableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

std::string SearchFolders(std::string_view name, std::string_view searchPath) {
    for (;;) {
        const std::size_t colon = searchPath.find(':');
        const std::string_view folder = searchPath.substr(0, colon);
        const std::string candidate =
            (folder.empty() ? std::string(".") : std::string(folder)) + "/" + std::string(name);
        if (IsExecutableFile(candidate)) {
            return RealPath(candidate);
        }
        if (colon == std::string_view::npos) {
            return {};
        }
        searchPath.remove_prefix(colon + 1);
    }
}

} // namespace

std::string ResolveExecutablePath(const std::string& selfLink, std::string_view invokedAs,
                                  std::string_view searchPath) {
    if (std::string target = ReadLink(selfLink); !target.empty()) {
        return target;
    }
    if (invokedAs.empty()) {
        return {};
    }
    if (invokedAs.find('/') != std::string_view::npos) {
        const std::string path(invokedAs);
        return IsExecutableFile(path) ? RealPath(path) : std::string();
    }
    return SearchFolders(invokedAs, searchPath);
}

} // namespace detail

std::string ExecutablePath(std::string_view invokedAs) {
    const char* searchPath = std::getenv("PATH");
    return detail::ResolveExecutablePath("/proc/self/exe", invokedAs, searchPath ? searchPath : "");
}

} // namespace app
