#include "serial/port_names.h"

#include "serial/com_numbering.h"
#include "serial/device_tree.h"
#include "serial/port_listing.h"
#include "serial/port_table.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <optional>
#include <system_error>

#include <unistd.h>

namespace serial {

namespace fs = std::filesystem;

namespace {

std::mutex& FolderMutex() {
    static std::mutex m;
    return m;
}

std::string& FolderOverride() {
    static std::string folder;
    return folder;
}

std::string Upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool SameName(const std::string& a, const std::string& b) {
    return Upper(a) == Upper(b);
}

std::optional<std::string> TablePath(int number) {
    using backend::posix::kRangeSize;
    for (const backend::posix::TableRange& r : backend::posix::kTable)
        if (number >= r.first && number < r.first + kRangeSize)
            return backend::posix::UnderRoot(std::string(r.prefix) +
                                             std::to_string(number - r.first));
    return std::nullopt;
}

// The entry of the mapping folder whose name matches, without regard to case.
std::optional<fs::path> MappedEntry(const std::string& name) {
    std::error_code ec;
    fs::path folder = PortMappingFolder();
    fs::path exact = folder / name;
    if (fs::is_symlink(fs::symlink_status(exact, ec)) || fs::exists(exact, ec))
        return exact;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (SameName(it->path().filename().string(), name))
            return it->path();
    return std::nullopt;
}

} // namespace

std::string PortMappingFolder() {
    {
        std::lock_guard lock(FolderMutex());
        if (!FolderOverride().empty())
            return FolderOverride();
    }
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/')
        return (fs::path(xdg) / "lirat5" / "ports").string();
    const char* home = std::getenv("HOME");
    return (fs::path(home && *home ? home : "/tmp") / ".config" / "lirat5" / "ports").string();
}

void SetPortMappingFolder(const std::string& folder) {
    std::lock_guard lock(FolderMutex());
    FolderOverride() = folder;
}

std::string ResolvePortName(const std::string& name) {
    if (!name.empty() && name.front() == '/')
        return name;
    if (name.empty() || name.find('/') != std::string::npos)
        return (fs::path(PortMappingFolder()) / "invalid-port-name").string();
    if (auto entry = MappedEntry(name))
        return entry->string();
    if (auto number = backend::posix::ComNumber(name)) {
        // The adapter the name stands for may be one the component has not seen yet.
        if (*number >= backend::posix::kFirstAdapterNumber) {
            backend::posix::NumberNewAdapters();
            if (auto entry = MappedEntry(name))
                return entry->string();
        }
        if (auto path = TablePath(*number))
            return *path;
        return (fs::path(PortMappingFolder()) / name).string();
    }
    return backend::posix::UnderRoot("/dev/" + name);
}

int RegisterPortName(const std::string& name, const std::string& target) {
    if (name.empty() || name.find('/') != std::string::npos)
        return EINVAL;
    std::error_code ec;
    fs::path folder = PortMappingFolder();
    fs::create_directories(folder, ec);
    if (ec)
        return ec.value();
    // Replace any entry that differs only in case, so that one name has one meaning.
    UnregisterPortName(name);
    fs::path tmp = folder / ("." + name + ".tmp" + std::to_string(::getpid()));
    fs::remove(tmp, ec);
    fs::create_symlink(target, tmp, ec);
    if (ec)
        return ec.value();
    fs::rename(tmp, folder / name, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(tmp, ignored);
        return ec.value();
    }
    return 0;
}

int UnregisterPortName(const std::string& name) {
    auto entry = MappedEntry(name);
    if (!entry)
        return ENOENT;
    std::error_code ec;
    fs::remove(*entry, ec);
    return ec ? ec.value() : 0;
}

std::vector<std::string> AvailablePortNames() {
    std::vector<std::string> names;
    for (const TComPortInfo& port : ListComPorts())
        if (port.Connected)
            names.push_back(port.Name);
    return names;
}

namespace backend::posix {

std::optional<int> ComNumber(const std::string& name) {
    if (name.size() < 4 || !SameName(name.substr(0, 3), "COM") || name.size() > 7)
        return std::nullopt;
    int n = 0;
    for (std::size_t i = 3; i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i])))
            return std::nullopt;
        n = n * 10 + (name[i] - '0');
    }
    return n;
}

} // namespace backend::posix

} // namespace serial
