#include "serial/com_numbering.h"

#include "serial/device_tree.h"
#include "serial/port_names.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <system_error>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace serial::backend::posix {

namespace fs = std::filesystem;

namespace {

constexpr std::chrono::seconds kLockWait{2};

bool Names(const MappedName& entry, const Adapter& adapter) {
    return !entry.target.empty() && std::find(adapter.links.begin(), adapter.links.end(),
                                              entry.target) != adapter.links.end();
}

std::vector<Adapter> Unnamed(const std::vector<Adapter>& adapters,
                             const std::vector<MappedName>& entries) {
    std::vector<Adapter> unnamed;
    for (const Adapter& adapter : adapters) {
        if (std::none_of(entries.begin(), entries.end(),
                         [&](const MappedName& e) { return Names(e, adapter); }))
            unnamed.push_back(adapter);
    }
    return unnamed;
}

// Holds the folder's lock file for one numbering round; the kernel lets go of it if the
// program dies inside the round. A round takes milliseconds, so a lock held for longer than
// kLockWait belongs to a program that is stopped (Ctrl+Z) or hangs: rather than hang with it,
// this round is given up and the adapters stay without a number until the next look.
class FolderLock {
public:
    explicit FolderLock(const fs::path& folder) {
        fd_ = ::open((folder / ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ < 0)
            return;
        const auto deadline = std::chrono::steady_clock::now() + kLockWait;
        while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            if ((errno != EWOULDBLOCK && errno != EINTR) ||
                std::chrono::steady_clock::now() >= deadline) {
                ::close(fd_);
                fd_ = -1;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    ~FolderLock() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    bool Held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

} // namespace

std::vector<MappedName> MappedNames() {
    std::vector<MappedName> entries;
    const fs::path folder = PortMappingFolder();
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.empty() || name.front() == '.')
            continue;
        MappedName entry{name, it->path().string(), {}};
        std::error_code link;
        const fs::path target = fs::read_symlink(it->path(), link);
        if (!link)
            entry.target = (target.is_absolute() ? target : folder / target).lexically_normal();
        entries.push_back(std::move(entry));
    }
    return entries;
}

void NumberNewAdapters() {
    const std::vector<Adapter> adapters = PluggedAdapters();
    if (adapters.empty() || Unnamed(adapters, MappedNames()).empty())
        return;
    const fs::path folder = PortMappingFolder();
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec)
        return;
    FolderLock lock(folder);
    if (!lock.Held())
        return;
    // Another program may have numbered them while this one waited for the lock.
    std::vector<MappedName> entries = MappedNames();
    std::vector<bool> taken(kLastComNumber + 1, false);
    for (const MappedName& entry : entries)
        if (auto number = ComNumber(entry.name); number && *number <= kLastComNumber)
            taken[*number] = true;
    for (int number = kFirstAdapterNumber; number <= 32; ++number)
        if (OnBoardPortPresent(number - 1))
            taken[number] = true;
    int next = kFirstAdapterNumber;
    for (const Adapter& adapter : Unnamed(adapters, entries)) {
        for (;; ++next) {
            if (next > kLastComNumber)
                return;
            if (taken[next])
                continue;
            const fs::path name = folder / ("COM" + std::to_string(next));
            if (::symlink(adapter.link.c_str(), name.c_str()) == 0) {
                taken[next] = true;
                break;
            }
            // A name made by hand meanwhile stays; anything else (a full disk) ends the round.
            if (errno != EEXIST)
                return;
            taken[next] = true;
        }
    }
}

} // namespace serial::backend::posix
