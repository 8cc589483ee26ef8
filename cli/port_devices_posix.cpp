#include "cli/port_devices.h"
#include "cli/port_probe.h"

#include "serial/port_names.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace cli {

// A name of the mapping folder is a link; the technician wants the device at its end.
std::string DeviceOfPort(const std::string& name) {
    const std::string path = serial::ResolvePortName(name);
    std::error_code error;
    const auto device = std::filesystem::canonical(path, error);
    return error ? path : device.string();
}

bool IsBusyError(int osError) {
    return osError == EBUSY;
}

} // namespace cli
