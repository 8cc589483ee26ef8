#pragma once
// The engine's port over the serial component, counting the commands written and noting how many
// replies the simulator had sent when each went out, so a test can wait for the reply to exactly
// that command before it runs the tick. Used by the end-to-end tests with the simulator.

#include "protocol/comport_exchange_port.h"
#include "serial/com_port.h"
#include "simulator/simulator.h"

#include <cstddef>
#include <cstdint>

namespace testing_support {

class WatchedPort : public protocol::ComPortExchangePort {
public:
    WatchedPort(serial::TCustomComPort& port, sim::Simulator& simulator)
        : ComPortExchangePort(port), simulator_(simulator) {}

    int Write(const std::uint8_t* buffer, int count) override {
        ++writes;
        sentBefore = simulator_.Log().Count(sim::LogEntry::Kind::Sent);
        return ComPortExchangePort::Write(buffer, count);
    }

    std::size_t writes = 0;
    std::size_t sentBefore = 0;

private:
    sim::Simulator& simulator_;
};

} // namespace testing_support
