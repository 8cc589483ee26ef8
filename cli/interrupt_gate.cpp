#include "cli/interrupt_gate.h"

#include "cli/interrupt.h"

namespace cli {

int InterruptGate::Write(const std::uint8_t* buffer, int count) {
    if (holding_ && InterruptRequested()) {
        heldBack_ = true;
        return 0;
    }
    return line_.Write(buffer, count);
}

} // namespace cli
