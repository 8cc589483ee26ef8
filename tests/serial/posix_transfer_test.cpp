// Transfers with the Windows semantics on the POSIX backend: writes that complete when the device
// has sent the bytes, asynchronous transfers that go on in the background, and every row of the
// driver's read time-out table. Rows that need a transmit queue run over the UART model.
#include "serial/com_error.h"
#include "serial/com_port.h"
#include "serial/native_records.h"
#include "serial/transfer_rules.h"

#include "tests/serial/posix_line_fixture.h"

#include <gtest/gtest.h>

#include <ostream>

#include <chrono>
#include <string>
#include <thread>

namespace {

using namespace serial;
using namespace lirat_test;

// Rows print as their names (posix_line_fixture.h).
using lirat_test::PrintTo;
using Clock = std::chrono::steady_clock;
constexpr int kMax = -1; // MAXDWORD as the properties hold it

// ---- reads: the driver's COMMTIMEOUTS table ----

struct ReadRow {
    const char* name;
    int interval, multiplier, constant;
    const char* waiting; // bytes there before the read starts
    int laterAtMs;       // -1: nothing more; else more bytes come this long after the start
    const char* later;
    int count;
    int wantMin, wantMax;   // bytes the read returns
    long long minMs, maxMs; // how long it takes
};

class ReadTimeouts : public ::testing::TestWithParam<ReadRow> {};

TEST_P(ReadTimeouts, EndAsTheDriverEndsThem) {
    const ReadRow& r = GetParam();
    ModelledLine line(LineKind::Pty);
    line.port.Timeouts().SetReadInterval(r.interval);
    line.port.Timeouts().SetReadTotalMultiplier(r.multiplier);
    line.port.Timeouts().SetReadTotalConstant(r.constant);
    line.port.Open();
    line.pty.Send(r.waiting);
    for (int i = 0; i < 200 && line.port.InputCount() < static_cast<int>(strlen(r.waiting)); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::thread sender;
    if (r.laterAtMs >= 0)
        sender = std::thread([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(r.laterAtMs));
            line.pty.Send(r.later);
        });
    char buffer[64];
    auto start = Clock::now();
    int got = line.port.Read(buffer, r.count);
    long long took = MillisecondsSince(start);
    if (sender.joinable())
        sender.join();
    EXPECT_GE(got, r.wantMin);
    EXPECT_LE(got, r.wantMax);
    EXPECT_GE(took, r.minMs);
    EXPECT_LE(took, r.maxMs);
}

// "At once" is below 150 ms; a wait is at least 80 % of its length. Generous, since the test
// machine may be busy.
INSTANTIATE_TEST_SUITE_P(
    Rows, ReadTimeouts,
    ::testing::Values(
        ReadRow{"max_0_0_waiting", kMax, 0, 0, "ab", -1, "", 10, 2, 2, 0, 150},
        ReadRow{"max_0_0_nothing", kMax, 0, 0, "", -1, "", 10, 0, 0, 0, 150},
        ReadRow{"max_max_0_nothing", kMax, kMax, 0, "", -1, "", 10, 0, 0, 0, 150},
        ReadRow{"max_max_0_waiting", kMax, kMax, 0, "ab", -1, "", 10, 2, 2, 0, 150},
        ReadRow{"max_max_c_waiting", kMax, kMax, 400, "ab", -1, "", 10, 2, 2, 0, 150},
        ReadRow{"max_max_c_first_byte", kMax, kMax, 1000, "", 100, "xyz", 10, 1, 3, 80, 600},
        ReadRow{"max_max_c_nothing", kMax, kMax, 300, "", -1, "", 10, 0, 0, 240, 1500},
        ReadRow{"max_0_c_waiting", kMax, 0, 1500, "ab", -1, "", 10, 2, 2, 0, 150},
        ReadRow{"max_0_c_waits_whole_total", kMax, 0, 300, "", 100, "xyz", 10, 3, 3, 240, 1500},
        ReadRow{"max_m_c_total_by_count", kMax, 10, 200, "", -1, "", 10, 0, 0, 240, 1500},
        ReadRow{"max_m_max_no_timeout", kMax, 10, kMax, "", 100, "xyz", 3, 3, 3, 80, 1500},
        ReadRow{"max_max_max_no_timeout", kMax, kMax, kMax, "", 100, "xyz", 3, 3, 3, 80, 1500},
        ReadRow{"total_with_too_few", 0, 0, 300, "ab", -1, "", 10, 2, 2, 240, 1500},
        ReadRow{"total_with_enough", 0, 0, 3000, "0123456789", -1, "", 10, 10, 10, 0, 150},
        ReadRow{"total_multiplier_only", 0, 30, 0, "", -1, "", 10, 0, 0, 240, 1500},
        ReadRow{"interval_after_bytes", 50, 0, 0, "abc", -1, "", 10, 3, 3, 40, 1000},
        ReadRow{"interval_starts_at_first_byte", 50, 0, 0, "", 150, "xyz", 10, 3, 3, 160, 1500},
        ReadRow{"interval_before_total", 50, 0, 3000, "abc", -1, "", 10, 3, 3, 40, 1000},
        ReadRow{"no_timeouts_wait_for_count", 0, 0, 0, "", 100, "xyz", 3, 3, 3, 80, 1500}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- writes: complete when sent, or at the time-out with what was sent ----

struct WriteRow {
    const char* name;
    LineKind line;
    int baud;
    bool ctsLow, xoff, ctsFlow, xonXoff;
    int count;
    int multiplier, constant; // write time-outs
    int wantMin, wantMax;     // the count Write returns, and the bytes the far end then gets
    long long minMs;          // a write at least this long (the bytes take their time)
};

class WriteCompletion : public ::testing::TestWithParam<WriteRow> {};

TEST_P(WriteCompletion, CountsWhatTheDeviceSent) {
    const WriteRow& r = GetParam();
    ModelledLine line(r.line);
    line.port.SetBaudRate(brCustom);
    line.port.SetCustomBaudRate(r.baud);
    line.port.FlowControl().SetOutCTSFlow(r.ctsFlow);
    line.port.FlowControl().SetXonXoffOut(r.xonXoff);
    line.port.Timeouts().SetWriteTotalMultiplier(r.multiplier);
    line.port.Timeouts().SetWriteTotalConstant(r.constant);
    if (line.model) {
        line.model->SetInputLines(!r.ctsLow, true);
        line.model->ReceiveFlowControl(r.xoff);
    }
    line.port.Open();
    std::string bytes(static_cast<std::size_t>(r.count), 'w');
    auto start = Clock::now();
    int sent = line.port.Write(bytes.data(), r.count);
    long long took = MillisecondsSince(start);
    EXPECT_GE(sent, r.wantMin);
    EXPECT_LE(sent, r.wantMax);
    EXPECT_GE(took, r.minMs);
    if (line.model) {
        EXPECT_EQ(line.model->Queued(), 0u) << "an unsent rest stays behind";
        // The line starting again sends nothing that Write did not count.
        line.model->SetInputLines(true, true);
        line.model->ReceiveFlowControl(false);
    }
    EXPECT_EQ(line.pty.Receive(static_cast<std::size_t>(r.count), 300).size(),
              static_cast<std::size_t>(sent));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WriteCompletion,
    ::testing::Values(WriteRow{"pty_at_once", LineKind::Pty, 9600, false, false, false, false, 32,
                               100, 1000, 32, 32, 0},
                      WriteRow{"uart_waits_until_sent", LineKind::Uart, 9600, false, false, false,
                               false, 96, 100, 1000, 96, 96, 80},
                      WriteRow{"uart_cts_low_sends_nothing", LineKind::Uart, 9600, true, false,
                               true, false, 32, 0, 300, 0, 0, 240},
                      WriteRow{"uart_cts_low_without_cts_flow", LineKind::Uart, 9600, true, false,
                               false, false, 32, 0, 300, 32, 32, 25},
                      WriteRow{"uart_xoff_received", LineKind::Uart, 9600, false, true, false, true,
                               32, 0, 300, 0, 0, 240},
                      WriteRow{"uart_xoff_without_xon_xoff", LineKind::Uart, 9600, false, true,
                               false, false, 32, 0, 300, 32, 32, 25},
                      WriteRow{"uart_timeout_sends_part", LineKind::Uart, 1200, false, false, false,
                               false, 100, 0, 300, 10, 60, 240},
                      WriteRow{"uart_stalled_with_defaults", LineKind::Uart, 9600, true, false,
                               true, false, 2, 100, 1000, 0, 0, 1100}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- asynchronous transfers go on by themselves ----

TEST(AsyncTransfers, LargeWriteProceedsWhileTheCallerIsAway) {
    ModelledLine line(LineKind::Pty);
    line.port.Open();
    const int size = 100000;
    std::string far;
    std::thread reader([&] { far = line.pty.Receive(size, 5000); });
    std::string bytes(size, 'a');
    PAsync async = nullptr;
    InitAsync(async);
    line.port.WriteAsync(bytes.data(), size, async);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_TRUE(line.port.IsAsyncCompleted(async));
    auto start = Clock::now();
    EXPECT_EQ(line.port.WaitForAsync(async), size);
    EXPECT_LE(MillisecondsSince(start), 150);
    DoneAsync(async);
    reader.join();
    EXPECT_EQ(far.size(), static_cast<std::size_t>(size));
}

TEST(AsyncTransfers, TimedOutWriteEndsFromItsStartWithWhatWasSent) {
    ModelledLine line(LineKind::Uart);
    line.port.SetBaudRate(br2400);
    line.port.Timeouts().SetWriteTotalMultiplier(0);
    line.port.Timeouts().SetWriteTotalConstant(300);
    line.port.Open();
    std::string bytes(200, 'b');
    PAsync async = nullptr;
    InitAsync(async);
    line.port.WriteAsync(bytes.data(), 200, async);
    std::this_thread::sleep_for(std::chrono::milliseconds(900));
    EXPECT_TRUE(line.port.IsAsyncCompleted(async));
    auto start = Clock::now();
    int sent = line.port.WaitForAsync(async);
    EXPECT_LE(MillisecondsSince(start), 150);
    DoneAsync(async);
    EXPECT_GT(sent, 20);
    EXPECT_LT(sent, 150);
    EXPECT_EQ(line.pty.Receive(200, 300).size(), static_cast<std::size_t>(sent));
}

struct AsyncReadRow {
    const char* name;
    int sendAtMs; // -1: nothing comes
    int want;
};

class AsyncRead : public ::testing::TestWithParam<AsyncReadRow> {};

TEST_P(AsyncRead, EndsInTheBackgroundAtItsCountOrTimeout) {
    const AsyncReadRow& r = GetParam();
    ModelledLine line(LineKind::Pty);
    line.port.Timeouts().SetReadInterval(0);
    line.port.Timeouts().SetReadTotalConstant(400);
    line.port.Open();
    char buffer[16] = {};
    PAsync async = nullptr;
    InitAsync(async);
    line.port.ReadAsync(buffer, 10, async);
    if (r.sendAtMs >= 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(r.sendAtMs));
        line.pty.Send("0123456789");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    EXPECT_TRUE(line.port.IsAsyncCompleted(async));
    auto start = Clock::now();
    EXPECT_EQ(line.port.WaitForAsync(async), r.want);
    EXPECT_LE(MillisecondsSince(start), 150);
    DoneAsync(async);
}

INSTANTIATE_TEST_SUITE_P(Rows, AsyncRead,
                         ::testing::Values(AsyncReadRow{"bytes_come", 100, 10},
                                           AsyncReadRow{"nothing_comes", -1, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AsyncTransfers, AbortEndsAPendingReadAndClosingEndsTheRest) {
    ModelledLine line(LineKind::Pty);
    line.port.Timeouts().SetReadInterval(0);
    line.port.Open();
    char buffer[8];
    PAsync aborted = nullptr;
    InitAsync(aborted);
    line.port.ReadAsync(buffer, 8, aborted);
    line.port.AbortAllAsync();
    EXPECT_THROW(line.port.WaitForAsync(aborted), EComPort);
    line.port.ReadAsync(buffer, 8, aborted);
    line.port.Close();
    EXPECT_THROW(line.port.WaitForAsync(aborted), EComPort);
    DoneAsync(aborted);
}

// ---- the parity-mark decoding on its own ----

TEST(ParityMarks, DecodeAcrossReads) {
    struct Row {
        const char* name;
        std::string first, second, want;
        std::uint32_t errors;
    };
    const Row rows[] = {
        {"plain", "abc", "", "abc", 0},
        {"doubled_ff", std::string("a\xff\xff", 3), "b",
         std::string("a\xff"
                     "b",
                     3),
         0},
        {"error_byte", std::string("a\xff\0x", 4), "", "a?", 1},
        {"marker_cut_after_ff", std::string("a\xff", 2), std::string("\0xb", 3), "a?b", 1},
        {"marker_cut_after_zero", std::string("\xff\0", 2), "xy", "?y", 1},
        {"ff_cut_before_its_double", "\xff", "\xff", "\xff", 0},
    };
    for (const Row& r : rows) {
        backend::posix::MarkState state;
        std::uint32_t errors = 0;
        std::string a = r.first, b = r.second;
        a.resize(backend::posix::DecodeParityMarks(a.data(), a.size(), state, '?', errors));
        b.resize(backend::posix::DecodeParityMarks(b.data(), b.size(), state, '?', errors));
        EXPECT_EQ(a + b, r.want) << r.name;
        EXPECT_EQ(errors, r.errors) << r.name;
    }
}

} // namespace
