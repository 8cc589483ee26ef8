#pragma once
// The engine's port with a look-ahead for the fast pace: while the tick loop waits for a step's
// reply it takes the bytes that arrive into a queue of its own and can tell when the reply's
// terminating CR is in; the engine then reads the same bytes from that queue, in the same order
// and with the same count, so every check of the tick sees what it would have seen after the
// full interval. Purging and closing empty the queue as they empty the driver's.

#include "protocol/exchange_port.h"

#include <chrono>
#include <cstdint>
#include <deque>

namespace cli {

class PacedPort : public protocol::ExchangePort {
public:
    using Clock = std::chrono::steady_clock;

    explicit PacedPort(protocol::ExchangePort& line) : line_(line) {}

    // Waits until a CR has arrived or `deadline` has passed; true for the CR.
    bool WaitForReplyEnd(Clock::time_point deadline);

    void Open() override { line_.Open(); }
    bool Connected() const override { return line_.Connected(); }
    void Close() override;
    void ClearBuffer(bool input, bool output) override;
    int Write(const std::uint8_t* buffer, int count) override { return line_.Write(buffer, count); }
    int InputCount() override;
    int Read(std::uint8_t* buffer, int count) override;

private:
    // Moves whatever is waiting in the driver into the queue.
    void TakeArrived();

    protocol::ExchangePort& line_;
    std::deque<std::uint8_t> ahead_;
};

} // namespace cli
