// The Win32 main window in process: built as the main window's description says (places, sizes,
// captions, fonts, states, tab order), the catalogue's edge cases through the real drop-down
// lists, every message of the write's validation, the port number and the settings file, the
// keys, leaving during a transaction, the decimal separator and an escaping error.

#include "tests/app/win32/windows_fixture.h"

#include "catalogue/sensor_catalogue.h"
#include "protocol/engine_texts.h"
#include "serial/com_port.h"
#include "ui/win32/wide_text.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using lirat_test::PumpFor;
using ui::ControlKind;
using ui::ControlSpec;
using win32_test::ClassOf;
using win32_test::FontOf;
using win32_test::InParent;
using win32_test::Windows;
namespace texts = protocol::texts;

// The window class each kind of control is made of (a group is a container with a frame).
std::string ClassFor(ControlKind kind) {
    switch (kind) {
    case ControlKind::Label:
    case ControlKind::Picture:
        return "Static";
    case ControlKind::Button:
        return "Button";
    case ControlKind::Edit:
        return "Edit";
    case ControlKind::ComboBox:
        return "ComboBox";
    case ControlKind::UpDown:
        return "msctls_updown32";
    case ControlKind::StatusBar:
        return "msctls_statusbar32";
    case ControlKind::PageControl:
        return "SysTabControl32";
    default:
        return "LiratPanel";
    }
}

// Controls whose text the show-time set-up replaces.
bool ReplacedAtShow(const std::string& name) {
    return name == "Label2" || name == "Label4" || name == "TipComboBox" ||
           name == "DiapazonComboBox" || name == "NullEdit" || name == "UpEdit";
}

class MainWindowTest : public ::testing::Test {
protected:
    Windows w;
    void SetUp() override { w.Show(); }
};

TEST_F(MainWindowTest, EveryControlIsBuiltAsTheDescriptionSays) {
    const ui::FormSpec& spec = app::MainWindowDescription();
    for (const ControlSpec& control : spec.controls) {
        SCOPED_TRACE(control.name);
        HWND window = w(control.name);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(ClassOf(window), ClassFor(control.kind));
        EXPECT_EQ(::GetDlgCtrlID(window), ui::win32::ControlId(spec, control.name));
        const RECT at = InParent(window);
        EXPECT_EQ(at.left, control.left);
        EXPECT_EQ(at.top, control.top);
        if (control.kind == ControlKind::Label) {
            // Labels size themselves: at least the layout's box, as wide as their caption.
            EXPECT_GE(at.right - at.left, control.width);
            EXPECT_GE(at.bottom - at.top, control.height);
        } else {
            EXPECT_EQ(at.right - at.left, control.width);
            EXPECT_EQ(at.bottom - at.top, control.height);
        }
        if (!ReplacedAtShow(control.name) && control.kind != ControlKind::StatusBar &&
            control.kind != ControlKind::UpDown) {
            EXPECT_EQ(w.Text(control.name), control.text);
        }
        EXPECT_EQ(::IsWindowEnabled(window) != FALSE, control.enabled);
        if (control.kind != ControlKind::UpDown) { // it draws arrows, no text
            const LOGFONTW face = FontOf(window);
            EXPECT_EQ(std::wstring(face.lfFaceName), ui::win32::Wide(spec.fontFamily));
            EXPECT_EQ(-face.lfHeight,
                      control.fontHeight > 0 ? control.fontHeight : spec.fontHeight);
        }
        if (control.kind == ControlKind::ComboBox || control.kind == ControlKind::RadioGroup) {
            EXPECT_EQ(w.Main()[control.name].ItemCount() > 0, true);
        }
    }
}

TEST_F(MainWindowTest, EveryCaptionFitsItsControl) {
    EXPECT_EQ(win32_test::CaptionsThatDoNotFit(w.Main()), std::vector<std::string>{});
    EXPECT_EQ(win32_test::CaptionsThatDoNotFit(w.Kalibr()), std::vector<std::string>{});
}

