#pragma once
// Looking for transducers: each port is opened at the tool's line settings and asked "$8", and
// nothing else, once; the reply counts as the transducer's when it is a range reply the
// engine's read would take (it begins with "!", its last byte is the terminator, the payload a
// range index of the catalogue). Many ports are asked at once, one thread each.

#include <optional>
#include <string>
#include <vector>

namespace cli {

enum class ProbeState {
    Answered,    // a valid range reply
    Silent,      // nothing within the window's interval
    Foreign,     // an answer, but not one this transducer gives
    Busy,        // another program (or port) holds the device
    Unavailable, // the port could not be opened or used for another reason
};

struct ProbeResult {
    std::string port;
    ProbeState state = ProbeState::Silent;
    std::optional<int> rangeIndex; // for Answered
    std::string detail;            // the port layer's error, or the reply that did not fit
};

ProbeResult ProbePort(const std::string& port);
// The ports in the order given, each probed on a thread of its own.
std::vector<ProbeResult> ProbePorts(const std::vector<std::string>& ports);

// The ports EnumComPorts lists and the names given that are not among them, in counting order.
std::vector<std::string> PortsToScan(const std::vector<std::string>& named);

// Whether an operating-system error of opening means another holder of the device
// (port_devices_posix.cpp, port_devices_win32.cpp).
bool IsBusyError(int osError);

} // namespace cli
