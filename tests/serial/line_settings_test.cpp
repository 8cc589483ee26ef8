// The settings objects and the records a port builds from its properties, without a device.
#include "serial/com_port.h"
#include "serial/native_records.h"

#include <gtest/gtest.h>

namespace {

using namespace serial;

// Counts the apply requests the settings objects send to their port.
class CountingPort : public TComPort {
public:
    int dcb = 0, timeouts = 0, buffer = 0;
    void ApplyDCB() override { ++dcb; }
    void ApplyTimeouts() override { ++timeouts; }
    void ApplyBuffer() override { ++buffer; }
};

TEST(LineSettings, ToolSettingsGive9600EightNoneOneWithoutHandshaking) {
    TComPort port; // the tool's settings are the defaults plus Events and SyncMethod
    TDcbRecord dcb = BuildDcb(port);
    EXPECT_EQ(dcb.DCBlength, 28u);
    EXPECT_EQ(dcb.BaudRate, 9600u);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, 0);
    EXPECT_EQ(dcb.StopBits, 0);
    EXPECT_TRUE(dcb.fBinary);
    EXPECT_EQ(dcb.fDtrControl, 0);
    EXPECT_EQ(dcb.fRtsControl, 0);
    // Only the binary bit is set in the flag word: no parity check, no flow of any kind.
    EXPECT_EQ(dcb.Flags(), 1u);
    EXPECT_EQ(dcb.XonLim, 256);
    EXPECT_EQ(dcb.XoffLim, 256);
    EXPECT_EQ(dcb.XonChar, 17);
    EXPECT_EQ(dcb.XoffChar, 19);
    EXPECT_EQ(dcb.ErrorChar, 0);
    EXPECT_EQ(dcb.EvtChar, 0);
}

TEST(LineSettings, EveryRateMapsToItsNumber) {
    const std::uint32_t rates[] = {110,   300,   600,   1200,  2400,   4800,   9600,  14400,
                                   19200, 38400, 56000, 57600, 115200, 128000, 256000};
    TComPort port;
    for (int i = 0; i < 15; ++i) {
        port.SetBaudRate(static_cast<TBaudRate>(i + 1));
        EXPECT_EQ(BuildDcb(port).BaudRate, rates[i]) << "rate index " << i + 1;
    }
    port.SetBaudRate(brCustom);
    port.SetCustomBaudRate(250000);
    EXPECT_EQ(BuildDcb(port).BaudRate, 250000u);
}

TEST(LineSettings, FlagWordPutsEachSettingInItsBit) {
    TComPort port;
    port.Parity().SetCheck(true);
    port.Parity().SetReplace(true);
    port.Parity().SetReplaceChar('?');
    port.FlowControl().SetOutCTSFlow(true);
    port.FlowControl().SetOutDSRFlow(true);
    port.FlowControl().SetControlDTR(dtrHandshake);
    port.FlowControl().SetDSRSensitivity(true);
    port.FlowControl().SetTxContinueOnXoff(true);
    port.FlowControl().SetXonXoffOut(true);
    port.FlowControl().SetXonXoffIn(true);
    port.FlowControl().SetControlRTS(rtsToggle);
    port.SetDiscardNull(true);
    port.SetEventChar('\n');
    TDcbRecord dcb = BuildDcb(port);
    // binary 0, parity 1, cts 2, dsr 3, dtr 4-5 = 2, dsr sens 6, txcontinue 7, outx 8, inx 9,
    // error char 10, null 11, rts 12-13 = 3, abort on error 14 = 0.
    EXPECT_EQ(dcb.Flags(), 0x1u | 0x2u | 0x4u | 0x8u | (2u << 4) | 0x40u | 0x80u | 0x100u | 0x200u |
                               0x400u | 0x800u | (3u << 12));
    EXPECT_EQ(dcb.ErrorChar, '?');
    EXPECT_EQ(dcb.EvtChar, '\n');

    // Replacement without checking is no replacement, and the error character stays 0.
    port.Parity().SetCheck(false);
    dcb = BuildDcb(port);
    EXPECT_FALSE(dcb.fErrorChar);
    EXPECT_EQ(dcb.ErrorChar, 0);
}

