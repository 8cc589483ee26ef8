// Internal to the POSIX backend: the fixed COM names of devices that the port-name folder does
// not name. COM1-COM32 are /dev/ttyS0-31, COM33-COM64 /dev/ttyUSB0-31 and COM65-COM96
// /dev/ttyACM0-31: the on-board ports keep the numbers Windows gives them, and the USB rows stay
// so that a settings file written before adapters were numbered still opens its device.
#pragma once

namespace serial::backend::posix {

struct TableRange {
    int first;          // first COM number
    const char* prefix; // the device path without its index
};
inline constexpr TableRange kTable[] = {{1, "/dev/ttyS"}, {33, "/dev/ttyUSB"}, {65, "/dev/ttyACM"}};
inline constexpr int kRangeSize = 32;

} // namespace serial::backend::posix
