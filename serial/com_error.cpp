#include "serial/com_error.h"

#include <array>
#include <cstdio>

namespace serial {

namespace {

constexpr std::array<const char*, 23> kTexts = {
    "Unable to open com port",
    "WriteFile function failed",
    "ReadFile function failed",
    "Invalid Async parameter",
    "PurgeComm function failed",
    "Unable to get async status",
    "SetCommState function failed",
    "SetCommTimeouts failed",
    "SetupComm function failed",
    "ClearCommError function failed",
    "GetCommModemStatus function failed",
    "EscapeCommFunction function failed",
    "TransmitCommChar function failed",
    "Cannot set property while connected",
    "EnumPorts function failed",
    "Failed to store settings",
    "Failed to load settings",
    "Link (un)registration failed",
    "Cannot change led state if ComPort is selected",
    "Cannot wait for event if event thread is created",
    "WaitForEvent method failed",
    "A component is linked to OnRxBuf event",
    "Registry error",
};

std::string WithOsError(int code, int osError) {
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, " (win error code: %d)", osError);
    return std::string(ComErrorText(code)) + suffix;
}

} // namespace

const char* ComErrorText(int code) {
    if (code < 1 || code > static_cast<int>(kTexts.size()))
        return "";
    return kTexts[static_cast<std::size_t>(code - 1)];
}

EComPort::EComPort(int code)
    : std::runtime_error(ComErrorText(code)), code_(code), winErrorCode_(-1) {}

EComPort::EComPort(int code, int osError)
    : std::runtime_error(WithOsError(code, osError)), code_(code), winErrorCode_(osError) {}

} // namespace serial
