// The serial component's errors told to a technician: what happened to the port, in Russian and
// in the words of the system it runs on, and what to do about it. EComPort's own text (a fixed
// English text and the system's error number) stays as it is; the explanation goes above it
// wherever a user reads the error (the windows' boxes, lirat5-cli, its records).
#pragma once

#include "serial/com_error.h"

#include <string>

namespace serial {

// What an error says about the port, as far as a user can act on it.
enum class PortFault {
    Other,        // nothing a user can put right from here
    NoPermission, // the user may not open the device
    Busy,         // another program holds the device
    Missing,      // no such device: the adapter is not plugged in, or the name is wrong
    Disconnected, // the device went away while it was open: the adapter or cable was pulled out
};

struct PortErrorExplanation {
    PortFault fault = PortFault::Other;
    // Russian, one or more lines, without the component's own text; empty for the errors that
    // have no system error behind them (the component's own refusals).
    std::string text;
};

// Explains an error that the port named `port` (its Port property) raised. Looks at the system
// as it is now (the device's group, the program holding it, the ports that are plugged in), so
// it is meant to be called when the error is shown, soon after it was raised.
PortErrorExplanation ExplainPortError(const EComPort& error, const std::string& port);

// The explanation, then the component's own text below it: what a user reads.
std::string ExplainedPortErrorText(const EComPort& error, const std::string& port);

} // namespace serial
