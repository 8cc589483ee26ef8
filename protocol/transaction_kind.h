#pragma once
// What the running (or last) transaction of the exchange engine does; the value also selects
// the step handler that interprets each reply.

#include <cstdint>

namespace protocol {

enum class TransactionKind : std::int32_t {
    ReadConfiguration = 0,
    WriteConfiguration = 1,
    ReadTemperature = 2,
    ZeroCalibration = 3, // also the factory reset
    GainCalibration = 4,
    OutputCalibration = 5,
};

// TransactionStep of an output calibration while the "$B" sent by the failure path awaits its
// reply.
inline constexpr std::int32_t RecoveryStep = 10;

} // namespace protocol