TEST(LineSettings, TimeoutsPassMinusOneAsAllOnes) {
    TComPort port;
    TTimeoutsRecord t = BuildTimeouts(port);
    EXPECT_EQ(t.ReadIntervalTimeout, 0xFFFFFFFFu);
    EXPECT_EQ(t.ReadTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(t.ReadTotalTimeoutConstant, 0u);
    EXPECT_EQ(t.WriteTotalTimeoutMultiplier, 100u);
    EXPECT_EQ(t.WriteTotalTimeoutConstant, 1000u);
    port.Timeouts().SetWriteTotalConstant(-1);
    port.Timeouts().SetReadInterval(20);
    t = BuildTimeouts(port);
    EXPECT_EQ(t.WriteTotalTimeoutConstant, 0xFFFFFFFFu);
    EXPECT_EQ(t.ReadIntervalTimeout, 20u);
}

TEST(LineSettings, BufferSizesStayEvenAndSetTheXonXoffLimits) {
    struct Case {
        int given, stored;
    };
    const Case cases[] = {{1025, 1024}, {1023, 1022}, {1, 0}, {2, 2}, {0, 0}, {-3, -3}, {-4, -4}};
    for (const Case& c : cases) {
        TComPort port;
        port.Buffer().SetInputSize(c.given);
        port.Buffer().SetOutputSize(c.given);
        EXPECT_EQ(port.Buffer().InputSize(), c.stored) << c.given;
        EXPECT_EQ(port.Buffer().OutputSize(), c.stored) << c.given;
        EXPECT_EQ(BuildQueueSizes(port).InputSize, static_cast<std::uint32_t>(c.stored));
        if (c.stored >= 0) {
            EXPECT_EQ(BuildDcb(port).XonLim, c.stored / 4) << c.given;
        }
    }
    TComPort port;
    port.Buffer().SetInputSize(1023);
    EXPECT_EQ(BuildDcb(port).XonLim, 255);
    EXPECT_EQ(BuildDcb(port).XoffLim, 255);
}

struct SummaryCase {
    TRTSFlowControl rts;
    bool cts, xonIn, xonOut;
    TFlowControl want;
};

TEST(LineSettings, FlowControlSummaryFollowsItsFourFields) {
    const SummaryCase cases[] = {
        {rtsHandshake, true, false, false, fcHardware}, {rtsHandshake, true, true, false, fcCustom},
        {rtsHandshake, false, false, false, fcCustom},  {rtsDisable, false, true, true, fcSoftware},
        {rtsDisable, false, true, false, fcCustom},     {rtsEnable, false, true, true, fcCustom},
        {rtsDisable, false, false, false, fcNone},      {rtsEnable, false, false, false, fcCustom},
        {rtsDisable, true, false, false, fcCustom},     {rtsToggle, true, false, false, fcCustom},
    };
    for (const SummaryCase& c : cases) {
        TComFlowControl flow;
        flow.SetControlRTS(c.rts);
        flow.SetOutCTSFlow(c.cts);
        flow.SetXonXoffIn(c.xonIn);
        flow.SetXonXoffOut(c.xonOut);
        EXPECT_EQ(flow.FlowControl(), c.want)
            << "rts " << c.rts << " cts " << c.cts << " in " << c.xonIn << " out " << c.xonOut;
    }
}

TEST(LineSettings, SettingTheSummaryWritesTheFieldsAndAppliesOnce) {
    CountingPort port;
    TComFlowControl& flow = port.FlowControl();
    flow.SetXonXoffIn(true);
    port.dcb = 0;
    flow.SetFlowControl(fcHardware);
    EXPECT_EQ(flow.ControlRTS(), rtsHandshake);
    EXPECT_TRUE(flow.OutCTSFlow());
    EXPECT_FALSE(flow.XonXoffIn());
    EXPECT_FALSE(flow.XonXoffOut());
    EXPECT_EQ(flow.FlowControl(), fcHardware);
    EXPECT_EQ(port.dcb, 1);
    // DSR output flow and DTR play no part in the summary.
    flow.SetOutDSRFlow(true);
    flow.SetControlDTR(dtrEnable);
    EXPECT_EQ(flow.FlowControl(), fcHardware);

    flow.SetFlowControl(fcSoftware);
    EXPECT_EQ(flow.ControlRTS(), rtsDisable);
    EXPECT_FALSE(flow.OutCTSFlow());
    EXPECT_TRUE(flow.XonXoffIn() && flow.XonXoffOut());

    flow.SetControlRTS(rtsEnable);
    port.dcb = 0;
    flow.SetFlowControl(fcCustom); // changes nothing, still applies
    EXPECT_EQ(flow.ControlRTS(), rtsEnable);
    EXPECT_TRUE(flow.XonXoffIn());
    EXPECT_EQ(port.dcb, 1);

    flow.SetFlowControl(fcNone);
    EXPECT_EQ(flow.FlowControl(), fcNone);
    EXPECT_TRUE(flow.OutDSRFlow()); // untouched by the summary
}

TEST(LineSettings, SettersIgnoreEqualValuesAndAskTheirOwnGroup) {
    CountingPort port;
    port.Parity().SetBits(prNone);
    port.Timeouts().SetWriteTotalConstant(1000);
    port.Buffer().SetInputSize(1025); // stored as 1024, the current value
    port.SetBaudRate(br9600);
    port.SetPort("COM1");
    EXPECT_EQ(port.dcb + port.timeouts + port.buffer, 0);

    port.Parity().SetCheck(true);
    port.FlowControl().SetXonChar(1);
    port.SetStopBits(sbTwoStopBits);
    port.SetCustomBaudRate(300);
    port.SetEventChar('x');
    port.SetDiscardNull(true);
    port.SetDataBits(dbSeven);
    EXPECT_EQ(port.dcb, 7);
    port.Timeouts().SetReadInterval(0);
    EXPECT_EQ(port.timeouts, 1);
    port.Buffer().SetOutputSize(100);
    EXPECT_EQ(port.buffer, 1);
}

TEST(LineSettings, ObjectPropertiesAreCopiedAndApplied) {
    CountingPort port;
    TComParity parity;
    parity.SetBits(prMark);
    parity.SetReplaceChar('#');
    port.SetParity(parity);
    EXPECT_EQ(port.Parity().Bits(), prMark);
    EXPECT_EQ(port.Parity().ReplaceChar(), '#');
    EXPECT_EQ(port.dcb, 1);
    EXPECT_EQ(port.Parity().ComPort(), &port); // the copy keeps its own port

    TComTimeouts timeouts;
    timeouts.SetReadTotalConstant(77);
    port.SetTimeouts(timeouts);
    EXPECT_EQ(port.Timeouts().ReadTotalConstant(), 77);
    EXPECT_EQ(port.timeouts, 1);

    TComBuffer buffer;
    buffer.SetInputSize(4096);
    port.SetBuffer(buffer);
    EXPECT_EQ(port.Buffer().InputSize(), 4096);
    EXPECT_EQ(port.buffer, 1);

    TComFlowControl flow;
    flow.SetFlowControl(fcHardware);
    flow.SetXoffChar(0x7f);
    port.SetFlowControl(flow);
    EXPECT_EQ(port.FlowControl().FlowControl(), fcHardware);
    EXPECT_EQ(port.FlowControl().XoffChar(), 0x7f);
    EXPECT_EQ(port.dcb, 2);

    // AssignTo alone applies nothing.
    TComParity other;
    port.Parity().AssignTo(other);
    EXPECT_EQ(other.Bits(), prMark);
    EXPECT_EQ(other.ComPort(), nullptr);
}

TEST(LineSettings, ClosedPortAppliesNothingAndBracketsNest) {
    TComPort port;
    port.SetBaudRate(br115200); // closed: stored only, no device call, no error
    EXPECT_EQ(port.BaudRate(), br115200);
    port.BeginUpdate();
    port.BeginUpdate();
    EXPECT_EQ(port.UpdateDepth(), 2);
    port.EndUpdate();
    port.EndUpdate();
    port.EndUpdate();
    EXPECT_EQ(port.UpdateDepth(), 0);
}

} // namespace
