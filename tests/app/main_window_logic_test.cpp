// The main window's logic without any toolkit: the show-time set-up, the port number and the
// settings file, the sensor lists at the catalogue's edges, leaving, the calibration window's
// link and the guard around every handler. The controls are plain fields built from the
// window's description; the transducer is scripted.

#include "app/main_window_description.h"
#include "app/main_window_logic.h"
#include "app/settings_path.h"
#include "calibration/calibration_link.h"
#include "protocol/exchange_engine.h"
#include "protocol/number_text.h"
#include "serial/com_port.h"
#include "tests/serial/temp_folder.h"
#include "tests/support/fake_controls.h"
#include "tests/support/scripted_exchange_port.h"
#include "tests/support/scripted_ui_services.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

using serial::testing::ReadBytes;
using serial::testing::WriteBytes;
using testing_support::FakeControl;
using Strings = std::vector<std::string>;

struct RecordingLink : calibration::CalibrationLink {
    std::vector<bool> calibrationButtons;
    std::vector<bool> continueButton;
    std::vector<bool> unfinished;
    int shown = 0;
    void SetCalibrationButtonsEnabled(bool enabled) override {
        calibrationButtons.push_back(enabled);
    }
    void SetContinueButtonEnabled(bool enabled) override { continueButton.push_back(enabled); }
    void SetCalibrationUnfinished(bool value) override { unfinished.push_back(value); }
    void ShowModal() override { ++shown; }
};

// The main window's logic over fake controls, with its executable in a fresh folder (or in a
// folder of that name inside it).
struct Window {
    explicit Window(const std::string& subfolder = {}) : programFolder(MakeFolder(subfolder)) {
        auto owned = std::make_unique<testing_support::ScriptedExchangePort>();
        port = owned.get();
        logic = std::make_unique<app::MainWindowLogic>(
            ui, controls, timer,
            app::MainWindowEnvironment{.closeWindow = [this] { ++closeRequests; },
                                       .decimalSeparator = [this] { return separator; },
                                       .executablePath = InFolder("lirat5.exe")},
            std::move(owned));
    }

    std::string MakeFolder(const std::string& subfolder) {
        const std::filesystem::path path = folder.Path() / app::PathFromUtf8(subfolder);
        std::filesystem::create_directories(path);
        return serial::testing::Utf8Path(path);
    }

    serial::testing::TempFolder folder;
    std::string programFolder; // UTF-8
    testing_support::FakeControlSet controls{app::MainWindowDescription()};
    testing_support::FakeTimer timer;
    testing_support::ScriptedUiServices ui;
    testing_support::ScriptedExchangePort* port = nullptr; // owned by the logic
    char separator = '.';
    int closeRequests = 0;
    std::unique_ptr<app::MainWindowLogic> logic;

    FakeControl& operator[](const std::string& name) { return controls[name]; }
    // A file of the program's folder, in the platform's own form.
    std::string InFolder(const std::string& name) const {
        return serial::testing::Utf8Path(app::PathFromUtf8(programFolder) / name);
    }
    std::string SettingsFile() const { return InFolder("lirat5.INI"); }
    std::filesystem::path SettingsPath() const { return app::PathFromUtf8(SettingsFile()); }
    bool SettingsFileExists() const { return std::filesystem::exists(SettingsPath()); }
    // The range the lists show: the selected type's first range plus the selected item.
    std::optional<int> Range() const { return logic->SelectedRangeIndex(); }
};

class MainWindowLogicTest : public ::testing::Test {
protected:
    void SetUp() override {
        protocol::OverrideSystemDecimalSeparator('.');
        window.logic->FormShow();
    }
    Window window;
};

