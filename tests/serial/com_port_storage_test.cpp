#include "serial/com_port.h"

#include <exception>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "protocol/tool_port_settings.h"
#include "serial/settings_file.h"
#include "serial/settings_file_io.h"
#include "tests/serial/port_settings_snapshot.h"
#include "tests/serial/temp_folder.h"

namespace serial {
namespace {

using testing::ChangedSettings;
using testing::ReadBytes;
using testing::SetEveryStoredSetting;
using testing::StoredSettingsOf;
using testing::TempFolder;
using testing::WriteBytes;

const TStoredProps kAllGroups = TStoredProps::All();
const std::string kNl(detail::NativeLineEnding());

// The code of an EComPort thrown by `action`, and the nested failure it carries, if any.
struct Raised {
    int code = 0;
    std::exception_ptr cause;
};

Raised CatchComPortError(const std::function<void()>& action) {
    Raised raised;
    try {
        action();
        ADD_FAILURE() << "no EComPort raised";
    } catch (const EComPort& error) {
        raised.code = error.Code();
        EXPECT_EQ(error.WinErrorCode(), -1);
        try {
            std::rethrow_if_nested(error);
        } catch (...) {
            raised.cause = std::current_exception();
        }
    }
    return raised;
}

// ---- Loading: one row per behaviour of a key --------------------------------------------

struct LoadCase {
    const char* name;
    std::string file;                            // lines of section [ComPort]
    TStoredProps groups;                         // StoredProps while loading
    std::function<void(TCustomComPort&)> before; // settings made before loading
    std::map<std::string, std::string> changes;  // every setting the load must change
};

class LoadIniFileTest : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadIniFileTest, ChangesExactlyTheExpectedSettings) {
    const LoadCase& c = GetParam();
    TempFolder folder;
    const std::string path = folder.File("conf.INI");
    WriteBytes(path, "; other sections and keys must not matter\n[Other]\nPort=COM9\n"
                     "[ComPort]\n" +
                         c.file + "[After]\nBaudRate=110\n");
    TComPort port;
    protocol::ConfigureToolPort(port);
    if (c.before) {
        c.before(port);
    }
    port.SetStoredProps(c.groups);
    auto expected = StoredSettingsOf(port);
    for (const auto& [name, value] : c.changes) {
        ASSERT_TRUE(expected.count(name)) << name;
        expected[name] = value;
    }
    port.LoadSettings(stIniFile, path);
    EXPECT_EQ(ChangedSettings(expected, StoredSettingsOf(port)), "");
    EXPECT_EQ(port.UpdateDepth(), 0);
}

const TStoredProps kBasic{spBasic};
const TStoredProps kOthers{spOthers};
const TStoredProps kFlow{spFlowControl};

INSTANTIATE_TEST_SUITE_P(
    Keys, LoadIniFileTest,
    ::testing::Values(
        LoadCase{"PortOnly", "Port=COM4\n", kAllGroups, nullptr, {{"Port", "COM4"}}},
        LoadCase{"EmptyPortIsTaken", "Port=\n", kBasic, nullptr, {{"Port", ""}}},
        LoadCase{"CustomRateWithoutKeyIs9600",
                 "BaudRate=custom\n",
                 kBasic,
                 [](TCustomComPort& p) { p.SetCustomBaudRate(12345); },
                 {{"BaudRate", "0"}, {"CustomBaudRate", "9600"}}},
        LoadCase{"CustomRateRead",
                 "BaudRate=CUSTOM\nCustomBaudRate=$3D090\n",
                 kBasic,
                 nullptr,
                 {{"BaudRate", "0"}, {"CustomBaudRate", "250000"}}},
        LoadCase{"CustomRateNotIntegerIs9600",
                 "BaudRate=Custom\nCustomBaudRate=fast\n",
                 kBasic,
                 [](TCustomComPort& p) { p.SetCustomBaudRate(12345); },
                 {{"BaudRate", "0"}, {"CustomBaudRate", "9600"}}},
        LoadCase{"CustomRateIgnoredForFixedRate",
                 "BaudRate=300\nCustomBaudRate=777\n",
                 kBasic,
                 [](TCustomComPort& p) { p.SetCustomBaudRate(12345); },
                 {{"BaudRate", std::to_string(br300)}}},
        LoadCase{"UnknownRateIs9600",
                 "BaudRate=9601\n",
                 kBasic,
                 [](TCustomComPort& p) { p.SetBaudRate(br19200); },
                 {{"BaudRate", std::to_string(br9600)}}},
        LoadCase{"EmptyRateIs9600",
                 "BaudRate=\n",
                 kBasic,
                 [](TCustomComPort& p) { p.SetBaudRate(br19200); },
                 {{"BaudRate", std::to_string(br9600)}}},
        LoadCase{"ParityAnyCase",
                 "Parity=EVEN\n",
                 kBasic,
                 nullptr,
                 {{"Parity", std::to_string(prEven)}}},
        LoadCase{
            "StopAndDataBits",
            "StopBits=1.5\nDataBits=5\n",
            kBasic,
            nullptr,
            {{"StopBits", std::to_string(sbOne5StopBits)}, {"DataBits", std::to_string(dbFive)}}},
        LoadCase{"UnknownFlowControlLeavesFourFields",
                 "FlowControl=RTS/CTS\n",
                 kBasic,
                 [](TCustomComPort& p) {
                     p.FlowControl().SetControlRTS(rtsToggle);
                     p.FlowControl().SetOutCTSFlow(true);
                     p.FlowControl().SetXonXoffIn(true);
                 },
                 {}},
        LoadCase{"HardwareFlowControlSetsFourFields",
                 "FlowControl=hardware\n",
                 kBasic,
                 [](TCustomComPort& p) {
                     p.FlowControl().SetXonXoffIn(true);
                     p.FlowControl().SetOutDSRFlow(true);
                 },
                 {{"FlowControl.ControlRTS", std::to_string(rtsHandshake)},
                  {"FlowControl.OutCTSFlow", "true"},
                  {"FlowControl.XonXoffIn", "false"}}},
        LoadCase{"XonCharCode",
                 "FlowControl.XonChar=#17\n",
                 kFlow,
                 [](TCustomComPort& p) { p.FlowControl().SetXonChar('Q'); },
                 {{"FlowControl.XonChar", "17"}}},
        LoadCase{"XonCharNotAnInteger",
                 "FlowControl.XonChar=#x\n",
                 kFlow,
                 nullptr,
                 {{"FlowControl.XonChar", "0"}}},
        LoadCase{"XonCharLowEightBits",
                 "FlowControl.XonChar=#300\n",
                 kFlow,
                 nullptr,
                 {{"FlowControl.XonChar", "44"}}},
        LoadCase{"XonCharItself",
                 "FlowControl.XonChar=A\n",
                 kFlow,
                 nullptr,
                 {{"FlowControl.XonChar", "65"}}},
        LoadCase{
            "DiscardNullYes", "DiscardNull=yes\n", kOthers, nullptr, {{"DiscardNull", "true"}}},
        LoadCase{"DiscardNullYesCapitals",
                 "DiscardNull=YES\n",
                 kOthers,
                 nullptr,
                 {{"DiscardNull", "true"}}},
        LoadCase{"DiscardNullOneIsFalse",
                 "DiscardNull=1\n",
                 kOthers,
                 [](TCustomComPort& p) { p.SetDiscardNull(true); },
                 {{"DiscardNull", "false"}}},
        LoadCase{"DiscardNullTrueIsFalse",
                 "DiscardNull=true\n",
                 kOthers,
                 [](TCustomComPort& p) { p.SetDiscardNull(true); },
                 {{"DiscardNull", "false"}}},
        LoadCase{"BasicGroupIgnoresBufferKeys",
                 "Buffer.InputSize=2048\nEventChar=A\n",
                 kBasic,
                 nullptr,
                 {}},
        LoadCase{"MissingOutDSRFlowKeepsIt",
                 "FlowControl.OutCTSFlow=Yes\n",
                 kFlow,
                 [](TCustomComPort& p) { p.FlowControl().SetOutDSRFlow(true); },
                 {{"FlowControl.OutCTSFlow", "true"}}},
        LoadCase{"SingleFlowKeysDecideOverSummary",
                 "FlowControl=None\nFlowControl.XonXoffIn=Yes\nFlowControl.ControlRTS=Enable\n",
                 TStoredProps{spBasic, spFlowControl},
                 [](TCustomComPort& p) { p.FlowControl().SetOutCTSFlow(true); },
                 {{"FlowControl.XonXoffIn", "true"},
                  {"FlowControl.ControlRTS", std::to_string(rtsEnable)},
                  {"FlowControl.OutCTSFlow", "false"}}},
        LoadCase{"MalformedIntegersKeepCurrent",
                 "Buffer.InputSize=big\nBuffer.OutputSize=0x800\nTimeouts.ReadInterval=\n",
                 TStoredProps{spBuffer, spTimeouts},
                 nullptr,
                 {{"Buffer.OutputSize", "2048"}}},
        LoadCase{"OddBufferSizeMadeEven",
                 "Buffer.InputSize=1025\n",
                 TStoredProps{spBuffer},
                 [](TCustomComPort& p) { p.Buffer().SetInputSize(4096); },
                 {{"Buffer.InputSize", "1024"}}},
        LoadCase{
            "ParityGroup",
            "Parity.Check=Yes\nParity.Replace=yes\nParity.ReplaceChar=#0\n",
            TStoredProps{spParity},
            [](TCustomComPort& p) { p.Parity().SetReplaceChar('?'); },
            {{"Parity.Check", "true"}, {"Parity.Replace", "true"}, {"Parity.ReplaceChar", "0"}}},
        LoadCase{
            "EmptyGroupsReadNothing", "Port=COM4\nDiscardNull=Yes\n", TStoredProps{}, nullptr, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LoadIniFile, SectionIsTheComponentName) {
    TempFolder folder;
    const std::string path = folder.File("conf.INI");
    WriteBytes(path, "[ComPort]\nPort=COM4\n[port2]\nPort=COM5\n");
    TComPort port;
    port.SetName("Port2");
    port.LoadSettings(stIniFile, path);
    EXPECT_EQ(port.Port(), "COM5");
}

TEST(LoadIniFile, MissingFileChangesNothing) {
    TempFolder folder;
    TComPort port;
    protocol::ConfigureToolPort(port);
    SetEveryStoredSetting(port);
    port.SetStoredProps(kAllGroups);
    // Every missing key keeps the current value, except that a custom rate without its
    // "CustomBaudRate" key is 9600.
    auto expected = StoredSettingsOf(port);
    expected["CustomBaudRate"] = "9600";
    port.LoadSettings(stIniFile, folder.File("missing.INI"));
    EXPECT_EQ(ChangedSettings(expected, StoredSettingsOf(port)), "");
    port.SetBaudRate(br57600);
    port.SetCustomBaudRate(31250);
    expected = StoredSettingsOf(port);
    port.LoadSettings(stIniFile, folder.File("no-folder/missing.INI"));
    EXPECT_EQ(ChangedSettings(expected, StoredSettingsOf(port)), "");
}

// ---- Storing -------------------------------------------------------------------------------

TEST(StoreIniFile, ToolStartUpSettingsWriteTheSixBasicKeys) {
    TempFolder folder;
    const std::string path = folder.File("conf.INI");
    TComPort port;
    protocol::ConfigureToolPort(port);
    port.StoreSettings(stIniFile, path);
    EXPECT_EQ(ReadBytes(path), "[ComPort]" + kNl + "Port=COM1" + kNl + "BaudRate=9600" + kNl +
                                   "StopBits=1" + kNl + "DataBits=8" + kNl + "Parity=None" + kNl +
                                   "FlowControl=None" + kNl);
}

TEST(StoreIniFile, EveryGroupInKeyOrderWithWrittenForms) {
    TempFolder folder;
    const std::string path = folder.File("conf.INI");
    WriteBytes(path, "");
    TComPort port;
    protocol::ConfigureToolPort(port);
    SetEveryStoredSetting(port);
    port.SetStoredProps(kAllGroups);
    port.StoreSettings(stIniFile, path);
    const std::vector<std::string> lines = {"[ComPort]",
                                            "Port=COM7",
                                            "BaudRate=Custom",
                                            "CustomBaudRate=31250",
                                            "StopBits=2",
                                            "DataBits=7",
                                            "Parity=Mark",
                                            "FlowControl=Custom",
                                            "EventChar=#13",
                                            "DiscardNull=Yes",
                                            "Parity.Check=Yes",
                                            "Parity.Replace=Yes",
                                            "Parity.ReplaceChar=#",
                                            "Buffer.OutputSize=4096",
                                            "Buffer.InputSize=8192",
                                            "Timeouts.ReadInterval=5",
                                            "Timeouts.ReadTotalConstant=250",
                                            "Timeouts.ReadTotalMultiplier=3",
                                            "Timeouts.WriteTotalConstant=-7",
                                            "Timeouts.WriteTotalMultiplier=0",
                                            "FlowControl.ControlRTS=Toggle",
                                            "FlowControl.ControlDTR=Handshake",
                                            "FlowControl.DSRSensitivity=Yes",
                                            "FlowControl.OutCTSFlow=Yes",
                                            "FlowControl.OutDSRFlow=Yes",
                                            "FlowControl.TxContinueOnXoff=Yes",
                                            "FlowControl.XonXoffIn=Yes",
                                            "FlowControl.XonXoffOut=Yes",
                                            "FlowControl.XoffChar=#255",
                                            "FlowControl.XonChar=#32"};
    std::string expected;
    for (const std::string& line : lines) {
        expected += line + kNl;
    }
    EXPECT_EQ(ReadBytes(path), expected);
}

TEST(StoreIniFile, KeepsTheRestOfTheFile) {
    TempFolder folder;
    const std::string path = folder.File("conf.INI");
    const std::string head = "; written by hand\r\n[Main]\r\nWindow=1\r\n\r\n";
    WriteBytes(path, head + "[ComPort]\r\nPort=COM3\r\nExtra=keep me\r\n\r\n[Tail]\r\nX=1\r\n");
    TComPort port;
    protocol::ConfigureToolPort(port);
    port.SetPort("COM4");
    port.StoreSettings(stIniFile, path);
    EXPECT_EQ(ReadBytes(path), head + "[ComPort]\r\nPort=COM4\r\nExtra=keep me\r\nBaudRate=9600\r\n"
                                      "StopBits=1\r\nDataBits=8\r\nParity=None\r\n"
                                      "FlowControl=None\r\n\r\n[Tail]\r\nX=1\r\n");
}

TEST(StoreIniFile, FailureIsCode16AndTheFileStaysAsItWas) {
    TempFolder folder;
    const std::string path = folder.File("conf.INI");
    const std::string before = "[ComPort]\nPort=COM3\nBaudRate=300\n";
    WriteBytes(path, before);
    TComPort port;
    protocol::ConfigureToolPort(port);
    port.SetStoredProps(kAllGroups);
    detail::SetWriteLimitForTesting(40);
    const Raised raised = CatchComPortError([&] { port.StoreSettings(stIniFile, path); });
    detail::SetWriteLimitForTesting(std::nullopt);
    EXPECT_EQ(raised.code, 16);
    EXPECT_EQ(ReadBytes(path), before);
    try {
        std::rethrow_exception(raised.cause);
    } catch (const ESettingsFileError& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + path);
    } catch (...) {
        ADD_FAILURE() << "the failure inside is not the settings-file error";
    }
}

TEST(StoreIniFile, FolderThatIsAFileIsCode16) {
    TempFolder folder;
    WriteBytes(folder.File("blocker"), "x");
    TComPort port;
    protocol::ConfigureToolPort(port);
    const Raised raised = CatchComPortError(
        [&] { port.StoreSettings(stIniFile, folder.File("blocker") + "/conf.INI"); });
    EXPECT_EQ(raised.code, 16);
    EXPECT_EQ(ReadBytes(folder.File("blocker")), "x");
}

TEST(ComPortStorage, EErrorTextsOfTheTwoCodes) {
    TComPort port;
    try {
        port.StoreSettings(static_cast<TStoreType>(7), "x");
        ADD_FAILURE() << "unknown store type accepted";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.Code(), 16);
        EXPECT_STREQ(error.what(), "Failed to store settings");
    }
    try {
        port.LoadSettings(static_cast<TStoreType>(7), "x");
        ADD_FAILURE() << "unknown store type accepted";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.Code(), 17);
        EXPECT_STREQ(error.what(), "Failed to load settings");
    }
    EXPECT_EQ(port.UpdateDepth(), 0);
}

