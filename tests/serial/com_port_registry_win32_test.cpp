// The registry store of the port settings; runs on Windows (and under Wine, which has a
// registry of its own).
#include "serial/com_port.h"

#include <cstring>
#include <random>
#include <string>
// Without the printing interface, whose SetPort macro would rename the port's setter.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gtest/gtest.h>

#include "serial/registry_key.h"
#include "tests/serial/port_settings_snapshot.h"

namespace serial {
namespace {

using testing::ChangedSettings;
using testing::SetEveryStoredSetting;
using testing::StoredSettingsOf;

// A key of its own below Software for each test, removed afterwards from both roots.
class RegistryStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device random;
        base_ = "Software\\LiratSettingsTest" + std::to_string(random());
    }
    void TearDown() override {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, base_.c_str());
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, base_.c_str());
    }

    // The value's type and text (strings) or number (integers), or an empty type when missing.
    static std::pair<DWORD, std::string> RawValue(HKEY root, const std::string& key,
                                                  const std::string& name) {
        HKEY handle = nullptr;
        if (::RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) {
            return {REG_NONE, "<no key>"};
        }
        char data[512] = {};
        DWORD size = sizeof data - 1;
        DWORD type = REG_NONE;
        const LONG result = ::RegQueryValueExA(handle, name.c_str(), nullptr, &type,
                                               reinterpret_cast<BYTE*>(data), &size);
        ::RegCloseKey(handle);
        if (result != ERROR_SUCCESS) {
            return {REG_NONE, "<missing>"};
        }
        if (type == REG_DWORD) {
            DWORD number = 0;
            std::memcpy(&number, data, sizeof number);
            return {type, std::to_string(static_cast<int>(number))};
        }
        return {type, std::string(data)};
    }

    static void PutString(HKEY root, const std::string& key, const std::string& name,
                          const std::string& value) {
        HKEY handle = nullptr;
        ASSERT_EQ(::RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle,
                                    nullptr),
                  ERROR_SUCCESS);
        ::RegSetValueExA(handle, name.c_str(), 0, REG_SZ,
                         reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>(value.size() + 1));
        ::RegCloseKey(handle);
    }

    std::string base_;
};

TEST_F(RegistryStoreTest, RoundTripOfEveryGroupWithValueTypes) {
    TComPort source;
    source.SetName("ComPort");
    SetEveryStoredSetting(source);
    source.SetStoredProps(TStoredProps::All());
    source.StoreSettings(stRegistry, "HKEY_CURRENT_USER\\" + base_);

    const std::string key = base_ + "\\ComPort";
    EXPECT_EQ(RawValue(HKEY_CURRENT_USER, key, "Port"),
              (std::pair<DWORD, std::string>{REG_SZ, "COM7"}));
    EXPECT_EQ(RawValue(HKEY_CURRENT_USER, key, "BaudRate"),
              (std::pair<DWORD, std::string>{REG_SZ, "Custom"}));
    EXPECT_EQ(RawValue(HKEY_CURRENT_USER, key, "CustomBaudRate"),
              (std::pair<DWORD, std::string>{REG_DWORD, "31250"}));
    EXPECT_EQ(RawValue(HKEY_CURRENT_USER, key, "Timeouts.WriteTotalConstant"),
              (std::pair<DWORD, std::string>{REG_DWORD, "-7"}));
    EXPECT_EQ(RawValue(HKEY_CURRENT_USER, key, "FlowControl.XoffChar"),
              (std::pair<DWORD, std::string>{REG_SZ, "#255"}));
    EXPECT_EQ(RawValue(HKEY_CURRENT_USER, key, "DiscardNull"),
              (std::pair<DWORD, std::string>{REG_SZ, "Yes"}));

    TComPort target;
    target.SetName("ComPort");
    target.SetStoredProps(TStoredProps::All());
    target.LoadSettings(stRegistry, "HKEY_CURRENT_USER\\" + base_ + "\\");
    EXPECT_EQ(ChangedSettings(StoredSettingsOf(source), StoredSettingsOf(target)), "");
}

TEST_F(RegistryStoreTest, RootNamesFollowThePathRules) {
    TComPort port;
    port.SetName("Port1");
    port.SetPort("COM3");
    port.StoreSettings(stRegistry, "hkey_local_machine\\" + base_);
    EXPECT_EQ(RawValue(HKEY_LOCAL_MACHINE, base_ + "\\Port1", "Port").second, "COM3");

    port.SetPort("COM4");
    port.StoreSettings(stRegistry, "HKLM\\Software\\" + base_.substr(9));
    // Any root name but the two full ones means the current user.
    EXPECT_EQ(RawValue(HKEY_CURRENT_USER, base_ + "\\Port1", "Port").second, "COM4");
}

TEST_F(RegistryStoreTest, MissingTextsReadEmptyAndMissingIntegersFail) {
    const std::string key = base_ + "\\ComPort";
    PutString(HKEY_CURRENT_USER, key, "Parity", "Odd");
    TComPort port;
    port.SetName("ComPort");
    port.SetBaudRate(br19200);
    port.SetStopBits(sbTwoStopBits);
    port.LoadSettings(stRegistry, "HKEY_CURRENT_USER\\" + base_);
    EXPECT_EQ(port.Port(), "");
    EXPECT_EQ(port.BaudRate(), br9600);
    EXPECT_EQ(port.StopBits(), sbOneStopBit);
    EXPECT_EQ(port.Parity().Bits(), prOdd);

    // A custom rate needs its integer value; without it the load fails after the rate.
    PutString(HKEY_CURRENT_USER, key, "BaudRate", "Custom");
    PutString(HKEY_CURRENT_USER, key, "Port", "COM2");
    port.SetCustomBaudRate(4800);
    try {
        port.LoadSettings(stRegistry, "HKEY_CURRENT_USER\\" + base_);
        ADD_FAILURE() << "load without an integer value reported success";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.Code(), 17);
    }
    EXPECT_EQ(port.Port(), "COM2");
    EXPECT_EQ(port.BaudRate(), brCustom);
    EXPECT_EQ(port.CustomBaudRate(), 4800);
    EXPECT_EQ(port.UpdateDepth(), 0);
}

TEST_F(RegistryStoreTest, IntegerStoredAsTextFailsTheLoad) {
    const std::string key = base_ + "\\ComPort";
    PutString(HKEY_CURRENT_USER, key, "Buffer.OutputSize", "2048");
    TComPort port;
    port.SetName("ComPort");
    port.SetStoredProps({spBuffer});
    try {
        port.LoadSettings(stRegistry, "HKEY_CURRENT_USER\\" + base_);
        ADD_FAILURE() << "load of a text as integer reported success";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.Code(), 17);
    }
    EXPECT_EQ(port.Buffer().OutputSize(), 1024);
}

TEST_F(RegistryStoreTest, PathWithoutBackslashFailsWithoutTouchingSettings) {
    TComPort port;
    port.SetName("ComPort");
    SetEveryStoredSetting(port);
    const auto before = StoredSettingsOf(port);
    try {
        port.LoadSettings(stRegistry, "HKEY_CURRENT_USER");
        ADD_FAILURE() << "load from no key reported success";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.Code(), 17);
    }
    EXPECT_EQ(ChangedSettings(before, StoredSettingsOf(port)), "");
    try {
        port.StoreSettings(stRegistry, "Software");
        ADD_FAILURE() << "store to no key reported success";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.Code(), 16);
    }
}

} // namespace
} // namespace serial
