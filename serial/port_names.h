// What a port name means on a POSIX system, where devices have paths rather than COM names.
//
// 1. A name starting with "/" is a path and is opened as it is.
// 2. A name that has an entry in the per-user mapping folder (compared without regard to case)
//    opens that entry, normally a symbolic link to any device: a USB adapter's stable
//    /dev/serial/by-id/... path, or the pseudo-terminal of the transducer simulator. The folder
//    is $XDG_CONFIG_HOME/lirat5/ports, or ~/.config/lirat5/ports without XDG_CONFIG_HOME.
//    USB adapters get their entries by themselves, COM3 upwards (serial/com_numbering.h), the
//    first time a name is looked up or the ports are listed while they are plugged in.
// 3. Otherwise "COMn" follows a fixed table (serial/port_table.h): COM1-COM32 are
//    /dev/ttyS0-31, COM33-COM64 are /dev/ttyUSB0-31, COM65-COM96 are /dev/ttyACM0-31.
// 4. Any other name without "/" is taken as a device name under /dev ("ttyUSB0").
// A COM name outside the table (COM0, COM97 and above) that is not mapped resolves to its
// would-be entry in the mapping folder, so opening it fails as a missing device.
// The /dev of rules 3 and 4 is below the device-tree root (serial/device_tree.h).
#pragma once

#include <string>
#include <vector>

namespace serial {

// The mapping folder in use (the default one unless a test or tool has set another).
std::string PortMappingFolder();
// Points the mapping folder elsewhere; an empty path returns to the default.
void SetPortMappingFolder(const std::string& folder);

// The path that opening the port name opens.
std::string ResolvePortName(const std::string& name);

// Makes name (such as "COM7") an entry of the mapping folder that links to target, replacing
// an existing entry of that name; creates the folder if needed. Returns 0 or an errno value.
int RegisterPortName(const std::string& name, const std::string& target);
// Removes the entry (any case); returns 0, or an errno value (ENOENT when there is none).
int UnregisterPortName(const std::string& name);

// Names usable as a port name for devices that are present: the mapping folder's entries whose
// target exists, in upper case, and the table's names of existing devices. Unsorted.
std::vector<std::string> AvailablePortNames();

} // namespace serial
