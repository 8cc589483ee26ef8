// The explainer's Win32 part: the system's error names, and what they mean for a COM port.
// Windows opens a COM port for one program at a time, so access denied at the open means that
// another program has it, never a missing right; after the open, access denied is one of the
// errors a removed USB adapter gives.
#include "serial/backend.h"
#include "serial/port_error_facts.h"

#include <windows.h>

namespace serial::detail {

namespace {

struct ErrorName {
    DWORD value;
    const char* name;
};

// The errors a COM port gives in practice.
constexpr ErrorName kErrorNames[] = {
    {ERROR_INVALID_FUNCTION, "ERROR_INVALID_FUNCTION"},
    {ERROR_FILE_NOT_FOUND, "ERROR_FILE_NOT_FOUND"},
    {ERROR_PATH_NOT_FOUND, "ERROR_PATH_NOT_FOUND"},
    {ERROR_ACCESS_DENIED, "ERROR_ACCESS_DENIED"},
    {ERROR_INVALID_HANDLE, "ERROR_INVALID_HANDLE"},
    {ERROR_NOT_READY, "ERROR_NOT_READY"},
    {ERROR_BAD_COMMAND, "ERROR_BAD_COMMAND"},
    {ERROR_GEN_FAILURE, "ERROR_GEN_FAILURE"},
    {ERROR_SHARING_VIOLATION, "ERROR_SHARING_VIOLATION"},
    {ERROR_NOT_SUPPORTED, "ERROR_NOT_SUPPORTED"},
    {ERROR_INVALID_PARAMETER, "ERROR_INVALID_PARAMETER"},
    {ERROR_SEM_TIMEOUT, "ERROR_SEM_TIMEOUT"},
    {ERROR_INVALID_NAME, "ERROR_INVALID_NAME"},
    {ERROR_BUSY, "ERROR_BUSY"},
    {ERROR_OPERATION_ABORTED, "ERROR_OPERATION_ABORTED"},
    {ERROR_IO_INCOMPLETE, "ERROR_IO_INCOMPLETE"},
    {ERROR_IO_PENDING, "ERROR_IO_PENDING"},
    {ERROR_DEVICE_NOT_CONNECTED, "ERROR_DEVICE_NOT_CONNECTED"},
    {ERROR_TIMEOUT, "ERROR_TIMEOUT"},
    {ERROR_DEVICE_REMOVED, "ERROR_DEVICE_REMOVED"},
};

} // namespace

PortFault ClassifyPortError(int code, int osError) {
    if (code == CError_OpenFailed) {
        switch (osError) {
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_BUSY:
            return PortFault::Busy;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_NOT_READY:
        case ERROR_GEN_FAILURE:
        case ERROR_DEVICE_NOT_CONNECTED:
        case ERROR_DEVICE_REMOVED:
            return PortFault::Missing;
        default:
            return PortFault::Other;
        }
    }
    // A removed adapter ends the transfers it had pending as aborted; Wine's serial layer calls a
    // line that has gone (a hung-up tty) not ready.
    if (backend::IsDeviceGone(osError) || osError == ERROR_OPERATION_ABORTED ||
        osError == ERROR_NOT_READY)
        return PortFault::Disconnected;
    return PortFault::Other;
}

std::string SystemErrorName(int osError) {
    for (const ErrorName& e : kErrorNames)
        if (e.value == static_cast<DWORD>(osError))
            return e.name;
    return std::to_string(osError);
}

std::string DeviceOfPort(const std::string&) {
    return {}; // the COM name is the device
}

std::string NoPermissionAdvice(const std::string&) {
    return "Попросите администратора компьютера разрешить доступ к порту.";
}

std::string BusyAdvice(const std::string&) {
    return "Windows не даёт открыть порт, пока его держит другая программа: терминал, программа "
           "другого прибора или ещё одна копия конфигуратора. Закройте её и повторите.";
}

} // namespace serial::detail
