// The Win32 calibration window in process, over the Win32 main window: built as its
// description says (places, fonts, pictures under their labels, the frame with its close box),
// every showing starting from the zero stage, the gain stage's resistance, the commands and
// intervals of both stages, the page guard while a calibration runs, the warning for an
// unfinished output calibration, the output-mode message and the keys.

#include "tests/app/win32/windows_fixture.h"

#include "calibration/diagram_bitmaps.h"
#include "protocol/engine_texts.h"
#include "ui/win32/wide_text.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using lirat_test::PumpFor;
using ui::ControlKind;
using ui::ControlSpec;
using win32_test::FontOf;
using win32_test::InParent;
using win32_test::Windows;
namespace texts = protocol::texts;

class KalibrFormTest : public ::testing::Test {
protected:
    Windows w;
    void SetUp() override {
        // The transducer answers every command, and "$0" with the status "00".
        w.port->responder = [](const std::string& command) {
            return std::string(command == "$0" ? "!00\r" : "!\r");
        };
        w.Show();
    }
    HWND K(const std::string& name) { return w.Kalibr().ControlHandle(name); }
    std::string KText(const std::string& name) { return w.Kalibr()[name].Text(); }
    void Open() {
        w.kalibr->Show();
        PumpFor(20);
    }
    // A click on a page's tab, as the mouse makes it.
    void ClickTab(int tab) {
        HWND tabs = K("PageControl1");
        RECT rect{};
        ::SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(tab),
                       reinterpret_cast<LPARAM>(&rect));
        const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        ::SendMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageW(tabs, WM_LBUTTONUP, 0, at);
        PumpFor(20);
    }
    // The z-order place of a child among its siblings, topmost 0.
    static int ZOrder(HWND window) {
        int place = 0;
        for (HWND at = ::GetWindow(window, GW_HWNDFIRST); at != window;
             at = ::GetWindow(at, GW_HWNDNEXT)) {
            ++place;
        }
        return place;
    }
};

TEST_F(KalibrFormTest, EveryControlIsBuiltAsTheDescriptionSays) {
    const ui::FormSpec& spec = calibration::KalibrFormDescription();
    Open();
    for (const ControlSpec& control : spec.controls) {
        SCOPED_TRACE(control.name);
        HWND window = K(control.name);
        ASSERT_NE(window, nullptr);
        const LOGFONTW face = FontOf(window);
        if (control.kind == ControlKind::Label && !control.autoSize) {
            EXPECT_LE(-face.lfHeight, control.fontHeight) << "a fixed label only shrinks";
        } else if (control.kind != ControlKind::Picture && control.kind != ControlKind::TabSheet) {
            EXPECT_EQ(-face.lfHeight,
                      control.fontHeight > 0 ? control.fontHeight : spec.fontHeight);
        }
        if (control.kind == ControlKind::TabSheet) {
            continue; // placed by its page control
        }
        const RECT at = InParent(window);
        if (control.name != "Label5") { // moved by the output type at every showing
            EXPECT_EQ(at.left, control.left);
        }
        EXPECT_EQ(at.top, control.top);
        if (control.kind == ControlKind::Label && control.autoSize) {
            EXPECT_GE(at.right - at.left, control.width);
        } else {
            EXPECT_EQ(at.right - at.left, control.width);
            EXPECT_EQ(at.bottom - at.top, control.height);
        }
        if (control.kind == ControlKind::Picture) {
            HBITMAP bitmap =
                reinterpret_cast<HBITMAP>(::SendMessageW(window, STM_GETIMAGE, IMAGE_BITMAP, 0));
            BITMAP info{};
            ASSERT_NE(::GetObjectW(bitmap, sizeof info, &info), 0);
            EXPECT_EQ(info.bmWidth, 483);
            EXPECT_EQ(info.bmHeight, 437);
            EXPECT_FALSE(calibration::DiagramBitmap(control.picture).empty());
        }
        EXPECT_EQ(::IsWindowEnabled(window) != FALSE, control.enabled);
    }
    // The labels written onto the pictures lie above them.
    EXPECT_LT(ZOrder(K("Label3")), ZOrder(K("Image1")));
    EXPECT_LT(ZOrder(K("Label5")), ZOrder(K("Image2")));
}