TEST_F(MainWindowTest, TheFrameIsAFixedDialogWithoutButtonsCentredWithTheClientSize) {
    const ui::FormSpec& spec = app::MainWindowDescription();
    HWND window = w.Main().Handle();
    EXPECT_EQ(ui::win32::WindowText(window), "Конфигуратор ЛИРАТ-5");
    const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
    EXPECT_EQ(style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
    EXPECT_NE(::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME, 0);
    RECT client{};
    ::GetClientRect(window, &client);
    EXPECT_EQ(client.right, spec.clientWidth);
    EXPECT_EQ(client.bottom, spec.clientHeight);
    RECT frame{}, area{};
    ::GetWindowRect(window, &frame);
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    EXPECT_LE(std::abs((frame.left + frame.right) - (area.left + area.right)), 1);
    EXPECT_LE(std::abs((frame.top + frame.bottom) - (area.top + area.bottom)), 1);
}

TEST_F(MainWindowTest, FocusStartsOnExitAndTabFollowsTheDescription) {
    const ui::FormSpec& spec = app::MainWindowDescription();
    std::vector<std::string> expected;
    for (const ControlSpec* control : spec.TabChain({})) {
        if (control->enabled) {
            expected.push_back(control->name);
        }
    }
    std::vector<std::string> visited;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        HWND focus = ::GetFocus();
        std::string name = "?";
        for (const ControlSpec& control : spec.controls) {
            HWND own = w(control.name);
            if (own == focus || ::IsChild(own, focus)) {
                name = control.name;
            }
        }
        visited.push_back(name);
        Windows::Key(VK_TAB);
    }
    EXPECT_EQ(visited, expected);
    EXPECT_EQ(expected.front(), "Button1");
}

TEST_F(MainWindowTest, ShownStateIsTheFirstTypeAndRange) {
    std::vector<std::string> names;
    for (const catalogue::SensorType& type : catalogue::SensorTypes) {
        names.emplace_back(type.Name);
    }
    std::vector<std::string> items;
    for (int i = 0; i < w.Main()["TipComboBox"].ItemCount(); ++i) {
        items.push_back(w.Main()["TipComboBox"].ItemText(i));
    }
    EXPECT_EQ(items, names);
    EXPECT_EQ(w.Text("TipComboBox"), "TСМ (R=53Ом)");
    EXPECT_EQ(w.Text("DiapazonComboBox"), " -50 +50");
    EXPECT_EQ(w.Text("Label2"), "Диапазон датчика (град. С): ");
    EXPECT_EQ(w.Text("Label4"), "Рабочий диапазон (град. С): ");
    EXPECT_EQ(w.Text("NullEdit"), "-50.0");
    EXPECT_EQ(w.Text("UpEdit"), "50.0");
    EXPECT_EQ(w.Text("PortEdit"), "1");
    EXPECT_EQ(w.Main()["TipOut"].Index(), 0);
    EXPECT_EQ(w.Main()["StatusBar"].ItemText(0), "Передано:");
    EXPECT_EQ(w.Main()["StatusBar"].ItemText(1), "Принято:");
    EXPECT_FALSE(::IsWindowEnabled(w("ButtonTemp")));
    EXPECT_FALSE(::IsWindowEnabled(w("Button2")));
    EXPECT_FALSE(std::filesystem::exists(w.SettingsFile()));
}

struct ChoiceRow {
    int type;
    int range; // item of the range list
    std::vector<std::string> ranges;
    const char* lower;
    const char* upper;
    const char* label2;
};

class CatalogueChoiceTest : public MainWindowTest,
                            public ::testing::WithParamInterface<ChoiceRow> {};