// ---- Round trips ---------------------------------------------------------------------------

TEST(ComPortStorageRoundTrip, AllGroupsRestoreEverySetting) {
    TempFolder folder;
    const std::string path = folder.File("conf.INI");
    TComPort source;
    protocol::ConfigureToolPort(source);
    SetEveryStoredSetting(source);
    source.SetStoredProps(kAllGroups);
    source.StoreSettings(stIniFile, path);

    TComPort target;
    protocol::ConfigureToolPort(target);
    target.SetStoredProps(kAllGroups);
    target.LoadSettings(stIniFile, path);
    EXPECT_EQ(ChangedSettings(StoredSettingsOf(source), StoredSettingsOf(target)), "");
}

// Each group alone carries its own settings and nothing else.
TEST(ComPortStorageRoundTrip, EachGroupAlone) {
    const std::vector<std::pair<TStoredProp, std::vector<std::string>>> groups = {
        {spBasic, {"Port", "BaudRate", "CustomBaudRate", "StopBits", "DataBits", "Parity"}},
        {spOthers, {"EventChar", "DiscardNull"}},
        {spParity, {"Parity.Check", "Parity.Replace", "Parity.ReplaceChar"}},
        {spBuffer, {"Buffer.OutputSize", "Buffer.InputSize"}},
        {spTimeouts,
         {"Timeouts.ReadInterval", "Timeouts.ReadTotalConstant", "Timeouts.ReadTotalMultiplier",
          "Timeouts.WriteTotalConstant", "Timeouts.WriteTotalMultiplier"}},
        {spFlowControl,
         {"FlowControl.ControlRTS", "FlowControl.ControlDTR", "FlowControl.DSRSensitivity",
          "FlowControl.OutCTSFlow", "FlowControl.OutDSRFlow", "FlowControl.TxContinueOnXoff",
          "FlowControl.XonXoffIn", "FlowControl.XonXoffOut", "FlowControl.XoffChar",
          "FlowControl.XonChar"}}};
    for (const auto& [group, names] : groups) {
        TempFolder folder;
        const std::string path = folder.File("conf.INI");
        TComPort source;
        protocol::ConfigureToolPort(source);
        SetEveryStoredSetting(source);
        source.SetStoredProps({group});
        source.StoreSettings(stIniFile, path);

        TComPort target;
        protocol::ConfigureToolPort(target);
        target.SetStoredProps({group});
        auto expected = StoredSettingsOf(target);
        for (const std::string& name : names) {
            expected[name] = StoredSettingsOf(source).at(name);
        }
        target.LoadSettings(stIniFile, path);
        EXPECT_EQ(ChangedSettings(expected, StoredSettingsOf(target)), "") << "group " << group;
    }
}