TEST_F(KalibrFormTest, TheFrameHasItsCloseBoxAndStaysAboveTheMainWindow) {
    HWND window = w.Kalibr().Handle();
    EXPECT_EQ(ui::win32::WindowText(window), "Калибровка прибора");
    const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
    EXPECT_NE(style & WS_SYSMENU, 0);
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
    EXPECT_EQ(::GetWindow(window, GW_OWNER), w.Main().Handle());
    RECT client{};
    ::GetClientRect(window, &client);
    EXPECT_EQ(client.right, calibration::KalibrFormDescription().clientWidth);
    EXPECT_EQ(client.bottom, calibration::KalibrFormDescription().clientHeight);
}

struct UnitRow {
    int output;
    const char* unit;
    int left;
};

class OutputUnitTest : public KalibrFormTest, public ::testing::WithParamInterface<UnitRow> {};

TEST_P(OutputUnitTest, EveryShowingStartsAtTheZeroStageWithTheOutputsUnit) {
    Open();
    w.Click(K("Button2")); // disabled in the layout: no stage change
    w.Kalibr()["Button2"].SetEnabled(true);
    w.Click(K("Button2"));
    EXPECT_EQ(KText("Label1"), "Калибровка усиления");
    w.kalibr->Close();
    w.Main()["TipOut"].SetIndex(GetParam().output);
    Open();
    EXPECT_EQ(KText("Label1"), "Калибровка нуля");
    EXPECT_EQ(KText("Label3"), "R = 0,0 Om");
    EXPECT_EQ(KText("ButtonExit"), "Отмена");
    EXPECT_TRUE(::IsWindowVisible(K("Button2")));
    EXPECT_EQ(w.Kalibr()["PageControl1"].Index(), 0);
    EXPECT_EQ(KText("Label5"), GetParam().unit);
    EXPECT_EQ(InParent(K("Label5")).left, GetParam().left);
}

INSTANTIATE_TEST_SUITE_P(Outputs, OutputUnitTest,
                         ::testing::Values(UnitRow{0, "V", 212}, UnitRow{1, "mA", 204},
                                           UnitRow{2, "mA", 204}));

struct ResistanceRow {
    int type;
    int range;
    const char* resistance;
};

class GainStageTest : public KalibrFormTest, public ::testing::WithParamInterface<ResistanceRow> {};

TEST_P(GainStageTest, ContinueShowsTheResistanceOfTheSelectedRange) {
    w.Choose("TipComboBox", GetParam().type);
    w.Choose("DiapazonComboBox", GetParam().range);
    Open();
    w.Kalibr()["Button2"].SetEnabled(true);
    w.Click(K("Button2"));
    EXPECT_EQ(KText("Label1"), "Калибровка усиления");
    EXPECT_EQ(KText("Label3"), GetParam().resistance);
    EXPECT_FALSE(::IsWindowVisible(K("Button2")));
    EXPECT_EQ(KText("ButtonExit"), "Выход");
    // The fixed label keeps its box; its text fits it.
    const RECT box = InParent(K("Label3"));
    EXPECT_EQ(box.right - box.left, 113);
}

INSTANTIATE_TEST_SUITE_P(Ranges, GainStageTest,
                         ::testing::Values(ResistanceRow{2, 1, "R=250,0 Om"},
                                           ResistanceRow{9, 3, "R=2,5 kOm"},
                                           ResistanceRow{0, 0, "R=50,0 Om"}));

class InputStageTest : public KalibrFormTest, public ::testing::WithParamInterface<int> {};

TEST_P(InputStageTest, EachStageSendsItsCommandThenTheStatusQuery) {
    Open();
    if (GetParam() == 1) {
        w.Kalibr()["Button2"].SetEnabled(true);
        w.Click(K("Button2"));
    }
    w.Click(K("Button1"));
    EXPECT_EQ(w.form->Timer().Interval(), 3000);
    EXPECT_FALSE(::IsWindowEnabled(w("ButtonRead")));
    w.Finish();
    EXPECT_EQ(w.port->Commands(), (std::vector<std::string>{GetParam() == 0 ? "$1" : "$2", "$0"}));
    EXPECT_EQ(w.form->Timer().Interval(), 500);
    EXPECT_EQ(w.ui.Messages(),
              (std::vector<std::string>{texts::ConnectSubstitute, texts::CalibrationSucceeded}));
    EXPECT_TRUE(::IsWindowEnabled(w("ButtonRead")));
}

