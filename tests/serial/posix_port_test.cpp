// POSIX-only behaviour: port names, exclusive opening across processes, rates without a
// B-constant, and the settings that the backend emulates.
#include "serial/com_port.h"
#include "serial/native_records.h"
#include "serial/port_names.h"
#include "serial/termios_mapping.h"

#include "tests/serial/pty_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>

#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

using namespace serial;
namespace fs = std::filesystem;

// The port on the line, without events: these tests call the port themselves.
void OnLine(TComPort& port, const lirat_test::PtyLine& line) {
    port.SetEvents({});
    port.SetPort(line.DevicePath());
}

// A private mapping folder for one test, removed afterwards.
class MappingFolder {
public:
    MappingFolder() {
        folder_ = fs::temp_directory_path() /
                  ("lirat5-ports-" + std::to_string(::getpid()) + "-" + std::to_string(next_++));
        fs::remove_all(folder_);
        SetPortMappingFolder(folder_.string());
    }
    ~MappingFolder() {
        SetPortMappingFolder("");
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }
    const fs::path& Path() const { return folder_; }

private:
    static inline int next_ = 0;
    fs::path folder_;
};

TEST(PortNames, ResolutionRules) {
    MappingFolder folder;
    struct Case {
        const char* name;
        std::string want;
    };
    const Case cases[] = {
        {"COM1", "/dev/ttyS0"},
        {"com32", "/dev/ttyS31"},
        {"COM33", "/dev/ttyUSB0"},
        {"COM64", "/dev/ttyUSB31"},
        {"COM65", "/dev/ttyACM0"},
        {"COM96", "/dev/ttyACM31"},
        {"COM97", (folder.Path() / "COM97").string()},
        {"COM0", (folder.Path() / "COM0").string()},
        {"/dev/pts/7", "/dev/pts/7"},
        {"ttyUSB3", "/dev/ttyUSB3"},
        {"", (folder.Path() / "invalid-port-name").string()},
        {"../etc/passwd", (folder.Path() / "invalid-port-name").string()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ResolvePortName(c.name), c.want) << c.name;
}

TEST(PortNames, DefaultFolderFollowsXdgConfigHome) {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    std::string saved = old ? old : "";
    ::setenv("XDG_CONFIG_HOME", "/tmp/lirat5-xdg", 1);
    EXPECT_EQ(PortMappingFolder(), "/tmp/lirat5-xdg/lirat5/ports");
    ::setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    EXPECT_EQ(PortMappingFolder(), std::string(std::getenv("HOME")) + "/.config/lirat5/ports");
    if (old)
        ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
}

TEST(PortNames, MappedNameOpensItsDeviceWithoutRegardToCase) {
    MappingFolder folder;
    lirat_test::PtyLine line;
    ASSERT_EQ(RegisterPortName("com7", line.DevicePath()), 0);
    EXPECT_EQ(ResolvePortName("COM7"), (folder.Path() / "com7").string());

    TComPort port;
    port.SetEvents({});
    port.SetPort("COM7");
    port.Open();
    EXPECT_EQ(port.WriteStr("$8\r\n"), 4);
    EXPECT_EQ(line.Receive(4, 3000), "$8\r\n");
    port.Close();

    // Registering again under another case replaces the entry instead of adding one.
    ASSERT_EQ(RegisterPortName("COM7", line.DevicePath()), 0);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 1);

    std::vector<std::string> names;
    EnumComPorts(names);
    EXPECT_NE(std::find(names.begin(), names.end(), "COM7"), names.end());
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));

    // A link to a device that has gone is not offered.
    ASSERT_EQ(RegisterPortName("COM8", "/dev/lirat5-gone"), 0);
    EnumComPorts(names);
    EXPECT_EQ(std::find(names.begin(), names.end(), "COM8"), names.end());

    EXPECT_EQ(UnregisterPortName("Com7"), 0);
    EXPECT_EQ(UnregisterPortName("COM7"), ENOENT);
}

struct MappingCase {
    const char* name;
    std::uint8_t byteSize, parity, stopBits;
    bool cts;
    std::uint8_t rts;
    bool outX, inX, check, replace;
    tcflag_t wantSize;
    tcflag_t wantParityBits; // PARENB, PARODD, CMSPAR as they must be
    bool wantStop2, wantCrtscts;
    tcflag_t wantIflag;
};

