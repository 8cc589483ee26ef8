#pragma once
// The serial settings the tool gives its port before any settings file is read: the component
// named "ComPort" (the settings file's section) on COM1, 9600 bits per second, 8 data bits, no
// parity, one stop bit, DTR and RTS held off, no flow control, the event thread waiting for the
// 80 % mark only and running none of the tool's code (smNone). The window and the command line
// both start from here, so the two cannot drift apart.

namespace serial {
class TCustomComPort;
} // namespace serial

namespace protocol {

void ConfigureToolPort(serial::TCustomComPort& port);

} // namespace protocol
