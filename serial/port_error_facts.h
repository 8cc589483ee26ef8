// Internal to the error explainer: what each platform knows about its own errors and devices
// (port_error_facts_posix.cpp, port_error_facts_win32.cpp). The explainer's sentences are common
// (port_error_explainer.cpp); these give the platform's part of them.
#pragma once

#include "serial/port_error_explainer.h"

#include <string>

namespace serial::detail {

// What the system's error means for the component's error code (opening, or an operation on
// the open device).
PortFault ClassifyPortError(int code, int osError);

// The system's own name of an error ("EACCES", "ERROR_ACCESS_DENIED"), or its number.
std::string SystemErrorName(int osError);

// The device the port name stands for, when that is something else than the name itself
// ("/dev/ttyUSB0" for "COM33"); empty where the name is the device.
std::string DeviceOfPort(const std::string& port);

// Why the device cannot be opened by this user and how to change that, as sentences.
std::string NoPermissionAdvice(const std::string& device);

// Who holds the device, as far as the system shows it, and what to do, as sentences.
std::string BusyAdvice(const std::string& device);

} // namespace serial::detail
