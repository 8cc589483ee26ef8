// Internal to the POSIX backend: the line-settings record mapped onto termios, without a device.
#pragma once

#include "serial/native_records.h"

#include <termios.h>

namespace serial::backend::posix {

// Fills tio (already holding the device's current settings) for a raw binary line as dcb asks.
// standardRate is false when the rate has no B-constant and must be set separately. 0, or
// EINVAL for a record that cannot be expressed.
int MapLineSettings(const TDcbRecord& dcb, termios& tio, bool& standardRate);

} // namespace serial::backend::posix
