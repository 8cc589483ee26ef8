// POSIX systems other than Linux: only the rates with a B-constant, no line counters, no
// modem-line wait, no look at other processes' descriptors and no low-latency switch.
#include "serial/posix_extras.h"

#include <cerrno>

namespace serial::backend::posix {

int SetArbitraryBaud(int, std::uint32_t) {
    return EINVAL;
}
int ReadActualBaud(int, std::uint32_t&) {
    return ENOTSUP;
}
int ReadLineCounters(int, LineCounters&) {
    return ENOTSUP;
}
int WaitModemChange(int) {
    return ENOTSUP;
}
bool IsPseudoTerminal(int) {
    return false; // asked as a real device: only costs a queue query per write
}
bool OpenElsewhere(const std::string&) {
    return false;
}
std::vector<long> ProcessesHolding(const std::string&) {
    return {};
}
std::string ProcessName(long) {
    return {};
}
int SetLowLatency(int) {
    return ENOTSUP;
}

} // namespace serial::backend::posix
