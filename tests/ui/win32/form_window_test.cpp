// The Win32 renderer of window descriptions on the sample window: what the user does reaches the
// events by control name and what the code sets raises none, the keys of a standard dialog, Tab
// into groups and pages, the page guard, the up-down's range, labels that size themselves or
// shrink their font, a move to a monitor of another resolution, and the timer's ticks through
// the message loop.

#include "ui/win32/form_window.h"

#include "tests/support/sample_form.h"
#include "tests/support/win32_rendered_window.h"
#include "tests/ui/win32/pump.h"
#include "ui/win32/display_dpi.h"
#include "ui/win32/wide_text.h"
#include "ui/win32/win32_timer.h"
#include "ui/win32/window_font.h"
#include "ui/window_scale.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

using lirat_test::PumpFor;
using lirat_test::PumpUntil;
using testing_support::InParent;
using ui::ControlSpec;

struct Recorder : ui::EventSink {
    std::vector<std::string> events;
    bool allowPageChange = true;
    bool Raise(const std::string& control, ui::FormEvent event) override {
        static const std::map<ui::FormEvent, std::string> kWords = {
            {ui::FormEvent::Click, "click "},
            {ui::FormEvent::Change, "change "},
            {ui::FormEvent::Changing, "changing "}};
        events.push_back(kWords.at(event) + control);
        return event != ui::FormEvent::Changing || allowPageChange;
    }
    ui::win32::FormOptions Options() {
        ui::win32::FormOptions options;
        options.closeRequested = [this] { events.push_back("close"); };
        return options;
    }
};

LONG FontHeight(HWND window) {
    return -testing_support::FontOf(testing_support::FontOf(window)).lfHeight;
}

class FormWindowTest : public ::testing::Test {
protected:
    Recorder events;
    ui::win32::FormWindow form{testing_support::SampleForm(), events, events.Options()};

    void SetUp() override {
        form.Show();
        PumpFor(50);
    }
    HWND Handle(const char* name) { return form.ControlHandle(name); }
    // A key as the keyboard sends it, through the message loop.
    void Key(HWND target, WPARAM key) {
        ::PostMessageW(target, WM_KEYDOWN, key, 1);
        ::PostMessageW(target, WM_KEYUP, key, 0xC0000001);
        PumpFor(30);
    }
};

TEST_F(FormWindowTest, UserActionsRaiseEventsAndCodeRaisesNone) {
    ::SendMessageW(Handle("First"), BM_CLICK, 0, 0);
    form["Second"].SetEnabled(false);
    ::SendMessageW(Handle("Second"), BM_CLICK, 0, 0);
    form["List"].SetIndex(2);
    form["List"].ClearItems();
    form["List"].AddItem("четыре");
    form["List"].AddItem("пять");
    form["List"].SetIndex(0);
    form["List"].SetText("своё");
    form["Radios"].SetIndex(2);
    form["Pages"].SetIndex(1);
    EXPECT_EQ(events.events, std::vector<std::string>{"click First"});
    EXPECT_EQ(form["List"].Text(), "своё");
    EXPECT_EQ(form["Radios"].Index(), 2);
    EXPECT_EQ(form["Pages"].Index(), 1);
    // The user moving through the closed list: a change at each step.
    ::SetFocus(Handle("List"));
    form["List"].SetIndex(0);
    Key(::GetFocus(), VK_DOWN);
    EXPECT_EQ(events.events.back(), "change List");
    EXPECT_EQ(form["List"].Index(), 1);
    EXPECT_EQ(form["List"].Text(), "пять");
}

TEST_F(FormWindowTest, TabFollowsTheDescriptionsOrderIntoGroupsAndPages) {
    std::vector<std::string> visited;
    for (int i = 0; i < 7; ++i) {
        HWND focus = ::GetFocus();
        std::string name = "?";
        for (const ControlSpec& control : form.Spec().controls) {
            HWND own = Handle(control.name.c_str());
            if (own == focus || ::IsChild(own, focus)) {
                name = control.name; // a combo box's edit field, a radio button of a group
            }
        }
        visited.push_back(name);
        Key(focus, VK_TAB);
    }
    EXPECT_EQ(visited, (std::vector<std::string>{"First", "Second", "List", "Number", "Arrows",
                                                 "Pages", "OnA"}));
}

