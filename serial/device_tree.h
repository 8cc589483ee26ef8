// Internal to the POSIX backend: what the system's device trees say about serial devices. The
// udev links under /dev/serial name each USB adapter by what it is (by-id: vendor, model, serial
// number and interface) and by where it is plugged in (by-path: the USB socket); sysfs tells
// which on-board ports have a UART behind them and what a USB adapter calls itself.
//
// Both trees are read below one root, "/" normally. LIRAT5_DEVICE_ROOT, or SetDeviceTreeRoot,
// points it at a fake tree (tests), which then holds dev/serial/..., dev/tty* and sys/....
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace serial::backend::posix {

std::string DeviceTreeRoot();
// An empty root returns to LIRAT5_DEVICE_ROOT or "/".
void SetDeviceTreeRoot(const std::string& root);
// A path of the machine ("/dev/ttyS0") as it is below the root.
std::string UnderRoot(const std::string& path);

// A USB adapter plugged in now.
struct Adapter {
    // The link its COM number is kept for: its by-id link when the adapter has a serial number,
    // else its by-path link, so that two identical adapters without one (CH340 clones, whose
    // by-id names are alike) are told apart by their sockets, as Windows tells them apart.
    std::string link;
    // Every stable link that leads to it (by-id and by-path); a mapping to any of them is its.
    std::vector<std::string> links;
    std::string node; // the device node the links lead to now (canonical path)
};

// The adapters plugged in, in the order of their nodes (ttyACM0, ttyUSB0, ttyUSB1, ttyUSB10).
std::vector<Adapter> PluggedAdapters();

// Whether the on-board port ttyS<index> exists and has hardware behind it. A PC kernel lists
// ports (ttyS0 to ttyS31 on many laptops) whose UART was never found: sysfs gives them type 0.
bool OnBoardPortPresent(int index);

// What a USB device says of itself (sysfs attributes of the device the tty belongs to).
struct UsbIdentity {
    std::string manufacturer;
    std::string product;
    std::string serialNumber;
    std::string vendorId;  // idVendor, four hexadecimal digits
    std::string productId; // idProduct
};
// The identity of the USB device behind a tty node (a path or a name such as "ttyUSB0"), or
// nothing for a device that is not on USB.
std::optional<UsbIdentity> UsbIdentityOf(const std::string& node);

} // namespace serial::backend::posix
