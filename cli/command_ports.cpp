// ports: the serial ports the system knows, each with the device its name opens, whether it is
// plugged in and what it is.
#include "cli/command_table.h"

#include "cli/cli_texts.h"
#include "cli/port_list_text.h"
#include "serial/port_listing.h"

namespace cli {

ExitStatus RunPorts(const Options& /*options*/, Console& console,
                    const std::string& /*commandLine*/) {
    const std::vector<serial::TComPortInfo> ports = serial::ListComPorts();
    if (ports.empty()) {
        console.Out(std::string(texts::NoPorts) + "\n");
        return ExitStatus::Done;
    }
    console.Out(PortsTable(ports));
    return ExitStatus::Done;
}

} // namespace cli
