#pragma once
// Makes the simulator's line reachable under a COM name: a symbolic link "comN" to the device
// in the serial component's port-name folder. The link is removed again when the registration
// ends, but only while it still points at this simulator's device.

#include <filesystem>
#include <string>

namespace sim {

class ComRegistration {
public:
    // Creates `folder` if needed and the link "com<number>" in it. An existing entry for the
    // same name (in any letter case) is replaced only when it is a link to a device that no
    // longer exists, such as the line of a simulator that was killed; otherwise this throws
    // std::runtime_error, and so it does when the link cannot be made.
    ComRegistration(const std::filesystem::path& folder, int number, const std::string& device);
    ~ComRegistration();
    ComRegistration(const ComRegistration&) = delete;
    ComRegistration& operator=(const ComRegistration&) = delete;

    const std::filesystem::path& LinkPath() const { return link_; }
    // True when an earlier, dead registration of the name was replaced.
    bool ReplacedStale() const { return replacedStale_; }

    // Removes the link now (if it still points at our device); safe to call more than once.
    void Remove();

private:
    std::filesystem::path link_;
    std::string device_;
    bool replacedStale_ = false;
};

} // namespace sim
