#pragma once
// The operations of the serial port that the exchange engine uses, and nothing more. The
// application binds them to the real serial-port component; tests and fuzzers may bind them to
// a scripted port.

#include <cstdint>

namespace protocol {

class ExchangePort {
public:
    virtual ~ExchangePort() = default;

    // Opens the device; raises the port layer's error when it cannot be opened or set up.
    virtual void Open() = 0;
    virtual bool Connected() const = 0;
    // Closes the device; whatever was received and not read is lost.
    virtual void Close() = 0;
    // Discards the receive queue (input) and/or the transmit queue (output).
    virtual void ClearBuffer(bool input, bool output) = 0;
    // Blocks until the device has taken the bytes or the write time-out has passed.
    virtual int Write(const std::uint8_t* buffer, int count) = 0;
    // Bytes waiting in the receive queue.
    virtual int InputCount() = 0;
    // Returns at once with at most `count` of the bytes already waiting.
    virtual int Read(std::uint8_t* buffer, int count) = 0;
};

} // namespace protocol
