#pragma once
// The exchange engine's port bound to the serial-port component that the main window owns, and
// (tool_port_settings.h) the settings that component gets from the tool.

#include "protocol/exchange_port.h"
#include "protocol/tool_port_settings.h"

namespace serial {
class TCustomComPort;
} // namespace serial

namespace protocol {

class ComPortExchangePort : public ExchangePort {
public:
    explicit ComPortExchangePort(serial::TCustomComPort& port) : port_(port) {}

    void Open() override;
    bool Connected() const override;
    void Close() override;
    void ClearBuffer(bool input, bool output) override;
    int Write(const std::uint8_t* buffer, int count) override;
    int InputCount() override;
    int Read(std::uint8_t* buffer, int count) override;

    serial::TCustomComPort& Port() const { return port_; }

private:
    serial::TCustomComPort& port_;
};

} // namespace protocol
