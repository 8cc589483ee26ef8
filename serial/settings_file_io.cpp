#include "serial/settings_file_io.h"

#include <algorithm>

namespace serial::detail {

namespace {

std::optional<std::size_t> writeLimit;

} // namespace

void SetWriteLimitForTesting(std::optional<std::size_t> bytes) {
    writeLimit = bytes;
}

std::size_t WritableBytes(std::size_t offset, std::size_t length) {
    if (!writeLimit) {
        return length;
    }
    return offset >= *writeLimit ? 0 : std::min(length, *writeLimit - offset);
}

} // namespace serial::detail