TEST_F(FormWindowTest, EnterAndSpacePressTheFocusedButtonEscapeDoesNothing) {
    ::SetFocus(Handle("Second"));
    Key(Handle("Second"), VK_RETURN);
    Key(Handle("Second"), VK_SPACE);
    Key(Handle("Second"), VK_ESCAPE);
    ::SetFocus(Handle("Number"));
    Key(Handle("Number"), VK_RETURN);
    Key(Handle("Number"), VK_ESCAPE);
    EXPECT_EQ(events.events, (std::vector<std::string>{"click Second", "click Second"}));
    EXPECT_TRUE(form.Shown());
}

TEST_F(FormWindowTest, UpDownStaysInItsRangeWithoutWrappingAndShowsItsPosition) {
    form["Arrows"].SetIndex(0);
    EXPECT_EQ(form["Arrows"].Index(), 1);
    form["Arrows"].SetIndex(99);
    ::SetFocus(Handle("Number"));
    Key(Handle("Number"), VK_UP);
    EXPECT_EQ(form["Arrows"].Index(), 100);
    EXPECT_EQ(form["Number"].Text(), "100");
    Key(Handle("Number"), VK_UP);
    EXPECT_EQ(form["Arrows"].Index(), 100);
    form["Arrows"].SetIndex(1);
    Key(Handle("Number"), VK_DOWN);
    EXPECT_EQ(form["Arrows"].Index(), 1);
    EXPECT_EQ(form["Number"].Text(), "1");
}

TEST_F(FormWindowTest, ThePageChangesOnlyWhenTheGuardAllowsIt) {
    HWND tabs = Handle("Pages");
    RECT second{};
    ::SendMessageW(tabs, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&second));
    const LPARAM at =
        MAKELPARAM((second.left + second.right) / 2, (second.top + second.bottom) / 2);
    events.allowPageChange = false;
    ::SendMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(tabs, WM_LBUTTONUP, 0, at);
    EXPECT_EQ(form["Pages"].Index(), 0);
    EXPECT_TRUE(::IsWindowVisible(Handle("PageA")));
    events.allowPageChange = true;
    ::SendMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(tabs, WM_LBUTTONUP, 0, at);
    EXPECT_EQ(form["Pages"].Index(), 1);
    EXPECT_TRUE(::IsWindowVisible(Handle("PageB")));
    EXPECT_FALSE(::IsWindowVisible(Handle("PageA")));
    EXPECT_EQ(events.events, (std::vector<std::string>{"changing Pages", "changing Pages"}));
    EXPECT_EQ(form["PageB"].Text(), "Выход");
}

TEST_F(FormWindowTest, LabelsGrowWithTheirCaptionOrShrinkTheirFontToFit) {
    form["Caption"].SetText("Рабочий диапазон (град. С): ");
    RECT grown = InParent(Handle("Caption"));
    const SIZE needed = ui::win32::TextExtent(ui::win32::FaceFont("MS Sans Serif", 11),
                                              L"Рабочий диапазон (град. С): ");
    EXPECT_GE(grown.right - grown.left, needed.cx);
    form["Caption"].SetText("m");
    grown = InParent(Handle("Caption"));
    EXPECT_EQ(grown.right - grown.left, 30) << "never narrower than the layout's width";

    form["Fixed"].SetText("R = 0,0 Om and much more");
    const RECT box = InParent(Handle("Fixed"));
    EXPECT_EQ(box.right - box.left, 60);
    EXPECT_LT(FontHeight(Handle("Fixed")), 21);
    form["Fixed"].SetText("R");
    EXPECT_EQ(FontHeight(Handle("Fixed")), 21);
}