TEST(TermiosMapping, EachLineSettingHasItsFlags) {
    const MappingCase cases[] = {
        {"tool_8N1", 8, 0, 0, false, 0, false, false, false, false, CS8, 0, false, false, IGNBRK},
        {"7E2", 7, 2, 2, false, 0, false, false, false, false, CS7, PARENB, true, false, IGNBRK},
        {"6O1", 6, 1, 0, false, 0, false, false, false, false, CS6, PARENB | PARODD, false, false,
         IGNBRK},
        {"5_mark_1.5", 5, 3, 1, false, 0, false, false, false, false, CS5, PARENB | PARODD | CMSPAR,
         true, false, IGNBRK},
        {"space", 8, 4, 0, false, 0, false, false, false, false, CS8, PARENB | CMSPAR, false, false,
         IGNBRK},
        {"cts_only", 8, 0, 0, true, 0, false, false, false, false, CS8, 0, false, true, IGNBRK},
        {"rts_handshake_only", 8, 0, 0, false, 2, false, false, false, false, CS8, 0, false, true,
         IGNBRK},
        {"rts_toggle", 8, 0, 0, false, 3, false, false, false, false, CS8, 0, false, false, IGNBRK},
        {"xon_out", 8, 0, 0, false, 0, true, false, false, false, CS8, 0, false, false,
         IGNBRK | IXON},
        {"xon_both", 8, 0, 0, false, 0, true, true, false, false, CS8, 0, false, false,
         IGNBRK | IXON | IXOFF},
        {"check_without_replace", 8, 2, 0, false, 0, false, false, true, false, CS8, PARENB, false,
         false, IGNBRK},
        {"check_and_replace", 8, 2, 0, false, 0, false, false, true, true, CS8, PARENB, false,
         false, IGNBRK | INPCK | PARMRK},
    };
    for (const MappingCase& c : cases) {
        TDcbRecord dcb;
        dcb.BaudRate = 9600;
        dcb.fBinary = true;
        dcb.ByteSize = c.byteSize;
        dcb.Parity = c.parity;
        dcb.StopBits = c.stopBits;
        dcb.fOutxCtsFlow = c.cts;
        dcb.fRtsControl = c.rts;
        dcb.fOutX = c.outX;
        dcb.fInX = c.inX;
        dcb.fParity = c.check;
        dcb.fErrorChar = c.check && c.replace;
        dcb.XonChar = 0x11;
        dcb.XoffChar = 0x13;
        termios tio{};
        // Start from a cooked terminal: everything it had must go.
        tio.c_iflag = ICRNL | IXANY | ISTRIP;
        tio.c_oflag = OPOST | ONLCR;
        tio.c_lflag = ICANON | ECHO | ISIG;
        tio.c_cflag = CS7 | PARENB | PARODD | CSTOPB | CRTSCTS | HUPCL;
        bool standard = false;
        ASSERT_EQ(backend::posix::MapLineSettings(dcb, tio, standard), 0) << c.name;
        EXPECT_TRUE(standard);
        EXPECT_EQ(tio.c_cflag & CSIZE, c.wantSize) << c.name;
        EXPECT_EQ(tio.c_cflag & (PARENB | PARODD | CMSPAR), c.wantParityBits) << c.name;
        EXPECT_EQ((tio.c_cflag & CSTOPB) != 0, c.wantStop2) << c.name;
        EXPECT_EQ((tio.c_cflag & CRTSCTS) != 0, c.wantCrtscts) << c.name;
        EXPECT_EQ(tio.c_cflag & (CREAD | CLOCAL | HUPCL), CREAD | CLOCAL) << c.name;
        EXPECT_EQ(tio.c_iflag, c.wantIflag) << c.name;
        EXPECT_EQ(tio.c_oflag, 0u) << c.name;
        EXPECT_EQ(tio.c_lflag, 0u) << c.name;
        EXPECT_EQ(tio.c_cc[VSTART], 0x11) << c.name;
        EXPECT_EQ(tio.c_cc[VSTOP], 0x13) << c.name;
        // Reads never block (the descriptor is non-blocking); VMIN 1 makes an empty queue read
        // as EAGAIN rather than as the 0 of a hung-up line.
        EXPECT_EQ(tio.c_cc[VMIN], 1) << c.name;
        EXPECT_EQ(tio.c_cc[VTIME], 0) << c.name;
        EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B9600)) << c.name;
    }
}

