#pragma once

#include <map>
#include <string>

#include "serial/com_port.h"

namespace serial::testing {

// Every setting that the settings store can hold, read through the port's getters, so that
// two ports (or one port before and after) can be compared setting by setting.
inline std::map<std::string, std::string> StoredSettingsOf(const TCustomComPort& port) {
    const auto code = [](char c) { return std::to_string(static_cast<unsigned char>(c)); };
    const auto flag = [](bool b) { return std::string(b ? "true" : "false"); };
    const TComParity& parity = port.Parity();
    const TComFlowControl& flow = port.FlowControl();
    const TComTimeouts& t = port.Timeouts();
    return {
        {"Port", port.Port()},
        {"BaudRate", std::to_string(port.BaudRate())},
        {"CustomBaudRate", std::to_string(port.CustomBaudRate())},
        {"StopBits", std::to_string(port.StopBits())},
        {"DataBits", std::to_string(port.DataBits())},
        {"Parity", std::to_string(parity.Bits())},
        {"EventChar", code(port.EventChar())},
        {"DiscardNull", flag(port.DiscardNull())},
        {"Parity.Check", flag(parity.Check())},
        {"Parity.Replace", flag(parity.Replace())},
        {"Parity.ReplaceChar", code(parity.ReplaceChar())},
        {"Buffer.OutputSize", std::to_string(port.Buffer().OutputSize())},
        {"Buffer.InputSize", std::to_string(port.Buffer().InputSize())},
        {"Timeouts.ReadInterval", std::to_string(t.ReadInterval())},
        {"Timeouts.ReadTotalConstant", std::to_string(t.ReadTotalConstant())},
        {"Timeouts.ReadTotalMultiplier", std::to_string(t.ReadTotalMultiplier())},
        {"Timeouts.WriteTotalConstant", std::to_string(t.WriteTotalConstant())},
        {"Timeouts.WriteTotalMultiplier", std::to_string(t.WriteTotalMultiplier())},
        {"FlowControl.ControlRTS", std::to_string(flow.ControlRTS())},
        {"FlowControl.ControlDTR", std::to_string(flow.ControlDTR())},
        {"FlowControl.DSRSensitivity", flag(flow.DSRSensitivity())},
        {"FlowControl.OutCTSFlow", flag(flow.OutCTSFlow())},
        {"FlowControl.OutDSRFlow", flag(flow.OutDSRFlow())},
        {"FlowControl.TxContinueOnXoff", flag(flow.TxContinueOnXoff())},
        {"FlowControl.XonXoffIn", flag(flow.XonXoffIn())},
        {"FlowControl.XonXoffOut", flag(flow.XonXoffOut())},
        {"FlowControl.XoffChar", code(flow.XoffChar())},
        {"FlowControl.XonChar", code(flow.XonChar())},
    };
}

// The settings of `after` that differ from `before`, as "name: old -> new" lines.
inline std::string ChangedSettings(const std::map<std::string, std::string>& before,
                                   const std::map<std::string, std::string>& after) {
    std::string changes;
    for (const auto& [name, value] : after) {
        const auto old = before.find(name);
        if (old == before.end() || old->second != value) {
            changes +=
                name + ": " + (old == before.end() ? "?" : old->second) + " -> " + value + "\n";
        }
    }
    return changes;
}

// A port with a value other than the default in every stored setting.
inline void SetEveryStoredSetting(TCustomComPort& port) {
    port.SetPort("COM7");
    port.SetBaudRate(brCustom);
    port.SetCustomBaudRate(31250);
    port.SetStopBits(sbTwoStopBits);
    port.SetDataBits(dbSeven);
    port.SetEventChar('\r');
    port.SetDiscardNull(true);
    TComParity& parity = port.Parity();
    parity.SetBits(prMark);
    parity.SetCheck(true);
    parity.SetReplace(true);
    parity.SetReplaceChar('#');
    port.Buffer().SetOutputSize(4096);
    port.Buffer().SetInputSize(8192);
    TComTimeouts& t = port.Timeouts();
    t.SetReadInterval(5);
    t.SetReadTotalConstant(250);
    t.SetReadTotalMultiplier(3);
    t.SetWriteTotalConstant(-7);
    t.SetWriteTotalMultiplier(0);
    TComFlowControl& flow = port.FlowControl();
    flow.SetControlRTS(rtsToggle);
    flow.SetControlDTR(dtrHandshake);
    flow.SetDSRSensitivity(true);
    flow.SetOutCTSFlow(true);
    flow.SetOutDSRFlow(true);
    flow.SetTxContinueOnXoff(true);
    flow.SetXonXoffIn(true);
    flow.SetXonXoffOut(true);
    flow.SetXoffChar(static_cast<char>(255));
    flow.SetXonChar(' ');
}

} // namespace serial::testing
