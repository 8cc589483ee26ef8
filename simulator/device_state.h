#pragma once
// The configuration and calibration state that the simulated transducer keeps, and the values it
// returns to after a factory reset.

#include "catalogue/sensor_catalogue.h"

#include <cstddef>
#include <optional>
#include <string>

namespace sim {

// Number of measuring ranges the transducer knows; a range index runs from 0 to 25.
inline constexpr int kRangeCount = catalogue::SensorRangeCount;

// The two output test codes of the output calibration ("0D0" and "CD0" on the wire).
inline constexpr int kLowTestCode = 0x0D0;
inline constexpr int kHighTestCode = 0xCD0;

struct DeviceState {
    int rangeIndex = 0;        // 0 to 25
    double lowerValue = -50.0; // working-range value mapped to the low end of the output
    double upperValue = 50.0;  // working-range value mapped to the high end of the output
    double breakLevel = 1.1;   // output level on a sensor break, as a fraction of full scale
    int outputType = 0;        // 0: 0-10 V, 1: 0-5 mA, 2: 0-20 mA

    // Input calibration: set once a zero or gain calibration has run since the factory reset.
    bool zeroCalibrated = false;
    bool gainCalibrated = false;

    // Output calibration coefficients and the test code driven while the calibration runs.
    double outputGain = 3072.0;
    int outputOffset = 208;
    std::optional<int> outputTestCode;

    // Status reported by "$0": the outcome of the last calibration or factory reset, or of a
    // rejected parameter since then.
    std::string status = "00";

    bool operator==(const DeviceState&) const = default;
};

// The state of a transducer as it leaves the factory, and after "$F".
DeviceState FactoryDefaults();

// True for the ranges that measure ohms rather than degrees Celsius.
inline bool IsResistanceRange(int rangeIndex) {
    return rangeIndex >= 0 && rangeIndex < kRangeCount &&
           catalogue::SensorRanges[static_cast<std::size_t>(rangeIndex)].TypeIndex >
               catalogue::LastThermometerType;
}

} // namespace sim
