#pragma once
// A transducer that has been configured: range 10, -50 to 200, a break level of 25 %, the
// 0-20 mA output. The simulator's tests start from it where the factory state would hide a
// value that was not read or written.

#include "simulator/device_state.h"

namespace sim {

inline DeviceState Configured() {
    DeviceState state;
    state.rangeIndex = 10;
    state.lowerValue = -50.0;
    state.upperValue = 200.0;
    state.breakLevel = 0.25;
    state.outputType = 2;
    return state;
}

} // namespace sim
