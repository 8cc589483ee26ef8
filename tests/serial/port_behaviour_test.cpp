// The port over a real pseudo-terminal: natively through openpty, under Wine through a Wine
// COM name linked to a pseudo-terminal (see far_end.h). The same cases run on both backends.
#include "protocol/tool_port_settings.h"
#include "serial/com_port.h"

#include "tests/serial/far_end_test.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace serial;
using Clock = std::chrono::steady_clock;
using lirat_test::FarEnd;

long long MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// Waits until the port's receive queue holds at least count bytes.
bool WaitForInput(TCustomComPort& port, int count, int timeoutMs = 3000) {
    auto start = Clock::now();
    while (MsSince(start) < timeoutMs) {
        if (port.InputCount() >= count)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// Records the hooks and the apply operations in the order they run.
class RecordingPort : public TComPort {
public:
    std::vector<std::string> calls;
    void DoBeforeOpen() override { calls.push_back("BeforeOpen"); }
    void DoAfterOpen() override { calls.push_back("AfterOpen"); }
    void DoBeforeClose() override { calls.push_back("BeforeClose"); }
    void DoAfterClose() override { calls.push_back("AfterClose"); }
    void ApplyBuffer() override {
        if (UpdateDepth() == 0 && Connected())
            calls.push_back("ApplyBuffer");
        TComPort::ApplyBuffer();
    }
    void ApplyDCB() override {
        if (UpdateDepth() == 0 && Connected())
            calls.push_back("ApplyDCB");
        TComPort::ApplyDCB();
    }
    void ApplyTimeouts() override {
        if (UpdateDepth() == 0 && Connected())
            calls.push_back("ApplyTimeouts");
        TComPort::ApplyTimeouts();
    }
};

// The tool's own port, on the far end's device.
class PortOverPty : public lirat_test::FarEndTest {
protected:
    void SetUp() override {
        FarEndTest::SetUp();
        if (IsSkipped())
            return;
        protocol::ConfigureToolPort(port);
        port.SetPort(far->PortName());
    }

    RecordingPort port;
};

TEST_F(PortOverPty, ToolSettingsReachTheDevice) {
    port.Open();
    ASSERT_TRUE(port.Connected());
    lirat_test::DeviceLine line = far->Line();
    EXPECT_EQ(line.baud, 9600u);
    EXPECT_EQ(line.dataBits, 8);
    EXPECT_EQ(line.parity, 'N');
    EXPECT_EQ(line.parity, 'N');
    EXPECT_EQ(line.stopBits, 1);
    EXPECT_FALSE(line.crtscts);
    EXPECT_FALSE(line.ixon);
    EXPECT_FALSE(line.ixoff);
    // A pseudo-terminal has no modem lines: they read as off instead of failing the open.
    EXPECT_TRUE(port.Signals().empty());
}

struct LineCase {
    const char* name;
    TBaudRate baud;
    TDataBits dataBits;
    TParityBits parity;
    TStopBits stopBits;
    TFlowControl flow;
    std::uint32_t wantBaud;
    int wantBits;
    char wantParity;
    int wantStop;
    bool wantCrtscts;
    bool wantXon;
};

class DeviceLineSettings : public PortOverPty, public ::testing::WithParamInterface<LineCase> {};

TEST_P(DeviceLineSettings, HasWhatWasAsked) {
    const LineCase& c = GetParam();
    if (lirat_test::UnderWine() && (c.wantBaud == 14400 || c.wantBaud == 256000))
        GTEST_SKIP() << "Wine sets rates without a termios constant through the serial driver's "
                        "custom divisor, which a pseudo-terminal does not have";
    port.SetBaudRate(c.baud);
    port.SetDataBits(c.dataBits);
    port.Parity().SetBits(c.parity);
    port.SetStopBits(c.stopBits);
    port.FlowControl().SetFlowControl(c.flow);
    port.Open();
    lirat_test::DeviceLine line = far->Line();
    EXPECT_EQ(line.baud, c.wantBaud);
    // A pseudo-terminal keeps 8 data bits without parity whatever it is asked (the kernel's pty
    // driver resets both); the POSIX mapping test checks what the backend asks for instead.
    if (line.dataBits != 8 || line.parity != 'N') {
        EXPECT_EQ(line.dataBits, c.wantBits);
        EXPECT_EQ(line.parity, c.wantParity);
    }
    EXPECT_EQ(line.stopBits, c.wantStop);
    EXPECT_EQ(line.crtscts, c.wantCrtscts);
    EXPECT_EQ(line.ixon, c.wantXon);
    EXPECT_EQ(line.ixoff, c.wantXon);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DeviceLineSettings,
    ::testing::Values(LineCase{"slowest_7E2", br110, dbSeven, prEven, sbTwoStopBits, fcNone, 110, 7,
                               'E', 2, false, false},
                      LineCase{"fast_8O1_hardware", br115200, dbEight, prOdd, sbOneStopBit,
                               fcHardware, 115200, 8, 'O', 1, true, false},
                      LineCase{"five_bits_software", br1200, dbFive, prNone, sbOne5StopBits,
                               fcSoftware, 1200, 5, 'N', 2, false, true},
                      LineCase{"six_bits_mark", br4800, dbSix, prMark, sbOneStopBit, fcNone, 4800,
                               6, 'M', 1, false, false},
                      LineCase{"space_parity", br19200, dbSeven, prSpace, sbOneStopBit, fcNone,
                               19200, 7, 'S', 1, false, false},
                      LineCase{"rate_without_constant", br14400, dbEight, prNone, sbOneStopBit,
                               fcNone, 14400, 8, 'N', 1, false, false},
                      LineCase{"highest_rate", br256000, dbEight, prNone, sbOneStopBit, fcNone,
                               256000, 8, 'N', 1, false, false}),
    [](const ::testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

TEST_F(PortOverPty, ChangesOnOpenPortApplyAtOnceAndBracketAppliesOnceInOrder) {
    port.Open();
    port.calls.clear();
    port.SetBaudRate(br19200);
    EXPECT_EQ(far->Line().baud, 19200u);
    EXPECT_EQ(port.calls, (std::vector<std::string>{"ApplyDCB"}));

    port.calls.clear();
    port.BeginUpdate();
    port.Timeouts().SetReadTotalConstant(5);
    port.SetBaudRate(br57600);
    port.Buffer().SetInputSize(2048);
    EXPECT_TRUE(port.calls.empty());
    EXPECT_EQ(far->Line().baud, 19200u); // nothing applied inside the bracket
    port.EndUpdate();
    EXPECT_EQ(port.calls, (std::vector<std::string>{"ApplyBuffer", "ApplyDCB", "ApplyTimeouts"}));
    EXPECT_EQ(far->Line().baud, 57600u);

    port.calls.clear();
    port.EndUpdate(); // without BeginUpdate: nothing
    EXPECT_TRUE(port.calls.empty());
    EXPECT_EQ(port.UpdateDepth(), 0);
}

TEST_F(PortOverPty, OpenAndCloseAreIdempotent) {
    port.Open();
    port.Open();
    port.Close();
    port.Close();
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(port.calls,
              (std::vector<std::string>{"BeforeOpen", "ApplyBuffer", "ApplyDCB", "ApplyTimeouts",
                                        "AfterOpen", "BeforeClose", "AfterClose"}));
}

TEST_F(PortOverPty, MissingDeviceRaisesCodeOneWithErrorTwo) {
    port.SetPort(lirat_test::MissingPortName());
    try {
        port.Open();
        FAIL() << "Open of a missing device succeeded";
    } catch (const EComPort& e) {
        EXPECT_EQ(e.Code(), 1);
        EXPECT_EQ(e.WinErrorCode(), 2);
        EXPECT_STREQ(e.what(), "Unable to open com port (win error code: 2)");
    }
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(port.calls, (std::vector<std::string>{"BeforeOpen"}));
}

TEST_F(PortOverPty, ReadReturnsWhatWaitsAtOnce) {
    port.Open();
    char buf[31];
    EXPECT_EQ(port.Read(buf, 31), 0);

    far->Send("ABCDE");
    ASSERT_TRUE(WaitForInput(port, 5));
    ASSERT_EQ(port.Read(buf, 31), 5);
    EXPECT_EQ(std::string(buf, 5), "ABCDE");
    EXPECT_EQ(port.InputCount(), 0);
}

TEST_F(PortOverPty, WriteAndStringFormsMoveBytesBothWays) {
    port.Open();
    std::string command = "$8\r\n";
    command.resize(32, 'x');
    EXPECT_EQ(port.Write(command.data(), 32), 32);
    EXPECT_EQ(far->Receive(32, 3000), command);

    EXPECT_EQ(port.WriteStr(""), 0);
    EXPECT_EQ(port.WriteStr("#K\r\n"), 4);
    EXPECT_EQ(far->Receive(4, 3000), "#K\r\n");

    far->Send("!00\r");
    ASSERT_TRUE(WaitForInput(port, 4));
    std::string reply = "left over";
    EXPECT_EQ(port.ReadStr(reply, 31), 4);
    EXPECT_EQ(reply, "!00\r");
}

TEST_F(PortOverPty, ClearBufferDiscardsOnlyTheReceiveQueueWhenAsked) {
    port.Open();
    far->Send("12345");
    ASSERT_TRUE(WaitForInput(port, 5));
    port.ClearBuffer(true, false);
    EXPECT_EQ(port.InputCount(), 0);
    // The transmit side still works after a receive-only purge.
    EXPECT_EQ(port.WriteStr("ok"), 2);
    EXPECT_EQ(far->Receive(2, 3000), "ok");

    far->Send("678");
    ASSERT_TRUE(WaitForInput(port, 3));
    port.ClearBuffer(true, true);
    EXPECT_EQ(port.InputCount(), 0);
    port.ClearBuffer(false, false); // purges nothing and fails nothing
}

TEST_F(PortOverPty, QueriesAfterCloseRaiseWithInvalidHandle) {
    port.Open();
    port.Close();
    try {
        port.InputCount();
        FAIL() << "InputCount on a closed port succeeded";
    } catch (const EComPort& e) {
        EXPECT_EQ(e.Code(), 10);
#ifdef _WIN32
        EXPECT_EQ(e.WinErrorCode(), 6);
#else
        EXPECT_EQ(e.WinErrorCode(), 9); // EBADF
#endif
    }
    EXPECT_THROW(port.ClearBuffer(true, true), EComPort);
    char c = 0;
    EXPECT_THROW(port.Read(&c, 1), EComPort);
}

TEST_F(PortOverPty, SyncMethodIsRefusedOnAnOpenPort) {
    port.Open();
    try {
        port.SetSyncMethod(smWindowSync);
        FAIL() << "SyncMethod changed on an open port";
    } catch (const EComPort& e) {
        EXPECT_EQ(e.Code(), 14);
        EXPECT_STREQ(e.what(), "Cannot set property while connected");
        EXPECT_EQ(e.WinErrorCode(), -1);
    }
    EXPECT_EQ(port.SyncMethod(), smNone);
    EXPECT_THROW(port.SetEventThreadPriority(tpHigher), EComPort);
    port.Close();
    port.SetSyncMethod(smWindowSync);
    EXPECT_EQ(port.SyncMethod(), smWindowSync);
}

TEST_F(PortOverPty, SecondOpenOfTheSameDeviceFails) {
    if (lirat_test::UnderWine())
        GTEST_SKIP() << "Wine does not hold a COM device exclusively (Windows' own drivers do)";
    port.Open();
    TComPort second;
    second.SetEvents({});
    second.SetPort(far->PortName());
    try {
        second.Open();
        FAIL() << "the device was opened twice";
    } catch (const EComPort& e) {
        EXPECT_EQ(e.Code(), 1);
    }
    EXPECT_FALSE(second.Connected());
    // Once the first port lets go, the device can be opened again.
    port.Close();
    second.Open();
    EXPECT_TRUE(second.Connected());
}

TEST_F(PortOverPty, ChangingPortClosesAndReopensOnTheNewDevice) {
    std::string whyNot;
    std::unique_ptr<FarEnd> other = lirat_test::MakeFarEnd(whyNot);
    ASSERT_TRUE(other) << whyNot;
    port.Open();
    port.calls.clear();
    port.SetPort(far->PortName()); // the same text: nothing happens
    EXPECT_TRUE(port.calls.empty());

    port.SetPort(other->PortName());
    EXPECT_TRUE(port.Connected());
    EXPECT_EQ(port.calls,
              (std::vector<std::string>{"BeforeClose", "AfterClose", "BeforeOpen", "ApplyBuffer",
                                        "ApplyDCB", "ApplyTimeouts", "AfterOpen"}));
    EXPECT_EQ(port.WriteStr("new"), 3);
    EXPECT_EQ(other->Receive(3, 3000), "new");
}

TEST_F(PortOverPty, StalledLineEndsTheWriteAfterItsTimeout) {
    port.FlowControl().SetXonXoffOut(true);
    port.Timeouts().SetWriteTotalMultiplier(10);
    port.Timeouts().SetWriteTotalConstant(200);
    port.Open();
    far->Send("\x13"); // Xoff: the device must stop sending
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    std::string block(32, 'z');
    auto start = Clock::now();
    int written = port.Write(block.data(), static_cast<int>(block.size()));
    long long took = MsSince(start);
    // The write returns without raising, with what was sent, after 10 * 32 + 200 = 520 ms.
    EXPECT_LT(written, 32);
    EXPECT_GE(took, 300);
    far->Send("\x11"); // Xon: the rest goes out again
    EXPECT_EQ(port.WriteStr("go"), 2);
}

TEST_F(PortOverPty, FarEndGoingAwaySurfacesAsAnErrorAndCloseStillWorks) {
    port.Open();
    far->Send("ab");
    ASSERT_TRUE(WaitForInput(port, 2));
    far->CloseFarSide();
    bool raised = false;
    std::string block(256, 'q');
    char buf[64];
    auto start = Clock::now();
    while (!raised && MsSince(start) < 5000) {
        try {
            port.Read(buf, sizeof buf);
            port.Write(block.data(), static_cast<int>(block.size()));
            port.InputCount();
        } catch (const EComPort& e) {
            raised = true;
            EXPECT_TRUE(e.Code() == 2 || e.Code() == 3 || e.Code() == 10) << e.what();
        }
    }
    EXPECT_TRUE(raised) << "the lost far end never surfaced as an error";
    EXPECT_NO_THROW(port.Close());
    EXPECT_FALSE(port.Connected());
}

} // namespace
