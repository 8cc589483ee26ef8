// Internal: how the Windows list of ports is put together from its two sources, apart from the
// SetupAPI calls (serial/port_listing_win32.cpp) so that every build can test it.
#pragma once

#include "serial/port_listing.h"

#include <string>
#include <vector>

namespace serial::detail {

// A port device of the setup class "Ports": its COM name and the Device Manager's name of it.
struct PortDevice {
    std::string name;
    std::string friendlyName;
};

// The registry's ports (present now) with the friendly names of the devices present, then the
// installed devices whose names are not among them, not connected; in counting order.
std::vector<TComPortInfo> WindowsPortList(const std::vector<std::string>& registryNames,
                                          const std::vector<PortDevice>& presentDevices,
                                          const std::vector<PortDevice>& installedDevices);

} // namespace serial::detail
