// The device itself on the POSIX backend: unread input lost with Close, exclusive opening (the
// UUCP lock file, other holders), and the settings the kernel has no switch for, emulated.
#include "serial/com_error.h"
#include "serial/com_port.h"
#include "serial/uucp_lock.h"

#include "tests/serial/holder_process.h"
#include "tests/serial/posix_line_fixture.h"
#include "tests/serial/temp_folder.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace serial;
using namespace lirat_test;

// Rows print as their names (posix_line_fixture.h).
using lirat_test::PrintTo;
using serial::testing::TempFolder;
namespace fs = std::filesystem;

void WaitForInput(TComPort& port, int count) {
    for (int i = 0; i < 200 && port.InputCount() < count; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

// ---- Close discards what is unread ----

struct UnreadRow {
    const char* name;
    bool eventThread;
    bool sentWhileClosed; // else sent while open and left unread
};

class UnreadInput : public ::testing::TestWithParam<UnreadRow> {};

TEST_P(UnreadInput, IsGoneAtTheNextOpen) {
    const UnreadRow& r = GetParam();
    ModelledLine line(LineKind::Pty);
    if (r.eventThread) {
        line.port.SetEvents({evRx80Full});
        line.port.SetSyncMethod(smNone);
    }
    line.port.Open();
    if (!r.sentWhileClosed) {
        line.pty.Send("abc");
        WaitForInput(line.port, 3);
        ASSERT_EQ(line.port.InputCount(), 3);
    }
    line.port.Close();
    if (r.sentWhileClosed)
        line.pty.Send("abc");
    line.port.Open();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    char buffer[8];
    EXPECT_EQ(line.port.Read(buffer, 8), 0);
    line.pty.Send("d");
    WaitForInput(line.port, 1);
    EXPECT_EQ(line.port.Read(buffer, 8), 1) << "the line still works";
}

INSTANTIATE_TEST_SUITE_P(Rows, UnreadInput,
                         ::testing::Values(UnreadRow{"open_no_thread", false, false},
                                           UnreadRow{"open_event_thread", true, false},
                                           UnreadRow{"closed_no_thread", false, true},
                                           UnreadRow{"closed_event_thread", true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- exclusive open ----

TEST(UucpLock, FileNames) {
    EXPECT_EQ(backend::posix::LockFileName("/dev/ttyUSB0"), "LCK..ttyUSB0");
    EXPECT_EQ(backend::posix::LockFileName("/dev/pts/3"), "LCK..pts_3");
    EXPECT_EQ(backend::posix::LockFileName("/tmp/odd/ttyX"), "LCK..ttyX");
}

class LockFolderFixture : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("LIRAT5_LOCK_DIR", folder_.Path().c_str(), 1); }
    void TearDown() override { ::unsetenv("LIRAT5_LOCK_DIR"); }
    fs::path LockFile(const std::string& device) const {
        return folder_.Path() / backend::posix::LockFileName(device);
    }
    static void WritePid(const fs::path& file, long pid) {
        std::ofstream out(file);
        char text[16];
        std::snprintf(text, sizeof text, "%10ld\n", pid);
        out << text;
    }
    static std::string Read(const fs::path& file) {
        std::ifstream in(file);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    TempFolder folder_;
};

TEST_F(LockFolderFixture, OpenTakesTheLockAndCloseGivesItBack) {
    ModelledLine line(LineKind::Pty);
    line.port.Open();
    char want[16];
    std::snprintf(want, sizeof want, "%10ld\n", static_cast<long>(::getpid()));
    EXPECT_EQ(Read(LockFile(line.pty.DevicePath())), want);
    line.port.Close();
    EXPECT_FALSE(fs::exists(LockFile(line.pty.DevicePath())));
}

struct HolderRow {
    const char* name;
    LineKind line;
    enum { LiveLock, StaleLock, GarbageLock, OpenWithoutLock } holder;
    bool opens;
};

class OtherHolders : public LockFolderFixture, public ::testing::WithParamInterface<HolderRow> {};

TEST_P(OtherHolders, DecideWhetherOpenSucceeds) {
    const HolderRow& r = GetParam();
    ModelledLine line(r.line);
    const std::string device = line.pty.DevicePath();
    const fs::path lock = LockFile(device);
    Holder holder([&] {
        return r.holder != HolderRow::OpenWithoutLock ||
               ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK) >= 0;
    });
    ASSERT_TRUE(holder.Ok());
    switch (r.holder) {
    case HolderRow::LiveLock:
        WritePid(lock, holder.Pid());
        break;
    case HolderRow::StaleLock: {
        long dead = holder.Pid();
        holder.End();
        WritePid(lock, dead);
        break;
    }
    case HolderRow::GarbageLock:
        std::ofstream(lock) << "not a pid\n";
        break;
    case HolderRow::OpenWithoutLock:
        break;
    }
    if (r.opens) {
        EXPECT_NO_THROW(line.port.Open());
        EXPECT_TRUE(line.port.Connected());
        if (r.holder != HolderRow::OpenWithoutLock) {
            EXPECT_EQ(std::atoi(Read(lock).c_str()), ::getpid()) << "the lock is taken over";
        }
    } else {
        try {
            line.port.Open();
            ADD_FAILURE() << "opened a device someone else holds";
        } catch (const EComPort& e) {
            EXPECT_EQ(e.Code(), CError_OpenFailed);
            EXPECT_EQ(e.WinErrorCode(), EBUSY);
        }
        EXPECT_FALSE(line.port.Connected());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, OtherHolders,
    ::testing::Values(
        HolderRow{"live_lock", LineKind::Pty, HolderRow::LiveLock, false},
        HolderRow{"stale_lock", LineKind::Pty, HolderRow::StaleLock, true},
        HolderRow{"garbage_lock", LineKind::Pty, HolderRow::GarbageLock, true},
        // A pseudo-terminal's device side is held by whoever made the pair.
        HolderRow{"pty_open_without_lock", LineKind::Pty, HolderRow::OpenWithoutLock, true},
        HolderRow{"device_open_without_lock", LineKind::Uart, HolderRow::OpenWithoutLock, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UucpLock, UnusableFolderLeavesTheDeviceUsable) {
    TempFolder folder;
    const std::string notAFolder = (folder.Path() / "file").string();
    std::ofstream(notAFolder) << "x";
    for (const std::string& where : {(folder.Path() / "missing").string(), notAFolder}) {
        ::setenv("LIRAT5_LOCK_DIR", where.c_str(), 1);
        ModelledLine line(LineKind::Pty);
        EXPECT_NO_THROW(line.port.Open()) << where;
        EXPECT_TRUE(line.port.Connected()) << where;
    }
    ::unsetenv("LIRAT5_LOCK_DIR");
}

// ---- settings emulated in software ----

TEST(EmulatedSettings, RtsToggleRaisesRtsWhileTheBytesAreSent) {
    ModelledLine line(LineKind::Uart);
    line.port.FlowControl().SetControlRTS(rtsToggle);
    line.port.Open();
    EXPECT_FALSE(line.model->Rts()) << "RTS rests off";
    std::string bytes(48, 'r');
    EXPECT_EQ(line.port.Write(bytes.data(), 48), 48);
    EXPECT_FALSE(line.model->Rts()) << "RTS off again once the queue has drained";
    EXPECT_EQ(line.model->SentWithRtsOff(), 0u);
    EXPECT_EQ(line.pty.Receive(48, 300).size(), 48u);
}

struct ParityRow {
    const char* name;
    LineKind line;
    bool check, replace;
    std::string sent;
    std::set<std::size_t> errors;
    std::string want;
    bool reported; // LastErrors holds ceRxParity as the bytes arrive
};

class ParityInput : public ::testing::TestWithParam<ParityRow> {};

TEST_P(ParityInput, ArrivesAsWindowsDeliversIt) {
    const ParityRow& r = GetParam();
    ModelledLine line(r.line);
    line.port.Parity().SetBits(prEven);
    line.port.Parity().SetCheck(r.check);
    line.port.Parity().SetReplace(r.replace);
    line.port.Parity().SetReplaceChar('?');
    if (line.model)
        line.model->MarkParityErrors(r.errors);
    line.port.Open();
    line.pty.Send(r.sent);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    // The error is reported before the bytes are read: the read's own queue query clears it,
    // as on Windows.
    EXPECT_EQ(line.port.LastErrors().contains(ceRxParity), r.reported);
    std::string got;
    for (int i = 0; i < 100 && got.size() < r.want.size(); ++i) {
        char buffer[32];
        got.append(buffer, static_cast<std::size_t>(line.port.Read(buffer, sizeof buffer)));
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(got, r.want);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParityInput,
    ::testing::Values(
        ParityRow{"pty_ff_survives_marking",
                  LineKind::Pty,
                  true,
                  true,
                  std::string("a\xff"
                              "b",
                              3),
                  {},
                  std::string("a\xff"
                              "b",
                              3),
                  false},
        ParityRow{"uart_replaced", LineKind::Uart, true, true, "abcd", {1, 3}, "a?c?", true},
        ParityRow{
            "uart_check_without_replace", LineKind::Uart, true, false, "abcd", {1}, "abcd", true},
        ParityRow{"uart_no_check", LineKind::Uart, false, false, "abcd", {1}, "abcd", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EmulatedSettings, DsrSensitivityDropsInputWhileDsrIsOff) {
    for (LineKind kind : {LineKind::Pty, LineKind::Uart}) {
        ModelledLine line(kind);
        line.port.FlowControl().SetDSRSensitivity(true);
        if (line.model)
            line.model->SetInputLines(true, false);
        line.port.Open();
        line.pty.Send("abc");
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        char buffer[8];
        // A device without modem lines cannot say DSR is off: it keeps its input.
        EXPECT_EQ(line.port.Read(buffer, 8), kind == LineKind::Pty ? 3 : 0) << LineName(kind);
        if (line.model)
            line.model->SetInputLines(true, true);
        line.pty.Send("de");
        WaitForInput(line.port, 2);
        EXPECT_EQ(line.port.Read(buffer, 8), 2) << LineName(kind);
    }
}

TEST(EmulatedSettings, ModemLinesSetWhereThereAreSomeAndNoErrorWhereNot) {
    for (LineKind kind : {LineKind::Pty, LineKind::Uart}) {
        ModelledLine line(kind);
        line.port.Open();
        EXPECT_NO_THROW(line.port.SetDTR(true)) << LineName(kind);
        EXPECT_NO_THROW(line.port.SetRTS(true)) << LineName(kind);
        if (line.model) {
            EXPECT_TRUE(line.model->Dtr());
            EXPECT_TRUE(line.model->Rts());
            line.port.SetRTS(false);
            EXPECT_FALSE(line.model->Rts());
        } else {
            EXPECT_TRUE(line.port.Signals().empty());
        }
    }
}

} // namespace
