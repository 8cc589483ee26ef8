#pragma once
// The engine's port, closed to new commands once the technician has asked to stop: the step
// handler that took the last reply goes on as in the window, but the command it sends next
// never reaches the line; the session sees that it was held back and ends the transaction
// there. Everything else (opening, reading the reply under way, closing) passes unchanged.

#include "protocol/exchange_port.h"

#include <string>

namespace cli {

class InterruptGate : public protocol::ExchangePort {
public:
    explicit InterruptGate(protocol::ExchangePort& line) : line_(line) {}

    // Whether an interruption holds commands back (not for a transaction that handles Ctrl+C
    // itself); forgets a command held back before.
    void Arm(bool holding) {
        holding_ = holding;
        heldBack_ = false;
    }
    // Whether a command was held back since Arm.
    bool HeldBack() const { return heldBack_; }

    void Open() override { line_.Open(); }
    bool Connected() const override { return line_.Connected(); }
    void Close() override { line_.Close(); }
    void ClearBuffer(bool input, bool output) override { line_.ClearBuffer(input, output); }
    int Write(const std::uint8_t* buffer, int count) override;
    int InputCount() override { return line_.InputCount(); }
    int Read(std::uint8_t* buffer, int count) override { return line_.Read(buffer, count); }

private:
    protocol::ExchangePort& line_;
    bool holding_ = true;
    bool heldBack_ = false;
};

} // namespace cli
