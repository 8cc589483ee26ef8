// Both Win32 windows on the display the run was started with (run-at-dpi: the prefix's
// resolution and the X server's screen size): drawn at their monitor's resolution, or at the
// highest one at which they still fit where that one would not; their client areas, places,
// sizes, fonts and pictures the description's at that resolution; every caption inside its
// control; and the whole window inside the work area of its monitor.

#include "tests/app/win32/windows_fixture.h"

#include "ui/win32/display_dpi.h"
#include "ui/window_scale.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

namespace {

using ui::ControlKind;
using ui::ControlSpec;
using ui::ScaleLength;
using win32_test::FontOf;
using win32_test::InParent;
using win32_test::Windows;

struct Shown {
    const char* name;
    std::function<ui::win32::FormWindow&(Windows&)> open;
};

class ScaledWindowTest : public testing::TestWithParam<Shown> {
protected:
    // Both windows are made once for every case: each run of the program is one display.
    static Windows* w;
    ui::win32::FormWindow* form = nullptr;

    static void SetUpTestSuite() {
        w = new Windows;
        w->Show();
    }
    static void TearDownTestSuite() {
        delete w;
        w = nullptr;
    }
    void SetUp() override {
        form = &GetParam().open(*w);
        lirat_test::PumpFor(50);
    }