TEST(MainWindowLogicShow, SetsUpTheWindow) {
    struct Row {
        char separator;
        const char* lower;
        const char* upper;
        const char* separatorText;
    };
    // A locale separator that cannot serve (none, or one of a number's own characters) is ".".
    for (const Row row : {Row{'.', "-50.0", "50.0", "."}, Row{',', "-50,0", "50,0", ","},
                          Row{'\0', "-50.0", "50.0", "."}, Row{'5', "-50.0", "50.0", "."}}) {
        SCOPED_TRACE(std::string("separator ") + row.separatorText);
        Window window;
        EXPECT_EQ(window.timer.interval, 2000);
        EXPECT_FALSE(window.timer.enabled);
        window.separator = row.separator;
        window.logic->FormShow();
        EXPECT_EQ(window.logic->SettingsFileName(), window.SettingsFile());
        EXPECT_FALSE(window.SettingsFileExists()) << "nothing is created at show time";
        EXPECT_EQ(window.logic->ComPort().Port(), "COM1");
        EXPECT_EQ(window["UpDown"].index, 1);
        EXPECT_EQ(window["TipComboBox"].items.size(), 10U);
        EXPECT_EQ(window["TipComboBox"].text, "TСМ (R=53Ом)");
        EXPECT_EQ(window["DiapazonComboBox"].items, (Strings{" -50 +50", "0 +180", " -50 +200"}));
        EXPECT_EQ(window["DiapazonComboBox"].text, " -50 +50");
        EXPECT_EQ(window["Label2"].text, "Диапазон датчика (град. С): ");
        EXPECT_EQ(window["Label4"].text, "Рабочий диапазон (град. С): ");
        EXPECT_EQ(window["NullEdit"].text, row.lower);
        EXPECT_EQ(window["UpEdit"].text, row.upper);
        EXPECT_EQ(protocol::DecimalSeparatorText, row.separatorText);
        EXPECT_FALSE(window.logic->Engine().DeviceAnswered());
        EXPECT_TRUE(window.logic->Engine().ControlsEnabled());
        EXPECT_TRUE(window.ui.shown.empty());
    }
}

// Until a settings file says otherwise, the tool's own settings of its port.
TEST(MainWindowLogicShow, ThePortStartsWithTheToolsSettings) {
    Window window;
    EXPECT_TRUE(window.logic->SettingsFileName().empty());
    const serial::TComPort& port = window.logic->ComPort();
    EXPECT_EQ(port.Name(), "ComPort");
    EXPECT_EQ(port.Port(), "COM1");
    EXPECT_EQ(port.BaudRate(), serial::br9600);
    EXPECT_EQ(port.SyncMethod(), serial::smNone);
    EXPECT_EQ(port.FlowControl().ControlDTR(), serial::dtrDisable);
    EXPECT_EQ(port.FlowControl().ControlRTS(), serial::rtsDisable);
    EXPECT_TRUE(port.Events() == serial::TComEvents({serial::evRx80Full}));
    EXPECT_FALSE(port.Connected());
}

