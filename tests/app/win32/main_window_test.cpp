// What the Win32 main window does that is the toolkit's own, in process: the keys of a dialog,
// the message loop that runs no reply after "Выход", and the calibration window shown modally
// over it. What the window decides is tested without a toolkit in tests/app, how it is built
// from its description by the renderer conformance suite (windows_layout_test).

#include "tests/app/win32/windows_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using win32_test::Windows;

class MainWindowTest : public ::testing::Test {
protected:
    Windows w;
    void SetUp() override { w.Show(); }
};

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

TEST_F(MainWindowTest, TheCalibrationWindowIsModalOverTheMainWindow) {
    bool mainTookInput = true;
    bool shown = false;
    HWND owner = nullptr;
    w.later.Post([&] {
        mainTookInput = ::IsWindowEnabled(w.Main().Handle()) != FALSE;
        shown = w.Kalibr().Shown();
        owner = ::GetWindow(w.Kalibr().Handle(), GW_OWNER);
        ::PostMessageW(w.Kalibr().Handle(), WM_CLOSE, 0, 0);
    });
    w.form->Logic().Button2Click(); // returns when the modal window has been closed
    EXPECT_TRUE(shown);
    EXPECT_FALSE(mainTookInput);
    EXPECT_EQ(owner, w.Main().Handle());
    EXPECT_FALSE(w.Kalibr().Shown());
    EXPECT_TRUE(::IsWindowEnabled(w.Main().Handle()));
    EXPECT_EQ(w.form->Timer().Interval(), 500);
}

} // namespace
