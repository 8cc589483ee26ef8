// Internal to the POSIX backend: what changes of the driver's line counters (TIOCGICOUNT) mean
// as line events, and when a device needs a modem-line watch to see them as they happen.
#pragma once

#include "serial/posix_extras.h"

#include <cstdint>

namespace serial::backend::posix {

// The event-mask bits that a helper blocked in the driver's modem-line wait can wake up for:
// CTS (8), DSR (16), RLSD (32) and ring (256).
inline constexpr std::uint32_t kModemLineEvents = 8 | 16 | 32 | 256;

// The line events that the counters' difference stands for, as event-mask bits: 128 a line
// error (frame, parity, hardware or buffer overrun), 64 a break, 8 CTS, 16 DSR, 32 RLSD and
// 256 ring. Counters only grow, but may wrap around: any difference counts.
std::uint32_t CounterEvents(const LineCounters& was, const LineCounters& now);

// Whether a device with this event mask needs the modem-line watch: only for the modem-line
// events, and only where the driver keeps counters, since they tell which line changed. A
// pseudo-terminal keeps none.
bool NeedsModemWatch(bool haveCounters, std::uint32_t eventMask);

} // namespace serial::backend::posix
