#include "serial/settings_file_io.h"

#include <algorithm>
#include <vector>

namespace serial::detail {

namespace {

constexpr std::size_t kChunkSize = 64 * 1024;

std::optional<std::size_t> writeLimit;

// How many of `length` bytes at `offset` may go into the new file before the injected limit
// stops the write.
std::size_t WritableBytes(std::size_t offset, std::size_t length) {
    if (!writeLimit) {
        return length;
    }
    return offset >= *writeLimit ? 0 : std::min(length, *writeLimit - offset);
}

} // namespace

void SetWriteLimitForTesting(std::optional<std::size_t> bytes) {
    writeLimit = bytes;
}

FileReadResult ReadToEnd(const ReadSome& readSome, std::size_t maxSize) {
    FileReadResult result;
    result.status = FileReadStatus::Unreadable;
    std::string contents;
    std::vector<char> buffer(kChunkSize);
    for (;;) {
        const std::optional<std::size_t> count = readSome(buffer.data(), buffer.size());
        if (!count) {
            return result;
        }
        if (*count == 0) {
            break;
        }
        contents.append(buffer.data(), *count);
        if (contents.size() > maxSize) {
            return result;
        }
    }
    result.status = FileReadStatus::Read;
    result.contents = std::move(contents);
    return result;
}

bool WriteToEnd(std::string_view contents, const WriteSome& writeSome, void (*diskFull)()) {
    std::size_t offset = 0;
    while (offset < contents.size()) {
        const std::size_t allowed =
            WritableBytes(offset, std::min(kChunkSize, contents.size() - offset));
        if (allowed == 0) {
            diskFull();
            return false;
        }
        const std::optional<std::size_t> written = writeSome(contents.data() + offset, allowed);
        if (!written || *written == 0) {
            return false;
        }
        offset += *written;
    }
    return true;
}

} // namespace serial::detail
