// ports: the serial ports the system knows, each with the device its name opens.
#include "cli/commands.h"

#include "cli/cli_texts.h"
#include "cli/port_devices.h"
#include "cli/report_text.h"
#include "serial/com_port.h"

#include <vector>

namespace cli {

ExitStatus RunPorts(Console& console) {
    std::vector<std::string> names;
    serial::EnumComPorts(names);
    if (names.empty()) {
        console.Out(std::string(texts::NoPorts) + "\n");
        return ExitStatus::Done;
    }
    std::string table = Padded(texts::PortHeading, 10) + texts::DeviceHeading + "\n";
    for (const std::string& name : names) {
        table += Padded(name, 10) + DeviceOfPort(name) + "\n";
    }
    console.Out(table);
    return ExitStatus::Done;
}

} // namespace cli