TEST(TermiosMapping, RatesWithoutConstantAndBadRecords) {
    TDcbRecord dcb;
    dcb.ByteSize = 8;
    dcb.BaudRate = 14400;
    termios tio{};
    bool standard = true;
    ASSERT_EQ(backend::posix::MapLineSettings(dcb, tio, standard), 0);
    EXPECT_FALSE(standard);
    dcb.BaudRate = 115200;
    ASSERT_EQ(backend::posix::MapLineSettings(dcb, tio, standard), 0);
    EXPECT_TRUE(standard);

    const std::function<void(TDcbRecord&)> breakers[] = {
        [](TDcbRecord& d) { d.ByteSize = 4; }, [](TDcbRecord& d) { d.ByteSize = 9; },
        [](TDcbRecord& d) { d.Parity = 5; },   [](TDcbRecord& d) { d.StopBits = 3; },
        [](TDcbRecord& d) { d.BaudRate = 0; },
    };
    for (const auto& breaker : breakers) {
        TDcbRecord bad = dcb;
        breaker(bad);
        EXPECT_EQ(backend::posix::MapLineSettings(bad, tio, standard), EINVAL);
    }
}

TEST(PosixPort, SecondOpenFromAnotherProcessFails) {
    lirat_test::PtyLine line;
    TComPort port;
    OnLine(port, line);
    port.Open();
    pid_t child = ::fork();
    if (child == 0) {
        int code = 0;
        try {
            TComPort other;
            OnLine(other, line);
            other.Open();
        } catch (const EComPort& e) {
            code = e.Code();
        }
        _exit(code);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
}

TEST(PosixPort, DeviceIsRawAndCustomRatesAreExact) {
    lirat_test::PtyLine line;
    TComPort port;
    OnLine(port, line);
    port.SetBaudRate(brCustom);
    port.SetCustomBaudRate(250000);
    port.Open();
    EXPECT_EQ(line.Line().baud, 250000u);

    // No echo, no line editing, no translation: bytes go through as they are.
    line.Send(std::string("a\r\nb\x03\x7f\0c", 8));
    char buf[16];
    auto start = std::chrono::steady_clock::now();
    int got = 0;
    while (got < 8 && std::chrono::steady_clock::now() - start < std::chrono::seconds(3))
        got += port.Read(buf + got, 16 - got);
    ASSERT_EQ(got, 8);
    EXPECT_EQ(std::string(buf, 8), std::string("a\r\nb\x03\x7f\0c", 8));
    EXPECT_EQ(line.Receive(16, 100), ""); // nothing echoed back

    port.SetCustomBaudRate(9600);
    EXPECT_EQ(line.Line().baud, 9600u);
}

TEST(PosixPort, DiscardNullDropsZeroBytes) {
    lirat_test::PtyLine line;
    TComPort port;
    OnLine(port, line);
    port.SetDiscardNull(true);
    port.Open();
    line.Send(std::string("\0a\0\0b\0", 6));
    std::string got;
    auto start = std::chrono::steady_clock::now();
    while (got.size() < 2 && std::chrono::steady_clock::now() - start < std::chrono::seconds(3)) {
        std::string part;
        port.ReadStr(part, 16);
        got += part;
    }
    EXPECT_EQ(got, "ab");
}

TEST(PosixPort, ReadWaitsForItsTotalTimeoutWhenAsked) {
    lirat_test::PtyLine line;
    TComPort port;
    OnLine(port, line);
    port.Timeouts().SetReadInterval(0);
    port.Timeouts().SetReadTotalConstant(300);
    port.Open();
    char buf[8];
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port.Read(buf, 8), 0);
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(250));

    // A read that waits for any byte returns as soon as the first ones are there.
    port.Timeouts().SetReadInterval(-1);
    port.Timeouts().SetReadTotalMultiplier(-1);
    port.Timeouts().SetReadTotalConstant(5000);
    std::thread sender([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        line.Send("xy");
    });
    start = std::chrono::steady_clock::now();
    int got = port.Read(buf, 8);
    sender.join();
    EXPECT_GE(got, 1);
    // Long before the total of 5 s: the first bytes ended the read.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
}

} // namespace
