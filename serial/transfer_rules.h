// Internal to the POSIX backend: the Windows serial driver's rules for the time-outs of one
// transfer (COMMTIMEOUTS), and the decoding of the parity-marked input (PARMRK) that lets a
// parity error's byte be replaced as Windows replaces it. Pure functions, tested on their own.
#pragma once

#include "serial/native_records.h"

#include <cstddef>
#include <cstdint>

namespace serial::backend::posix {

inline constexpr std::uint32_t kMaxDword = 0xFFFFFFFFu;
// Anything at or beyond a few weeks is as good as no time-out.
inline constexpr std::uint64_t kForeverMs = std::uint64_t{1} << 31;

struct ReadRule {
    // Ends at once, with them, when bytes are already waiting as the read starts.
    bool returnIfWaiting = false;
    // Ends as soon as it has any byte at all.
    bool returnOnFirstByte = false;
    // The total time-out in milliseconds (0: at once, with what is there); kForeverMs: none.
    std::uint64_t totalMs = kForeverMs;
    // The longest pause between two bytes once the first has come; 0: none.
    std::uint32_t intervalMs = 0;
};

// How a read of count bytes ends, by the driver's table:
// - interval MAXDWORD, both totals 0: at once with whatever has arrived;
// - interval MAXDWORD, multiplier MAXDWORD, constant below MAXDWORD: at once with the waiting
//   bytes, else as soon as the first byte comes, waiting at most the constant (0: not at all);
// - interval MAXDWORD, neither total MAXDWORD: at once with the waiting bytes, else a read of
//   count with the total time-out (multiplier × count + constant) and no interval time-out;
// - interval MAXDWORD with the constant MAXDWORD: no time-out at all;
// - otherwise the total time-out when either total is non-zero, and the interval time-out when
//   the interval is non-zero.
ReadRule MakeReadRule(const TTimeoutsRecord& timeouts, std::uint32_t count);
// A write's total time-out (multiplier × count + constant), kForeverMs when both are 0.
std::uint64_t WriteTotalMs(const TTimeoutsRecord& timeouts, std::uint32_t count);

// Decodes input read with PARMRK (and IGNBRK): "\377\377" is a received 0xFF, "\377\0" and a
// byte is that byte received with a parity or framing error, which becomes replacement. A
// marker cut by the end of one read is finished by the next: state carries it.
struct MarkState {
    int pending = 0; // 0: none, 1: after 0xFF, 2: after 0xFF 0x00
};
// Decodes data in place and returns the decoded length (never more than size); errors counts
// the bytes that arrived with an error.
std::size_t DecodeParityMarks(char* data, std::size_t size, MarkState& state, char replacement,
                              std::uint32_t& errors);

} // namespace serial::backend::posix
