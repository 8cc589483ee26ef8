// POSIX systems other than Linux: only the rates with a B-constant, no line counters and no
// modem-line wait.
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

} // namespace serial::backend::posix