TEST_F(FormWindowTest, AMoveToAMonitorOfAnotherResolutionRescalesAtTheSuggestedPlace) {
    // A place the logic gave, in the description's pixels, survives every rescaling.
    form["Caption"].SetLeft(210);
    const struct {
        int dpi, left, top;
        RECT expected; // the window with its frame, as far as it is inside 1280 x 1024
    } moves[] = {
        {144, 100, 60, {100, 60, 0, 0}},        // taken as suggested
        {192, 1100, 900, {-1, -1, 1280, 1024}}, // pulled inside
        {96, 50, 40, {50, 40, 0, 0}},           // back
    };
    for (const auto& move : moves) {
        SCOPED_TRACE(move.dpi);
        RECT suggested{move.left, move.top, move.left + 500, move.top + 400};
        ::SendMessageW(form.Handle(), ui::win32::kDpiChangedMessage, MAKEWPARAM(move.dpi, move.dpi),
                       reinterpret_cast<LPARAM>(&suggested));
        EXPECT_EQ(form.LayoutDpi(), move.dpi);
        RECT client{};
        ::GetClientRect(form.Handle(), &client);
        EXPECT_EQ(client.right, ui::ScaleLength(400, move.dpi));
        EXPECT_EQ(client.bottom, ui::ScaleLength(300, move.dpi));
        RECT outer{};
        ::GetWindowRect(form.Handle(), &outer);
        if (move.expected.left >= 0) {
            EXPECT_EQ(outer.left, move.expected.left);
            EXPECT_EQ(outer.top, move.expected.top);
        } else {
            EXPECT_LE(outer.right, move.expected.right);
            EXPECT_LE(outer.bottom, move.expected.bottom);
        }
        const RECT first = InParent(Handle("First"));
        EXPECT_EQ(first.left, ui::ScaleLength(10, move.dpi));
        EXPECT_EQ(first.right - first.left, ui::ScaleLength(75, move.dpi));
        EXPECT_EQ(FontHeight(Handle("First")), ui::ScaleFontHeight(11, move.dpi));
        EXPECT_EQ(FontHeight(Handle("Fixed")), ui::ScaleFontHeight(21, move.dpi));
        EXPECT_EQ(InParent(Handle("Caption")).left, ui::ScaleLength(210, move.dpi));
        EXPECT_EQ(form["Caption"].Left(), 210);
        // The radio buttons stay inside their group, the pages inside their page control.
        const RECT group = InParent(Handle("Radios"));
        const RECT last = InParent(form.ItemHandle("Radios", 2));
        EXPECT_LE(last.bottom, group.bottom - group.top);
        RECT page{};
        ::GetClientRect(Handle("Pages"), &page);
        EXPECT_LE(InParent(Handle("PageA")).right, page.right);
    }
    // Asked for its size at a new resolution before the move, the window gives its own.
    SIZE size{};
    EXPECT_EQ(::SendMessageW(form.Handle(), ui::win32::kGetDpiScaledSizeMessage, 192,
                             reinterpret_cast<LPARAM>(&size)),
              TRUE);
    EXPECT_GE(size.cx, 800);
    EXPECT_GE(size.cy, 600);
    EXPECT_LT(size.cx, 800 + 100);
}

TEST_F(FormWindowTest, TheCloseBoxAsksAndTheWindowStays) {
    ::SendMessageW(form.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(events.events, std::vector<std::string>{"close"});
    EXPECT_TRUE(form.Shown());
}

TEST(Win32TimerTest, TicksThroughTheLoopWhileEnabled) {
    int ticks = 0;
    ui::win32::Win32Timer timer([&] { ++ticks; }, 30);
    EXPECT_FALSE(timer.Enabled());
    PumpFor(100);
    EXPECT_EQ(ticks, 0);
    timer.SetEnabled(true);
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 2; }, 2000));
    timer.SetEnabled(false);
    const int stopped = ticks;
    PumpFor(100);
    EXPECT_EQ(ticks, stopped);
    timer.SetInterval(500);
    EXPECT_EQ(timer.Interval(), 500);
    EXPECT_FALSE(timer.Enabled());
}

} // namespace
