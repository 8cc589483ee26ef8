#include "simulator/com_registration.h"

#include <cctype>
#include <stdexcept>
#include <system_error>

namespace sim {
namespace fs = std::filesystem;
namespace {

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

} // namespace

ComRegistration::ComRegistration(const fs::path& folder, int number, const std::string& device)
    : device_(device) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        throw std::runtime_error("cannot create the port-name folder " + folder.string() + ": " +
                                 ec.message());
    }
    const std::string name = "com" + std::to_string(number);

    // The serial component matches names without regard to case, so "COM7" counts as well.
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        std::string existing = entry.path().filename().string();
        if (!SameNameIgnoringCase(existing, name)) {
            continue;
        }
        if (!entry.is_symlink(ec)) {
            throw std::runtime_error(entry.path().string() +
                                     " exists and is not a link; remove it or choose another "
                                     "number");
        }
        fs::path target = fs::read_symlink(entry.path(), ec);
        if (fs::exists(entry.path(), ec)) {
            throw std::runtime_error("COM" + std::to_string(number) + " is already mapped to " +
                                     target.string() + " (" + entry.path().string() +
                                     "); remove it or choose another number");
        }
        fs::remove(entry.path(), ec);
        if (ec) {
            throw std::runtime_error("cannot remove the stale link " + entry.path().string() +
                                     ": " + ec.message());
        }
        replacedStale_ = true;
    }

    link_ = folder / name;
    fs::create_symlink(device, link_, ec);
    if (ec) {
        throw std::runtime_error("cannot create the link " + link_.string() + ": " + ec.message());
    }
}

ComRegistration::~ComRegistration() {
    Remove();
}

void ComRegistration::Remove() {
    if (link_.empty()) {
        return;
    }
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(link_, ec)) && fs::read_symlink(link_, ec) == device_) {
        fs::remove(link_, ec);
    }
    link_.clear();
}

} // namespace sim