INSTANTIATE_TEST_SUITE_P(Stages, InputStageTest, ::testing::Values(0, 1));

TEST_F(KalibrFormTest, ThePageStaysWhileACalibrationRuns) {
    // The device must have answered a read once, or the guard's flag never follows the
    // transactions.
    w.port->responder = [](const std::string& command) {
        return std::string(command == "$8" || command == "$0" ? "!00\r" : "!1\r");
    };
    w.Click("ButtonRead");
    w.Finish();
    ASSERT_TRUE(::IsWindowEnabled(w("Button2")));
    Open();
    w.Click(K("Button1"));
    ClickTab(1);
    EXPECT_EQ(w.Kalibr()["PageControl1"].Index(), 0);
    w.Finish();
    ClickTab(1);
    EXPECT_EQ(w.Kalibr()["PageControl1"].Index(), 1);
    EXPECT_TRUE(::IsWindowVisible(K("Button3")));
    EXPECT_FALSE(::IsWindowVisible(K("Button1")));
}

TEST_F(KalibrFormTest, ClosingDuringAnOutputCalibrationWarnsAndLeavesItRunning) {
    Open();
    w.Kalibr()["PageControl1"].SetIndex(1);
    w.Click(K("Button3"));
    ASSERT_TRUE(w.form->Timer().Enabled());
    w.Click(K("Button4"));
    EXPECT_FALSE(w.Kalibr().Shown());
    EXPECT_EQ(w.ui.Messages().back(), texts::CalibrationWindowClosedEarly);
    EXPECT_TRUE(w.form->Timer().Enabled()) << "the calibration goes on in the main window";
}

TEST_F(KalibrFormTest, ClosingAfterAFinishedOutputCalibrationWarnsNothing) {
    w.ui.inputAnswers = {std::string("0.05"), std::string("9.95")};
    Open();
    w.Kalibr()["PageControl1"].SetIndex(1);
    w.Click(K("Button3"));
    w.Finish();
    EXPECT_EQ(w.ui.Messages().back(), texts::CalibrationSucceeded);
    ::SendMessageW(w.Kalibr().Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); // the close box
    PumpFor(20);
    EXPECT_FALSE(w.Kalibr().Shown());
    EXPECT_EQ(w.ui.Messages().back(), texts::CalibrationSucceeded);
}

struct ModeRow {
    int output;
    const char* mode;
};

class OutputModeTest : public KalibrFormTest, public ::testing::WithParamInterface<ModeRow> {};

TEST_P(OutputModeTest, TheMessageNamesTheOutputChosenInTheMainWindow) {
    w.Main()["TipOut"].SetIndex(GetParam().output);
    Open();
    w.Kalibr()["PageControl1"].SetIndex(1);
    w.Click(K("Button3"));
    ASSERT_FALSE(w.ui.Messages().empty());
    EXPECT_EQ(w.ui.Messages().front(), std::string(texts::CheckOutputMode) + GetParam().mode);
    EXPECT_EQ(w.port->Commands(), std::vector<std::string>{"$A0D0"});
}

INSTANTIATE_TEST_SUITE_P(Outputs, OutputModeTest,
                         ::testing::Values(ModeRow{0, "0 - 10B"}, ModeRow{1, "0 - 5 mA"},
                                           ModeRow{2, "0 - 20 mA"}));

TEST_F(KalibrFormTest, EscapeLeavesTheWindowOpenEnterPressesTheFocusedButton) {
    Open();
    ::SetFocus(K("ButtonExit"));
    Windows::Key(VK_ESCAPE);
    EXPECT_TRUE(w.Kalibr().Shown());
    Windows::Key(VK_RETURN);
    EXPECT_FALSE(w.Kalibr().Shown());
}

} // namespace
