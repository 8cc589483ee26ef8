// Windows keeps two lists of serial ports: the registry's SERIALCOMM key names the ports that
// are there now (EnumComPorts reads it), and the device setup class "Ports" holds every port
// device Windows has installed, with the friendly name the Device Manager shows ("USB Serial
// Port (COM3)") and also those not plugged in, whose COM numbers Windows keeps for them. The
// class is read through SetupAPI, which Windows 7 has (every call used here exists since
// Windows 2000); walking the registry's Enum key instead would mean reading every device of
// the machine and guessing which ones are ports.
#include "serial/port_listing.h"

#include "serial/backend.h"
#include "serial/com_error.h"
#include "serial/utf8_win32.h"
#include "serial/windows_port_list.h"

#include <algorithm>
#include <cwctype>

#include <windows.h>

#include <setupapi.h>

namespace serial {

namespace {

// The setup class of serial and parallel ports, GUID_DEVCLASS_PORTS, spelt out here so that no
// translation unit has to instantiate the GUID definitions of <devguid.h>.
constexpr GUID kPortsClass = {
    0x4d36e978, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};

bool IsComName(const std::wstring& name) {
    return name.size() > 3 && ::_wcsnicmp(name.c_str(), L"COM", 3) == 0 &&
           std::all_of(name.begin() + 3, name.end(), [](wchar_t c) { return std::iswdigit(c); });
}

std::wstring RegistryText(HKEY key, const wchar_t* value) {
    wchar_t data[256] = {};
    DWORD size = sizeof data - sizeof data[0]; // room for a terminating zero the value may lack
    DWORD type = 0;
    if (::RegQueryValueExW(key, value, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return {};
    return std::wstring(data, ::wcsnlen(data, size / sizeof(wchar_t)));
}

std::string DeviceText(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property) {
    wchar_t data[256] = {};
    DWORD type = 0;
    if (!::SetupDiGetDeviceRegistryPropertyW(set, &device, property, &type,
                                             reinterpret_cast<BYTE*>(data),
                                             sizeof data - sizeof data[0], nullptr) ||
        type != REG_SZ)
        return {};
    return detail::NarrowToUtf8(std::wstring_view(data, ::wcsnlen(data, 255)));
}

// The COM ports of the class: those present now (DIGCF_PRESENT) or all that are installed.
// A system that cannot enumerate the class gives none; the ports are then listed without names.
std::vector<detail::PortDevice> PortsOfClass(DWORD flags) {
    std::vector<detail::PortDevice> ports;
    HDEVINFO set = ::SetupDiGetClassDevsW(&kPortsClass, nullptr, nullptr, flags);
    if (set == INVALID_HANDLE_VALUE)
        return ports;
    for (DWORD index = 0;; ++index) {
        SP_DEVINFO_DATA device{};
        device.cbSize = sizeof device;
        if (!::SetupDiEnumDeviceInfo(set, index, &device))
            break;
        HKEY key =
            ::SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_QUERY_VALUE);
        if (key == INVALID_HANDLE_VALUE)
            continue;
        const std::wstring name = RegistryText(key, L"PortName");
        ::RegCloseKey(key);
        if (!IsComName(name)) // LPT1 and the like share the class
            continue;
        std::string friendly = DeviceText(set, device, SPDRP_FRIENDLYNAME);
        if (friendly.empty())
            friendly = DeviceText(set, device, SPDRP_DEVICEDESC);
        ports.push_back({detail::NarrowToUtf8(name), friendly});
    }
    ::SetupDiDestroyDeviceInfoList(set);
    return ports;
}

} // namespace

std::vector<TComPortInfo> ListComPorts() {
    std::vector<std::string> names;
    // A machine without any serial port has no SERIALCOMM key at all: an empty list.
    if (int err = backend::EnumPortNames(names); err != 0 && err != ERROR_FILE_NOT_FOUND)
        throw EComPort(CError_RegError, err);
    return detail::WindowsPortList(names, PortsOfClass(DIGCF_PRESENT), PortsOfClass(0));
}

} // namespace serial
