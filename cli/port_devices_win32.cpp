#include "cli/port_devices.h"

namespace cli {

// The serial component opens every COM name through the device namespace.
std::string DeviceOfPort(const std::string& name) {
    return "\\\\.\\" + name;
}

} // namespace cli