TEST(MainWindowLogicShow, ReadsThePortFromTheSettingsFile) {
    struct Row {
        const char* file;
        int shown;
        const char* port;
        Strings exceptions;
    };
    const Row rows[] = {
        {"[ComPort]\nPort=COM7\nBaudRate=19200\n", 7, "COM7", {}},
        {"[ComPort]\nPort=COM100\n", 100, "COM100", {}},
        // Not a number after the prefix: reported, and the window still gets its lists.
        {"[ComPort]\nPort=COMx\n", 1, "COMx", {"'x' is not a valid integer value"}},
        {"[ComPort]\nPort=/dev/ttyUSB0\n",
         1,
         "/dev/ttyUSB0",
         {"'v/ttyUSB0' is not a valid integer value"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.file);
        Window window;
        WriteBytes(window.SettingsPath(), row.file);
        window.logic->FormShow();
        EXPECT_EQ(window["UpDown"].index, row.shown);
        EXPECT_EQ(window.logic->ComPort().Port(), row.port);
        EXPECT_EQ(window.ui.Exceptions(), row.exceptions);
        EXPECT_EQ(window["TipComboBox"].items.size(), 10U);
        EXPECT_EQ(window["DiapazonComboBox"].items.size(), 3U);
        EXPECT_EQ(ReadBytes(window.SettingsPath()), row.file) << "showing writes nothing";
    }
}

// The number reaches the file and the port at the start of a transaction, only when it differs
// from the port's; a stored name without a number is the user's until they pick another number.
TEST(MainWindowLogicPortNumber, StoredOnlyWhenTheUserChangedIt) {
    struct Row {
        const char* name;
        const char* file; // before showing; empty: none
        int chosen;       // the up-down's position at the start
        const char* port; // the port's name afterwards
        bool written;     // the settings file was written
    };
    const Row rows[] = {
        {"no file, number left at 1", "", 1, "COM1", false},
        {"no file, number 5", "", 5, "COM5", true},
        {"stored number, unchanged", "[ComPort]\nPort=COM7\n", 7, "COM7", false},
        {"stored number, changed", "[ComPort]\nPort=COM7\n", 12, "COM12", true},
        {"device path, unchanged", "[ComPort]\nPort=/dev/ttyUSB0\n", 1, "/dev/ttyUSB0", false},
        {"device path, number 3", "[ComPort]\nPort=/dev/ttyUSB0\n", 3, "COM3", true},
        {"unconvertible name, number 2", "[ComPort]\nPort=COMx\n", 2, "COM2", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Window window;
        if (*row.file != '\0') {
            WriteBytes(window.SettingsPath(), row.file);
        }
        window.logic->FormShow();
        window["UpDown"].SetIndex(row.chosen);
        window.logic->ButtonReadClick();
        EXPECT_EQ(window.logic->ComPort().Port(), row.port);
        EXPECT_EQ(window.port->opens, 1);
        const std::string stored =
            window.SettingsFileExists() ? ReadBytes(window.SettingsPath()) : std::string();
        EXPECT_EQ(stored != row.file, row.written) << stored;
        if (row.written) {
            // A new file has the system's line ends.
            const std::string line = std::string("Port=") + row.port;
            const std::size_t at = stored.find(line);
            ASSERT_NE(at, std::string::npos) << stored;
            EXPECT_TRUE(stored.substr(at + line.size(), 1) == "\n" ||
                        stored.substr(at + line.size(), 2) == "\r\n")
                << stored;
        }
        // A second start with the same number writes nothing more.
        window.logic->TimerTimer(); // no reply: the transaction ends
        std::filesystem::remove(window.SettingsPath());
        window.logic->ButtonReadClick();
        EXPECT_FALSE(window.SettingsFileExists());
        EXPECT_EQ(window.port->opens, 2);
    }
}

TEST_F(MainWindowLogicTest, StoringAPortNumberKeepsTheOtherSettings) {
    WriteBytes(window.SettingsPath(),
               "[Other]\nPort=COM9\n\n[ComPort]\nPort=COM1\nBaudRate=19200\nParity=Even\n");
    window.logic->FormShow();
    EXPECT_EQ(window.logic->ComPort().BaudRate(), serial::br19200);
    window.logic->ApplyPortNumber(5);
    EXPECT_EQ(ReadBytes(window.SettingsPath()),
              "[Other]\nPort=COM9\n\n[ComPort]\nPort=COM5\nBaudRate=19200\nParity=Even\n");
    EXPECT_EQ(window.logic->ComPort().Port(), "COM5");
}

// A folder with letters outside ASCII: the settings file is read and written there, also on
// Windows, where the system's narrow code page could not name it.
TEST(MainWindowLogicPortNumber, SettingsFileInAFolderOfAnyName) {
    Window window("Пётр Иванов");
    WriteBytes(window.SettingsPath(), "[ComPort]\nPort=COM7\n");
    window.logic->FormShow();
    EXPECT_EQ(window["UpDown"].index, 7);
    window.logic->ApplyPortNumber(9);
    EXPECT_EQ(window.logic->ComPort().Port(), "COM9");
    EXPECT_NE(ReadBytes(window.SettingsPath()).find("Port=COM9"), std::string::npos);
    EXPECT_TRUE(window.ui.Exceptions().empty());
}

TEST_F(MainWindowLogicTest, UnwritableSettingsFileStopsTheStart) {
    // A folder where the file should be: it can be neither read nor written as a file.
    std::filesystem::create_directory(window.SettingsPath());
    window["UpDown"].SetIndex(5);
    window.logic->ButtonReadClick();
    EXPECT_EQ(window.ui.Exceptions(), Strings{"Unable to write to " + window.SettingsFile()});
    EXPECT_EQ(window.port->opens, 0);
    EXPECT_FALSE(window.timer.enabled);
    EXPECT_TRUE(window["ButtonRead"].enabled);
    EXPECT_EQ(window.ui.cursor, protocol::CursorShape::Default);
}

TEST_F(MainWindowLogicTest, UpDownStaysWithinOneToHundred) {
    for (const auto& [requested, shown] : {std::pair{0, 1}, {1, 1}, {100, 100}, {101, 100}}) {
        window["UpDown"].SetIndex(requested);
        EXPECT_EQ(window["UpDown"].index, shown) << requested;
    }
}

// Choosing a type always selects its first range; the labels follow the resistance test.
TEST_F(MainWindowLogicTest, ChoosingATypeSelectsItsFirstRange) {
    struct Row {
        int type;
        Strings ranges;
        const char* lower;
        const char* upper;
        bool ohms;
    };
    const Row rows[] = {
        {9,
         {"0 до 100 Ом", "0 до 500 Ом", "0 до 1 кОм", "0 до 2,5 кОм", "0 до 5 кОм"},
         "0.0",
         "100.0",
         true},
        {1, {"-200 +50", "-50 +200", "-200 +200"}, "-200.0", "50.0", false},
        {3, {" -50 +200"}, "-50.0", "200.0", false},
        {4, {" -50 +200"}, "-50.0", "200.0", false},
        {5, {" -200 +100", " -200 +500"}, "-200.0", "100.0", false},
        {6, {" -200 +50", " -200 +450", " -200 +1100"}, "-200.0", "50.0", false},
        {8, {" -200 +450", "-200 +850"}, "-200.0", "450.0", false},
        {0, {" -50 +50", "0 +180", " -50 +200"}, "-50.0", "50.0", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.type);
        window["NullEdit"].text = "7"; // a typed value is replaced
        window["TipComboBox"].Pick(row.type);
        window.logic->TipComboBoxChange();
        EXPECT_EQ(window["DiapazonComboBox"].items, row.ranges);
        EXPECT_EQ(window["DiapazonComboBox"].index, 0);
        EXPECT_EQ(window["DiapazonComboBox"].text, row.ranges.front());
        EXPECT_EQ(window["NullEdit"].text, row.lower);
        EXPECT_EQ(window["UpEdit"].text, row.upper);
        EXPECT_EQ(window["Label2"].text,
                  row.ohms ? "Диапазон датчика (Oм): " : "Диапазон датчика (град. С): ");
        EXPECT_EQ(window["Label4"].text,
                  row.ohms ? "Рабочий диапазон (Ом): " : "Рабочий диапазон (град. С): ");
    }
}

// Choosing a range puts its limits into the working range and leaves labels and lists alone.
TEST_F(MainWindowLogicTest, ChoosingARangeSetsTheWorkingRange) {
    struct Row {
        int type, item, range;
        const char* lower;
        const char* upper;
    };
    for (const Row& row : {Row{6, 2, 15, "-200.0", "1100.0"}, Row{0, 2, 2, "-50.0", "200.0"},
                           Row{9, 4, 25, "0.0", "5000.0"}, Row{7, 1, 17, "-200.0", "450.0"}}) {
        SCOPED_TRACE(row.range);
        window["TipComboBox"].Pick(row.type);
        window.logic->TipComboBoxChange();
        const int labelChanges = window["Label2"].textChanges;
        window["DiapazonComboBox"].Pick(row.item);
        window.logic->DiapazonComboBoxChange();
        EXPECT_EQ(window.Range(), row.range);
        EXPECT_EQ(window["NullEdit"].text, row.lower);
        EXPECT_EQ(window["UpEdit"].text, row.upper);
        EXPECT_EQ(window["Label2"].textChanges, labelChanges);
    }
}

// A range the transducer reports selects its type, the type's list and the range; the working
// range is shown with the user's separator.
TEST_F(MainWindowLogicTest, SelectingByRangeIndexAtTheCatalogueEdges) {
    struct Row {
        int range, type;
        const char* typeText;
        std::size_t ranges;
        int item;
        const char* lower;
        const char* upper;
    };
    const Row rows[] = {
        {20, 8, "TСП 100", 2, 1, "-200,0", "850,0"},
        {0, 0, "TСМ (R=53Ом)", 3, 0, "-50,0", "50,0"},
        {25, 9, "R", 5, 4, "0,0", "5000,0"},
        {9, 3, "TСМ 50 W=1,426)", 1, 0, "-50,0", "200,0"},
        {6, 2, "ТСМ 100М W=1,428)", 3, 0, "-200,0", "50,0"},
    };
    window.separator = ',';
    for (const Row& row : rows) {
        SCOPED_TRACE(row.range);
        window.logic->SelectRangeByIndex(row.range);
        EXPECT_EQ(window["TipComboBox"].index, row.type);
        EXPECT_EQ(window["TipComboBox"].text, row.typeText);
        EXPECT_EQ(window["DiapazonComboBox"].items.size(), row.ranges);
        EXPECT_EQ(window["DiapazonComboBox"].index, row.item);
        EXPECT_EQ(window.Range(), row.range);
        EXPECT_EQ(window["NullEdit"].text, row.lower);
        EXPECT_EQ(window["UpEdit"].text, row.upper);
    }
    for (const int outside : {-1, 26, 1000}) {
        EXPECT_THROW(window.logic->SelectRangeByIndex(outside), std::out_of_range) << outside;
        EXPECT_THROW(window.logic->SelectSensorRange(outside), std::out_of_range) << outside;
    }
    EXPECT_EQ(window.Range(), 6) << "an index outside the catalogue changes nothing";
}

// Text typed into a list selects nothing: the handlers leave the window alone, and a write
// stops at its message before the port is touched.
TEST_F(MainWindowLogicTest, TypedTextSelectsNothing) {
    window["DiapazonComboBox"].Type("-1 +1");
    EXPECT_EQ(window.Range(), std::nullopt);
    EXPECT_EQ(window.logic->SelectedTypeIndex(), 0);
    window["NullEdit"].text = "1";
    window.logic->DiapazonComboBoxChange();
    EXPECT_EQ(window["NullEdit"].text, "1");
    window.logic->ButtonWriteClick();
    EXPECT_EQ(window.ui.Messages(), Strings{"Не выбран тип или диапазон датчика!"});
    EXPECT_EQ(window.port->opens, 0);

    window["TipComboBox"].Type("PT100");
    EXPECT_EQ(window.logic->SelectedTypeIndex(), std::nullopt);
    window.logic->TipComboBoxChange();
    EXPECT_EQ(window["DiapazonComboBox"].text, "-1 +1");
    // A reported range still selects its type over the typed text.
    window.logic->SelectSensorRange(21);
    EXPECT_EQ(window["TipComboBox"].text, "R");
    EXPECT_EQ(window.Range(), 21);
    EXPECT_TRUE(window.ui.Exceptions().empty());
}

TEST_F(MainWindowLogicTest, ExitDuringATransactionAbandonsIt) {
    window.port->responder = [](const std::string&) { return std::string("!0A\r"); };
    window.logic->ButtonReadClick();
    EXPECT_TRUE(window.timer.enabled);
    EXPECT_TRUE(window.port->open);
    window.logic->Button1Click();
    EXPECT_FALSE(window.timer.enabled);
    EXPECT_FALSE(window.port->open);
    EXPECT_EQ(window.closeRequests, 1);
    window.logic->FormClose(); // the toolkit reports the close: nothing is left to stop
    EXPECT_EQ(window.port->Commands(), Strings{"$8"});
    EXPECT_EQ(window["StatusBar"].items, (Strings{"Передано: $8", "Принято:"}));
    EXPECT_TRUE(window.ui.shown.empty());
}

// After the first valid reply to a configuration read, "Калибровка" and the calibration
// window's buttons follow every transaction; before it they stay as the layout has them.
TEST_F(MainWindowLogicTest, CalibrationControlsFollowTheFirstAnswer) {
    RecordingLink link;
    window.logic->SetCalibrationLink(&link);
    window.logic->Button2Click();
    EXPECT_EQ(link.shown, 1);

    window.logic->ButtonZClick(); // no answer
    window.logic->TimerTimer();
    EXPECT_TRUE(window["ButtonTemp"].enabled);
    EXPECT_FALSE(window["Button2"].enabled);
    EXPECT_TRUE(link.calibrationButtons.empty());

    window.port->responder = [](const std::string&) { return std::string("!0\r"); };
    window.logic->ButtonReadClick();
    for (int step = 0; step < 5; ++step) {
        EXPECT_FALSE(window["ButtonRead"].enabled);
        window.logic->TimerTimer();
    }
    EXPECT_TRUE(window["Button2"].enabled);
    EXPECT_EQ(link.calibrationButtons, std::vector<bool>{true});
    window.logic->ButtonTempClick();
    EXPECT_FALSE(window["Button2"].enabled);
    for (const char* name : {"ButtonRead", "ButtonWrite", "ButtonTemp", "ButtonZ"}) {
        EXPECT_FALSE(window[name].enabled) << name;
    }
    window.logic->SetContinueButtonEnabled(false);
    window.logic->SetCalibrationUnfinished(true);
    EXPECT_EQ(link.continueButton, std::vector<bool>{false});
    EXPECT_EQ(link.unfinished, std::vector<bool>{true});
    window.logic->SetCalibrationLink(nullptr);
    window.logic->Button2Click(); // without a calibration window nothing happens
    EXPECT_EQ(link.shown, 1);
}

TEST_F(MainWindowLogicTest, EscapingErrorIsShownAndTheWindowGoesOn) {
    window.port->openError = "Unable to open com port";
    window.logic->ButtonReadClick();
    EXPECT_EQ(window.ui.Exceptions(), Strings{"Unable to open com port"});
    EXPECT_TRUE(window["ButtonRead"].enabled);
    EXPECT_FALSE(window.timer.enabled);
    window.port->openError.clear();
    window.port->responder = [](const std::string&) { return std::string("!23.4\r"); };
    window.logic->ButtonTempClick();
    window.logic->TimerTimer();
    EXPECT_EQ(window["LabelTemp"].text, "Температура (град. С): 23.4");
    window.port->connectOnOpen = false;
    window.logic->ButtonReadClick();
    EXPECT_EQ(window.ui.Messages(), Strings{"Неверно задан номер СОM-порта"});
}

} // namespace
