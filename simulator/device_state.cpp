#include "simulator/device_state.h"

namespace sim {

DeviceState FactoryDefaults() {
    return DeviceState{};
}

} // namespace sim
