// The serial ports of the system with what is known of each, for people choosing a port.
#pragma once

#include <string>
#include <vector>

namespace serial {

struct TComPortInfo {
    std::string Name;       // the port name that opens it ("COM3")
    std::string Device;     // what the name opens now ("/dev/ttyUSB0", "\\.\COM3"); for an adapter
                            // that is not plugged in, the link its name is kept for
    bool Connected = false; // the device is there now
    bool OnBoard = false;   // a serial port of the computer itself
    std::string FriendlyName; // Windows: the name the Device Manager shows, where there is one
    // A USB adapter's own strings and ids (Linux: sysfs); empty where unknown.
    std::string Manufacturer;
    std::string Product;
    std::string SerialNumber;
    std::string VendorId;
    std::string ProductId;
};

// Every port in counting order (serial/port_order.h). On Linux: the port-name folder's names
// (after numbering adapters seen for the first time; a numbered adapter that is unplugged is
// listed as not connected), the on-board ports that have hardware, and devices without a name
// in the folder by their table names. On Windows: the registry's serial devices, each with its
// friendly name, and the ports of adapters Windows remembers that are not plugged in. A failed
// registry read raises code 23, as EnumComPorts does.
std::vector<TComPortInfo> ListComPorts();

} // namespace serial
