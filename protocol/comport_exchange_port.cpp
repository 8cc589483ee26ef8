#include "protocol/comport_exchange_port.h"

#include "serial/com_port.h"

namespace protocol {

void ComPortExchangePort::Open() {
    port_.Open();
}

bool ComPortExchangePort::Connected() const {
    return port_.Connected();
}

void ComPortExchangePort::Close() {
    port_.Close();
}

void ComPortExchangePort::ClearBuffer(bool input, bool output) {
    port_.ClearBuffer(input, output);
}

int ComPortExchangePort::Write(const std::uint8_t* buffer, int count) {
    return port_.Write(buffer, count);
}

int ComPortExchangePort::InputCount() {
    return port_.InputCount();
}

int ComPortExchangePort::Read(std::uint8_t* buffer, int count) {
    return port_.Read(buffer, count);
}

} // namespace protocol
