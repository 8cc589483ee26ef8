// The order in which port names are listed: as people count, so COM2 comes before COM10 and
// ttyUSB9 before ttyUSB10. Letters compare without regard to case; runs of digits by their value.
#pragma once

#include <string>

namespace serial {

bool PortNameLess(const std::string& a, const std::string& b);

} // namespace serial
