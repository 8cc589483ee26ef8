#pragma once
// The port number inside a port name such as "COM7": the text after the first three characters
// (the prefix, normally "COM") read as an integer.

#include <string>
#include <string_view>

namespace app {

// Throws std::runtime_error "'<text>' is not a valid integer value" when the text after the
// prefix is not an integer (a name of three characters or fewer included).
int PortNumberOf(std::string_view portName);

// "COM" followed by the number in decimal without leading zeros.
std::string PortNameOf(int number);

} // namespace app
