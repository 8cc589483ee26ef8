#pragma once
// What `ports` prints: one line a port, with the device its name opens, whether it is plugged in
// and what it is, so that a technician with two adapters can tell which is which.

#include "serial/port_listing.h"

#include <string>
#include <vector>

namespace cli {

// "FTDI FT232R USB UART (0403:6001), серийный номер A50285BI", "встроенный порт", the friendly
// name Windows gives, or nothing where nothing is known.
std::string PortDescription(const serial::TComPortInfo& port);
// The table with its heading, the ports in the order given.
std::string PortsTable(const std::vector<serial::TComPortInfo>& ports);

} // namespace cli