TEST(ComPortStorageRoundTrip, EveryCharacterCodeAndSummary) {
    TempFolder folder;
    const std::string path = folder.File("conf.INI");
    for (int code = 0; code < 256; code += 1) {
        TComPort source;
        source.SetName("ComPort");
        source.SetStoredProps({spOthers, spFlowControl});
        source.SetEventChar(static_cast<char>(code));
        source.FlowControl().SetXonChar(static_cast<char>(255 - code));
        source.StoreSettings(stIniFile, path);
        TComPort target;
        target.SetName("ComPort");
        target.SetStoredProps({spOthers, spFlowControl});
        target.LoadSettings(stIniFile, path);
        ASSERT_EQ(static_cast<unsigned char>(target.EventChar()), code);
        ASSERT_EQ(static_cast<unsigned char>(target.FlowControl().XonChar()), 255 - code);
    }
    for (const TFlowControl summary : {fcHardware, fcSoftware, fcNone}) {
        TComPort source;
        source.SetName("ComPort");
        source.FlowControl().SetFlowControl(summary);
        source.StoreSettings(stIniFile, path);
        TComPort target;
        target.SetName("ComPort");
        target.FlowControl().SetControlRTS(rtsToggle);
        target.LoadSettings(stIniFile, path);
        EXPECT_EQ(target.FlowControl().FlowControl(), summary);
    }
}

} // namespace
} // namespace serial
