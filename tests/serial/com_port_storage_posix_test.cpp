// Loading settings into an open port (pseudo-terminals stand in for serial devices), and the
// registry store on a system without a registry.
#include "serial/com_port.h"

#include <cstdlib>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "serial/registry_key.h"
#include "tests/serial/port_settings_snapshot.h"
#include "tests/serial/temp_folder.h"

namespace serial {
namespace {

using testing::ChangedSettings;
using testing::StoredSettingsOf;
using testing::TempFolder;
using testing::WriteBytes;

// The controlling side of a pseudo-terminal; its other side is a device a port can open.
class PseudoTerminal {
public:
    PseudoTerminal() {
        fd_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (fd_ >= 0 && ::grantpt(fd_) == 0 && ::unlockpt(fd_) == 0) {
            const char* name = ::ptsname(fd_);
            device_ = name ? name : "";
        }
    }
    ~PseudoTerminal() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;
    const std::string& Device() const { return device_; }

private:
    int fd_ = -1;
    std::string device_;
};

// Records the open/close hooks, and can refuse line settings as a device might.
class RecordingPort : public TComPort {
public:
    RecordingPort() {
        SetName("ComPort");
        SetEvents({evRx80Full});
        OnBeforeOpen = [this](TCustomComPort&) { log.push_back("before open " + Port()); };
        OnAfterOpen = [this](TCustomComPort&) { log.push_back("after open " + Port()); };
        OnBeforeClose = [this](TCustomComPort&) { log.push_back("before close"); };
        OnAfterClose = [this](TCustomComPort&) { log.push_back("after close"); };
    }
    ~RecordingPort() override { Close(); }

    void ApplyDCB() override {
        if (Connected() && UpdateDepth() == 0) {
            ++lineSettingsApplied;
            if (refuseFiveDataBits && DataBits() == dbFive) {
                throw EComPort(CError_SetStateFailed, 22);
            }
        }
        TComPort::ApplyDCB();
    }

    std::vector<std::string> log;
    int lineSettingsApplied = 0;
    bool refuseFiveDataBits = false;
};

int NestedCode(const EComPort& error) {
    try {
        std::rethrow_if_nested(error);
    } catch (const EComPort& inner) {
        return inner.Code();
    } catch (...) {
        return -1;
    }
    return 0;
}

class OpenPortLoadTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (first_.Device().empty() || second_.Device().empty()) {
            GTEST_SKIP() << "no pseudo-terminals on this system";
        }
        port_.SetPort(first_.Device());
        port_.Open();
        ASSERT_TRUE(port_.Connected());
        port_.log.clear();
        port_.lineSettingsApplied = 0;
    }

    void WriteSection(const std::string& lines) { WriteBytes(path_, "[ComPort]\n" + lines); }

    PseudoTerminal first_;
    PseudoTerminal second_;
    TempFolder folder_;
    std::string path_ = folder_.File("conf.INI");
    RecordingPort port_;
};

TEST_F(OpenPortLoadTest, NewPortClosesAndReopensOnTheNewDevice) {
    WriteSection("Port=" + second_.Device() + "\nBaudRate=19200\nDataBits=7\n");
    port_.LoadSettings(stIniFile, path_);
    EXPECT_TRUE(port_.Connected());
    EXPECT_EQ(port_.Port(), second_.Device());
    EXPECT_EQ(port_.log, (std::vector<std::string>{"before close", "after close",
                                                   "before open " + second_.Device(),
                                                   "after open " + second_.Device()}));
    EXPECT_EQ(port_.BaudRate(), br19200);
    // Everything loaded reaches the device once, when the update bracket closes.
    EXPECT_EQ(port_.lineSettingsApplied, 1);
    EXPECT_EQ(port_.UpdateDepth(), 0);
}

TEST_F(OpenPortLoadTest, SamePortDoesNotReopen) {
    WriteSection("port=" + first_.Device() + "\nBaudRate=300\nStopBits=2\nParity=Odd\n");
    port_.LoadSettings(stIniFile, path_);
    EXPECT_TRUE(port_.log.empty());
    EXPECT_TRUE(port_.Connected());
    EXPECT_EQ(port_.lineSettingsApplied, 1);
}

TEST_F(OpenPortLoadTest, PortThatCannotOpenIsCode17) {
    const std::string missing = folder_.File("no-such-device");
    WriteSection("Port=" + missing + "\nBaudRate=300\n");
    const auto before = StoredSettingsOf(port_);
    try {
        port_.LoadSettings(stIniFile, path_);
        ADD_FAILURE() << "load onto a missing device reported success";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.Code(), 17);
        EXPECT_STREQ(error.what(), "Failed to load settings");
        EXPECT_EQ(NestedCode(error), 1);
    }
    // The port name was assigned before the reopen failed and stays; the keys after it were
    // not read.
    auto expected = before;
    expected["Port"] = missing;
    EXPECT_EQ(ChangedSettings(expected, StoredSettingsOf(port_)), "");
    EXPECT_FALSE(port_.Connected());
    EXPECT_EQ(port_.UpdateDepth(), 0);
}

TEST_F(OpenPortLoadTest, RefusedSettingsAtTheEndAreCode17AndStayAssigned) {
    port_.refuseFiveDataBits = true;
    WriteSection("BaudRate=Custom\nCustomBaudRate=31250\nDataBits=5\nParity=Even\n");
    try {
        port_.LoadSettings(stIniFile, path_);
        ADD_FAILURE() << "refused line settings reported success";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.Code(), 17);
        EXPECT_EQ(NestedCode(error), CError_SetStateFailed);
    }
    EXPECT_EQ(port_.BaudRate(), brCustom);
    EXPECT_EQ(port_.CustomBaudRate(), 31250);
    EXPECT_EQ(port_.DataBits(), dbFive);
    EXPECT_EQ(port_.Parity().Bits(), prEven);
    EXPECT_EQ(port_.UpdateDepth(), 0);
}

// ---- stRegistry on POSIX -------------------------------------------------------------------

TEST(RegistryStorePosix, LoadIsCode17AndChangesNothing) {
    TComPort port;
    port.SetName("ComPort");
    port.SetStoredProps(TStoredProps::All());
    testing::SetEveryStoredSetting(port);
    const auto before = StoredSettingsOf(port);
    try {
        port.LoadSettings(stRegistry, "HKEY_CURRENT_USER\\Software\\Lirat");
        ADD_FAILURE() << "registry load reported success";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.Code(), 17);
        try {
            std::rethrow_if_nested(error);
            ADD_FAILURE() << "no reason attached";
        } catch (const ERegistryError& reason) {
            EXPECT_NE(std::string(reason.what()).find("Windows only"), std::string::npos);
        }
    }
    EXPECT_EQ(ChangedSettings(before, StoredSettingsOf(port)), "");
    EXPECT_EQ(port.UpdateDepth(), 0);
}

TEST(RegistryStorePosix, StoreIsCode16) {
    TComPort port;
    port.SetName("ComPort");
    try {
        port.StoreSettings(stRegistry, "HKEY_CURRENT_USER\\Software\\Lirat");
        ADD_FAILURE() << "registry store reported success";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.Code(), 16);
        EXPECT_STREQ(error.what(), "Failed to store settings");
    }
}

} // namespace
} // namespace serial
