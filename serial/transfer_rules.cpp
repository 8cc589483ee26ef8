#include "serial/transfer_rules.h"

#include <algorithm>

namespace serial::backend::posix {

namespace {

std::uint64_t Total(std::uint32_t multiplier, std::uint32_t count, std::uint32_t constant) {
    std::uint64_t ms = std::uint64_t{multiplier} * count + constant;
    return std::min(ms, kForeverMs);
}

} // namespace

ReadRule MakeReadRule(const TTimeoutsRecord& t, std::uint32_t count) {
    ReadRule rule;
    const std::uint32_t m = t.ReadTotalTimeoutMultiplier;
    const std::uint32_t c = t.ReadTotalTimeoutConstant;
    if (t.ReadIntervalTimeout == kMaxDword) {
        if (m == 0 && c == 0) {
            rule.totalMs = 0;
        } else if (c != kMaxDword && m == kMaxDword) {
            rule.returnIfWaiting = true;
            rule.returnOnFirstByte = true;
            rule.totalMs = c;
        } else if (c != kMaxDword && m != kMaxDword) {
            rule.returnIfWaiting = true;
            rule.totalMs = Total(m, count, c);
        }
        return rule;
    }
    if (m != 0 || c != 0)
        rule.totalMs = Total(m, count, c);
    rule.intervalMs = t.ReadIntervalTimeout;
    return rule;
}

std::uint64_t WriteTotalMs(const TTimeoutsRecord& t, std::uint32_t count) {
    if (t.WriteTotalTimeoutMultiplier == 0 && t.WriteTotalTimeoutConstant == 0)
        return kForeverMs;
    return Total(t.WriteTotalTimeoutMultiplier, count, t.WriteTotalTimeoutConstant);
}

std::size_t DecodeParityMarks(char* data, std::size_t size, MarkState& state, char replacement,
                              std::uint32_t& errors) {
    std::size_t out = 0;
    for (std::size_t i = 0; i < size; ++i) {
        char ch = data[i];
        switch (state.pending) {
        case 0:
            if (static_cast<unsigned char>(ch) == 0xFF)
                state.pending = 1;
            else
                data[out++] = ch;
            break;
        case 1:
            if (ch == '\0') {
                state.pending = 2;
            } else {
                // "\377\377" is a real 0xFF; anything else after 0xFF is not a marker at all.
                state.pending = 0;
                if (static_cast<unsigned char>(ch) != 0xFF)
                    data[out++] = static_cast<char>(0xFF);
                data[out++] = ch;
            }
            break;
        default:
            state.pending = 0;
            ++errors;
            data[out++] = replacement;
            break;
        }
    }
    return out;
}

} // namespace serial::backend::posix
