#include "serial/windows_port_list.h"

#include "serial/port_order.h"

#include <algorithm>
#include <cctype>

namespace serial::detail {

namespace {

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

TComPortInfo Port(const std::string& name, bool connected, const std::string& friendlyName) {
    TComPortInfo port;
    port.Name = name;
    port.Device = "\\\\.\\" + name;
    port.Connected = connected;
    port.FriendlyName = friendlyName;
    return port;
}

} // namespace

std::vector<TComPortInfo> WindowsPortList(const std::vector<std::string>& registryNames,
                                          const std::vector<PortDevice>& presentDevices,
                                          const std::vector<PortDevice>& installedDevices) {
    std::vector<TComPortInfo> ports;
    for (const std::string& name : registryNames) {
        const auto device =
            std::find_if(presentDevices.begin(), presentDevices.end(),
                         [&](const PortDevice& d) { return SameName(d.name, name); });
        ports.push_back(
            Port(name, true, device == presentDevices.end() ? "" : device->friendlyName));
    }
    for (const PortDevice& device : installedDevices) {
        const bool listed = std::any_of(ports.begin(), ports.end(), [&](const TComPortInfo& p) {
            return SameName(p.Name, device.name);
        });
        if (!listed)
            ports.push_back(Port(device.name, false, device.friendlyName));
    }
    std::sort(ports.begin(), ports.end(), [](const TComPortInfo& a, const TComPortInfo& b) {
        return PortNameLess(a.Name, b.Name);
    });
    return ports;
}

} // namespace serial::detail