    HWND Handle() const { return form->Handle(); }
    RECT WorkArea() const {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        ::GetMonitorInfoW(::MonitorFromWindow(Handle(), MONITOR_DEFAULTTONEAREST), &info);
        return info.rcWork;
    }
    SIZE Frame() const {
        RECT outer{};
        RECT client{};
        ::GetWindowRect(Handle(), &outer);
        ::GetClientRect(Handle(), &client);
        return {outer.right - outer.left - client.right, outer.bottom - outer.top - client.bottom};
    }
    // Whether the window with its frame fits the work area when drawn at `dpi`.
    bool FitsAt(int dpi) const {
        const RECT work = WorkArea();
        const ui::FormSpec& design = form->Design();
        return ScaleLength(design.clientWidth, dpi) + Frame().cx <= work.right - work.left &&
               ScaleLength(design.clientHeight, dpi) + Frame().cy <= work.bottom - work.top;
    }
};

Windows* ScaledWindowTest::w = nullptr;

TEST_P(ScaledWindowTest, DrawnAtTheMonitorsResolutionOrTheHighestThatFits) {
    const int monitor = ui::win32::MonitorDpi(Handle());
    if (const char* asked = std::getenv("LIRAT_EXPECTED_DPI")) {
        EXPECT_EQ(monitor, std::atoi(asked)) << "the prefix's resolution did not take";
    }
    if (const char* asked = std::getenv("LIRAT_EXPECTED_SCREEN")) {
        EXPECT_EQ(std::to_string(::GetSystemMetrics(SM_CXSCREEN)) + "x" +
                      std::to_string(::GetSystemMetrics(SM_CYSCREEN)),
                  asked);
    }
    const int dpi = form->LayoutDpi();
    const RECT work = WorkArea();
    SCOPED_TRACE(testing::Message()
                 << "drawn at " << dpi << " dpi on a monitor of " << monitor << ", frame "
                 << Frame().cx << " x " << Frame().cy << ", work area " << work.right - work.left
                 << " x " << work.bottom - work.top);
    if (FitsAt(monitor)) {
        EXPECT_EQ(dpi, monitor);
    } else {
        EXPECT_LT(dpi, monitor);
        EXPECT_TRUE(FitsAt(dpi));
        EXPECT_FALSE(FitsAt(dpi + 1)) << "a higher resolution would still have fitted";
    }
    RECT client{};
    ::GetClientRect(Handle(), &client);
    EXPECT_EQ(client.right, ScaleLength(form->Design().clientWidth, dpi));
    EXPECT_EQ(client.bottom, ScaleLength(form->Design().clientHeight, dpi));
}

TEST_P(ScaledWindowTest, TheWholeWindowIsInsideTheWorkArea) {
    RECT outer{};
    ::GetWindowRect(Handle(), &outer);
    const RECT work = WorkArea();
    EXPECT_GE(outer.left, work.left);
    EXPECT_GE(outer.top, work.top);
    EXPECT_LE(outer.right, work.right);
    EXPECT_LE(outer.bottom, work.bottom);
}

TEST_P(ScaledWindowTest, EveryControlIsTheDescriptionsAtThatResolution) {
    const int dpi = form->LayoutDpi();
    const ui::FormSpec& design = form->Design();
    for (const ControlSpec& control : design.controls) {
        SCOPED_TRACE(control.name);
        HWND window = form->ControlHandle(control.name);
        ASSERT_NE(window, nullptr);
        const int face = ui::ScaleFontHeight(
            control.fontHeight > 0 ? control.fontHeight : design.fontHeight, dpi);
        if (control.kind == ControlKind::Label && !control.autoSize) {
            EXPECT_LE(-FontOf(window).lfHeight, face) << "a fixed label only shrinks";
        } else if (control.kind != ControlKind::Picture && control.kind != ControlKind::UpDown &&
                   control.kind != ControlKind::TabSheet) {
            EXPECT_EQ(-FontOf(window).lfHeight, face);
        }
        if (control.kind == ControlKind::TabSheet) {
            continue; // fills its page control
        }
        const RECT at = InParent(window);
        // The logic moves some labels, in the description's pixels (the output unit).
        EXPECT_EQ(at.left, ScaleLength((*form)[control.name].Left(), dpi));
        EXPECT_EQ(at.top, ScaleLength(control.top, dpi));
        if (control.kind == ControlKind::Label && control.autoSize) {
            EXPECT_GE(at.right - at.left, ScaleLength(control.width, dpi));
        } else if (control.kind == ControlKind::ComboBox) {
            // The closed box is as tall as its edit field's face needs, a few pixels more than
            // the layout's at the larger faces.
            EXPECT_EQ(at.right - at.left, ScaleLength(control.width, dpi));
            EXPECT_GE(at.bottom - at.top, ScaleLength(control.height, dpi));
            EXPECT_LE(at.bottom - at.top, ScaleLength(control.height, dpi) + 4);
        } else {
            EXPECT_EQ(at.right - at.left, ScaleLength(control.width, dpi));
            EXPECT_EQ(at.bottom - at.top, ScaleLength(control.height, dpi));
        }
        if (control.kind == ControlKind::Picture) {
            BITMAP bitmap{};
            ASSERT_NE(::GetObjectW(reinterpret_cast<HBITMAP>(
                                       ::SendMessageW(window, STM_GETIMAGE, IMAGE_BITMAP, 0)),
                                   sizeof bitmap, &bitmap),
                      0);
            EXPECT_EQ(bitmap.bmWidth, ScaleLength(control.width, dpi));
            EXPECT_EQ(bitmap.bmHeight, ScaleLength(control.height, dpi));
        }
    }
}

TEST_P(ScaledWindowTest, EveryCaptionFits) {
    EXPECT_EQ(win32_test::CaptionsThatDoNotFit(*form), std::vector<std::string>{});
    // Labels: the text within the label, the label within its parent.
    for (const ControlSpec& control : form->Spec().controls) {
        HWND label = form->ControlHandle(control.name);
        if (control.kind != ControlKind::Label || !(*form)[control.name].Visible()) {
            continue;
        }
        SCOPED_TRACE(control.name);
        const RECT at = InParent(label);
        RECT parent{};
        ::GetClientRect(::GetParent(label), &parent);
        EXPECT_LE(win32_test::CaptionWidth(label, ui::win32::WindowText(label)),
                  at.right - at.left);
        EXPECT_LE(at.right, parent.right);
        EXPECT_LE(at.bottom, parent.bottom);
    }
}

INSTANTIATE_TEST_SUITE_P(
    BothWindows, ScaledWindowTest,
    testing::Values(Shown{"Main", [](Windows& w) -> ui::win32::FormWindow& { return w.Main(); }},
                    Shown{"Calibration",
                          [](Windows& w) -> ui::win32::FormWindow& {
                              if (!w.Kalibr().Shown()) {
                                  w.kalibr->Show();
                              }
                              return w.Kalibr();
                          }}),
    [](const testing::TestParamInfo<Shown>& info) { return std::string(info.param.name); });

} // namespace
