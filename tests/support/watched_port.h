#pragma once
// The engine's port over the serial component, counting the commands written and noting how many
// replies the simulator had sent when each went out, so a test can wait for the reply to exactly
// that command before it runs the tick. Used by the end-to-end tests with the simulator.

#include "protocol/comport_exchange_port.h"
#include "serial/com_port.h"
#include "simulator/simulator.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <thread>

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

    // Waits until the simulator has taken the last command written and, when a reply is
    // expected, until the whole reply waits in the port (the queue has stopped growing); without
    // a reply, a while in which none comes. False when the simulator is not that far in time.
    bool AwaitReply(bool expectReply = true) {
        using namespace std::chrono_literals;
        using Kind = sim::LogEntry::Kind;
        if (!simulator_.Log().WaitForCount(Kind::Received, writes, 5s))
            return false;
        if (!expectReply) {
            std::this_thread::sleep_for(150ms);
            return true;
        }
        if (!simulator_.Log().WaitForCount(Kind::Sent, sentBefore + 1, 5s))
            return false;
        // The last byte has left the simulator; the queue may still be filling.
        int count = -1;
        for (auto deadline = std::chrono::steady_clock::now() + 2s;
             std::chrono::steady_clock::now() < deadline;) {
            const int now = InputCount();
            if (now > 0 && now == count)
                break;
            count = now;
            std::this_thread::sleep_for(10ms);
        }
        return true;
    }

    std::size_t writes = 0;
    std::size_t sentBefore = 0;

private:
    sim::Simulator& simulator_;
};

} // namespace testing_support
