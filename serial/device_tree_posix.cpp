#include "serial/device_tree.h"

#include "serial/port_order.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <system_error>

namespace serial::backend::posix {

namespace fs = std::filesystem;

namespace {

std::mutex& RootMutex() {
    static std::mutex m;
    return m;
}

std::string& RootOverride() {
    static std::string root;
    return root;
}

// The first line of a sysfs attribute, without its line end; empty when there is none.
std::string Attribute(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    return line;
}

// The entries of a udev link folder that lead to a device present now, by that device.
std::map<std::string, std::vector<std::string>> LinksByNode(const std::string& folder) {
    std::map<std::string, std::vector<std::string>> links;
    std::error_code ec;
    for (fs::directory_iterator it(UnderRoot(folder), ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code target;
        const fs::path node = fs::canonical(it->path(), target);
        if (!target)
            links[node.string()].push_back(it->path().string());
    }
    for (auto& [node, list] : links)
        std::sort(list.begin(), list.end());
    return links;
}

// systemd 252 and later add a second by-path link per USB device ("-usbv2-"); the older form
// exists on every version, so a number kept for it survives an upgrade.
std::string PreferredPathLink(const std::vector<std::string>& links) {
    for (const std::string& link : links)
        if (link.find("-usbv") == std::string::npos)
            return link;
    return links.front();
}

} // namespace

std::string DeviceTreeRoot() {
    {
        std::lock_guard lock(RootMutex());
        if (!RootOverride().empty())
            return RootOverride();
    }
    const char* root = std::getenv("LIRAT5_DEVICE_ROOT");
    return root && *root == '/' ? root : "/";
}

void SetDeviceTreeRoot(const std::string& root) {
    std::lock_guard lock(RootMutex());
    RootOverride() = root;
}

std::string UnderRoot(const std::string& path) {
    const std::string root = DeviceTreeRoot();
    if (root == "/")
        return path;
    return (fs::path(root) / fs::path(path).relative_path()).string();
}

std::vector<Adapter> PluggedAdapters() {
    const auto byId = LinksByNode("/dev/serial/by-id");
    const auto byPath = LinksByNode("/dev/serial/by-path");
    std::map<std::string, Adapter> adapters;
    for (const auto* tree : {&byId, &byPath}) {
        for (const auto& [node, links] : *tree) {
            Adapter& adapter = adapters[node];
            adapter.node = node;
            adapter.links.insert(adapter.links.end(), links.begin(), links.end());
        }
    }
    std::vector<Adapter> result;
    for (auto& [node, adapter] : adapters) {
        const auto id = byId.find(node);
        const auto path = byPath.find(node);
        const auto identity = UsbIdentityOf(node);
        const bool noSerial = identity && identity->serialNumber.empty();
        if (path != byPath.end() && (noSerial || id == byId.end()))
            adapter.link = PreferredPathLink(path->second);
        else
            adapter.link = id->second.front();
        result.push_back(std::move(adapter));
    }
    std::sort(result.begin(), result.end(),
              [](const Adapter& a, const Adapter& b) { return PortNameLess(a.node, b.node); });
    return result;
}

bool OnBoardPortPresent(int index) {
    const std::string name = "ttyS" + std::to_string(index);
    std::error_code ec;
    if (!fs::exists(UnderRoot("/dev/" + name), ec))
        return false;
    const fs::path sys = UnderRoot("/sys/class/tty/" + name);
    if (!fs::exists(sys, ec))
        return true; // no sysfs to ask: the node is all there is to go by
    const std::string type = Attribute(sys / "type");
    if (!type.empty())
        return type != "0";
    return fs::exists(sys / "device", ec);
}

std::optional<UsbIdentity> UsbIdentityOf(const std::string& node) {
    std::error_code ec;
    const fs::path sysRoot = fs::canonical(UnderRoot("/sys"), ec);
    if (ec)
        return std::nullopt;
    const std::string name = fs::path(node).filename().string();
    fs::path device = fs::canonical(UnderRoot("/sys/class/tty/" + name) + "/device", ec);
    if (ec)
        return std::nullopt;
    // The tty hangs below the USB interface, which hangs below the USB device that carries the
    // descriptor's strings.
    const std::string within = sysRoot.string() + "/";
    for (; device.string().starts_with(within); device = device.parent_path()) {
        if (fs::exists(device / "idVendor", ec)) {
            return UsbIdentity{Attribute(device / "manufacturer"), Attribute(device / "product"),
                               Attribute(device / "serial"), Attribute(device / "idVendor"),
                               Attribute(device / "idProduct")};
        }
    }
    return std::nullopt;
}

} // namespace serial::backend::posix
