#include "cli/port_devices.h"
#include "cli/port_probe.h"

#include <windows.h>

namespace cli {

// The serial component opens every COM name through the device namespace.
std::string DeviceOfPort(const std::string& name) {
    return "\\\\.\\" + name;
}

// Windows refuses a second opening of a COM port with "access denied".
bool IsBusyError(int osError) {
    return osError == ERROR_ACCESS_DENIED;
}

} // namespace cli