TEST_P(CatalogueChoiceTest, TheListsAndFieldsFollowTheUsersChoice) {
    const ChoiceRow& row = GetParam();
    w.Type("NullEdit", "7");
    w.Choose("TipComboBox", row.type);
    w.Choose("DiapazonComboBox", row.range);
    std::vector<std::string> ranges;
    for (int i = 0; i < w.Main()["DiapazonComboBox"].ItemCount(); ++i) {
        ranges.push_back(w.Main()["DiapazonComboBox"].ItemText(i));
    }
    EXPECT_EQ(ranges, row.ranges);
    EXPECT_EQ(w.Text("DiapazonComboBox"), row.ranges[static_cast<std::size_t>(row.range)]);
    EXPECT_EQ(w.Text("NullEdit"), row.lower);
    EXPECT_EQ(w.Text("UpEdit"), row.upper);
    EXPECT_EQ(w.Text("Label2"), row.label2);
    EXPECT_TRUE(w.ui.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, CatalogueChoiceTest,
    ::testing::Values(
        ChoiceRow{9,
                  0,
                  {"0 до 100 Ом", "0 до 500 Ом", "0 до 1 кОм", "0 до 2,5 кОм", "0 до 5 кОм"},
                  "0.0",
                  "100.0",
                  "Диапазон датчика (Oм): "},
        ChoiceRow{9,
                  4,
                  {"0 до 100 Ом", "0 до 500 Ом", "0 до 1 кОм", "0 до 2,5 кОм", "0 до 5 кОм"},
                  "0.0",
                  "5000.0",
                  "Диапазон датчика (Oм): "},
        ChoiceRow{3, 0, {" -50 +200"}, "-50.0", "200.0", "Диапазон датчика (град. С): "},
        ChoiceRow{6,
                  2,
                  {" -200 +50", " -200 +450", " -200 +1100"},
                  "-200.0",
                  "1100.0",
                  "Диапазон датчика (град. С): "},
        ChoiceRow{0,
                  2,
                  {" -50 +50", "0 +180", " -50 +200"},
                  "-50.0",
                  "200.0",
                  "Диапазон датчика (град. С): "}));

TEST_F(MainWindowTest, BackFromResistanceTheLabelsTurnToDegrees) {
    w.Choose("TipComboBox", 9);
    EXPECT_EQ(w.Text("Label4"), "Рабочий диапазон (Ом): ");
    w.Choose("TipComboBox", 1);
    EXPECT_EQ(w.Text("Label2"), "Диапазон датчика (град. С): ");
    EXPECT_EQ(w.Text("Label4"), "Рабочий диапазон (град. С): ");
    EXPECT_EQ(w.Text("NullEdit"), "-200.0");
}

TEST_F(MainWindowTest, AReportedRangeSelectsItsTypeFromCodeWithoutAChangeEvent) {
    w.port->responder = [](const std::string& command) {
        return command == "$8" ? std::string("!14\r") : std::string();
    };
    w.Click("ButtonRead");
    w.Tick();
    EXPECT_EQ(w.Text("TipComboBox"), "TСП 100");
    EXPECT_EQ(w.Main()["DiapazonComboBox"].ItemCount(), 2);
    EXPECT_EQ(w.Text("DiapazonComboBox"), "-200 +850");
    EXPECT_EQ(w.Text("NullEdit"), "-200.0");
    EXPECT_EQ(w.Text("UpEdit"), "850.0");
    EXPECT_EQ(w.Main()["StatusBar"].ItemText(1), "Принято: !14");
}

TEST_F(MainWindowTest, TextTypedIntoTheListSelectsNothingAndTheWriteSaysSo) {
    w.Type("DiapazonComboBox", "-10 +10");
    w.Click("ButtonWrite");
    EXPECT_EQ(w.ui.Messages(), std::vector<std::string>{texts::NoRangeSelected});
    EXPECT_EQ(w.port->opens, 0);
}

struct ValidationRow {
    const char* upper;
    const char* lower;
    const char* level;
    const char* message;
};

class WriteValidationTest : public MainWindowTest,
                            public ::testing::WithParamInterface<ValidationRow> {};

TEST_P(WriteValidationTest, RefusedInputShowsItsMessageAndOpensNoPort) {
    w.Type("UpEdit", GetParam().upper);
    w.Type("NullEdit", GetParam().lower);
    w.Type("OutEdit", GetParam().level);
    w.Click("ButtonWrite");
    EXPECT_EQ(w.ui.Messages(), std::vector<std::string>{GetParam().message});
    EXPECT_EQ(w.port->opens, 0);
    EXPECT_TRUE(::IsWindowEnabled(w("ButtonWrite")));
}

INSTANTIATE_TEST_SUITE_P(
    Messages, WriteValidationTest,
    ::testing::Values(ValidationRow{"abc", "-50", "0", texts::BadUpper},
                      ValidationRow{"50.1", "-50", "0", texts::UpperOutOfRange},
                      ValidationRow{"-51", "-50", "0", texts::UpperOutOfRange},
                      ValidationRow{"50", "", "0", texts::BadLower},
                      ValidationRow{"10", "20", "0", texts::LowerOutOfRange},
                      ValidationRow{"50", "-50.5", "0", texts::LowerOutOfRange},
                      ValidationRow{"50", "-50", "x", texts::BadBreakLevel},
                      ValidationRow{"50", "-50", "120.5", texts::BreakLevelOutOfRange},
                      ValidationRow{"50", "-50", "-1", texts::BreakLevelOutOfRange}));

TEST_F(MainWindowTest, AValidWriteSendsTheConfiguration) {
    w.port->responder = [](const std::string&) { return std::string("!\r"); };
    w.Type("OutEdit", "110");
    w.Click("ButtonWrite");
    w.Finish();
    ASSERT_FALSE(w.port->Commands().empty());
    EXPECT_TRUE(w.ui.Messages().empty());
    EXPECT_TRUE(::IsWindowEnabled(w("Button2"))) << "the device has answered a write";
}

TEST_F(MainWindowTest, TheUpDownStopsAtItsEndsAndAChangedNumberIsStoredOnce) {
    ::SetFocus(w("PortEdit"));
    Windows::Key(VK_DOWN);
    EXPECT_EQ(w.Text("PortEdit"), "1");
    for (int i = 0; i < 4; ++i) {
        Windows::Key(VK_UP);
    }
    EXPECT_EQ(w.Text("PortEdit"), "5");
    w.Click("ButtonRead");
    EXPECT_NE(w.SettingsText().find("Port=COM5"), std::string::npos);
    w.Finish();
    std::filesystem::remove(w.SettingsFile());
    w.Click("ButtonRead");
    EXPECT_FALSE(std::filesystem::exists(w.SettingsFile())) << "the same number is stored again";
    w.Finish();
    w.Main()["UpDown"].SetIndex(100);
    ::SetFocus(w("PortEdit"));
    Windows::Key(VK_UP);
    EXPECT_EQ(w.Text("PortEdit"), "100");
}

TEST(MainWindowStartTest, ThePortNumberOfTheSettingsFileIsShown) {
    Windows w;
    std::ofstream(w.SettingsFile(), std::ios::binary) << "[ComPort]\r\nPort=COM7\r\n";
    w.Show();
    EXPECT_EQ(w.Text("PortEdit"), "7");
    EXPECT_EQ(w.form->Logic().ComPort().Port(), "COM7");
}

struct KeyRow {
    const char* focus;
    WPARAM key;
    int opens;
};

class MainWindowKeyTest : public MainWindowTest, public ::testing::WithParamInterface<KeyRow> {};

TEST_P(MainWindowKeyTest, EnterAndSpacePressTheFocusedButtonEscapeDoesNothing) {
    ::SetFocus(w(GetParam().focus));
    Windows::Key(GetParam().key);
    EXPECT_EQ(w.port->opens, GetParam().opens);
    EXPECT_TRUE(w.Main().Shown());
}

INSTANTIATE_TEST_SUITE_P(Keys, MainWindowKeyTest,
                         ::testing::Values(KeyRow{"ButtonRead", VK_RETURN, 1},
                                           KeyRow{"ButtonRead", VK_SPACE, 1},
                                           KeyRow{"ButtonRead", VK_ESCAPE, 0},
                                           KeyRow{"Button1", VK_ESCAPE, 0},
                                           KeyRow{"UpEdit", VK_RETURN, 0}));

TEST_F(MainWindowTest, ExitDuringATransactionClosesThePortAndProcessesNoReply) {
    w.Click("ButtonRead");
    ASSERT_TRUE(w.port->open);
    w.port->Feed("!14\r");
    w.Click("Button1");
    EXPECT_FALSE(w.Main().Shown());
    EXPECT_FALSE(w.port->open);
    EXPECT_FALSE(w.form->Timer().Enabled());
    EXPECT_EQ(w.Text("TipComboBox"), "TСМ (R=53Ом)");
}

TEST(MainWindowSeparatorTest, ACommaSeparatorShowsInTheWorkingRange) {
    Windows w(',');
    w.Show();
    EXPECT_EQ(w.Text("NullEdit"), "-50,0");
    EXPECT_EQ(w.Text("UpEdit"), "50,0");
}

TEST_F(MainWindowTest, TheCalibrationButtonFollowsTheFirstAnswerAndOpensTheModalWindow) {
    w.Click("ButtonRead");
    w.Tick(); // no reply: "Нет связи с прибором!"
    EXPECT_FALSE(::IsWindowEnabled(w("Button2")));
    EXPECT_TRUE(::IsWindowEnabled(w("ButtonTemp")));
    w.port->responder = [](const std::string& command) {
        return command == "$8" ? std::string("!00\r") : std::string("!1\r");
    };
    w.Click("ButtonRead");
    w.Finish();
    ASSERT_TRUE(::IsWindowEnabled(w("Button2")));
    bool mainTookInput = true;
    bool shown = false;
    w.later.Post([&] {
        mainTookInput = ::IsWindowEnabled(w.Main().Handle()) != FALSE;
        shown = w.Kalibr().Shown();
        ::PostMessageW(w.Kalibr().Handle(), WM_CLOSE, 0, 0);
    });
    w.Click("Button2"); // returns when the modal window has been closed
    EXPECT_TRUE(shown);
    EXPECT_FALSE(mainTookInput);
    EXPECT_FALSE(w.Kalibr().Shown());
    EXPECT_TRUE(::IsWindowEnabled(w.Main().Handle()));
    EXPECT_EQ(w.form->Timer().Interval(), 500);
}

TEST_F(MainWindowTest, AnEscapingErrorIsShownAndTheWindowStaysUsable) {
    w.port->openError = "Ошибка открытия порта";
    w.Click("ButtonRead");
    EXPECT_EQ(w.ui.Exceptions(), std::vector<std::string>{"Ошибка открытия порта"});
    EXPECT_TRUE(::IsWindowEnabled(w("ButtonRead")));
    w.port->openError.clear();
    w.port->connectOnOpen = false;
    w.Click("ButtonRead");
    EXPECT_EQ(w.ui.Messages(), std::vector<std::string>{texts::PortNotConnected});
}

} // namespace
