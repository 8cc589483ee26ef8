#include "cli/port_devices.h"

#include "serial/port_names.h"

namespace cli {

std::string DeviceOfPort(const std::string& name) {
    return serial::ResolvePortName(name);
}

} // namespace cli
