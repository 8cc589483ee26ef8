#pragma once
// What a port name opens on this system, for the list of `ports`. One file per platform.

#include <string>

namespace cli {

std::string DeviceOfPort(const std::string& name);

} // namespace cli
