#include "protocol/tool_port_settings.h"

#include "serial/com_port.h"

namespace protocol {

void ConfigureToolPort(serial::TCustomComPort& port) {
    port.SetName("ComPort");
    port.SetBaudRate(serial::br9600);
    port.SetPort("COM1");
    port.Parity().SetBits(serial::prNone);
    port.SetStopBits(serial::sbOneStopBit);
    port.SetDataBits(serial::dbEight);
    port.SetEvents({serial::evRx80Full});
    port.FlowControl().SetOutCTSFlow(false);
    port.FlowControl().SetOutDSRFlow(false);
    port.FlowControl().SetControlDTR(serial::dtrDisable);
    port.FlowControl().SetControlRTS(serial::rtsDisable);
    port.FlowControl().SetXonXoffOut(false);
    port.FlowControl().SetXonXoffIn(false);
    port.SetSyncMethod(serial::smNone);
}

} // namespace protocol
