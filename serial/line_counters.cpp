#include "serial/line_counters.h"

namespace serial::backend::posix {

std::uint32_t CounterEvents(const LineCounters& was, const LineCounters& now) {
    std::uint32_t events = 0;
    if (now.frame != was.frame || now.parity != was.parity || now.overrun != was.overrun ||
        now.bufOverrun != was.bufOverrun)
        events |= 128;
    if (now.brk != was.brk)
        events |= 64;
    if (now.cts != was.cts)
        events |= 8;
    if (now.dsr != was.dsr)
        events |= 16;
    if (now.dcd != was.dcd)
        events |= 32;
    if (now.rng != was.rng)
        events |= 256;
    return events;
}

bool NeedsModemWatch(bool haveCounters, std::uint32_t eventMask) {
    return haveCounters && (eventMask & kModemLineEvents) != 0;
}

} // namespace serial::backend::posix
