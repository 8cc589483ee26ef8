// What the Win32 calibration window does that is the toolkit's own, in process over the Win32
// main window: its keys, and the close box, which closes it the way its buttons do. What the
// window decides is tested without a toolkit in tests/calibration, how it is built from its
// description by the renderer conformance suite (tests/app/win32).

#include "tests/app/win32/windows_fixture.h"

#include "protocol/engine_texts.h"

#include <gtest/gtest.h>

namespace {

using lirat_test::PumpFor;
using win32_test::Windows;

class KalibrFormTest : public ::testing::Test {
protected:
    Windows w;
    void SetUp() override {
        w.Show();
        w.kalibr->Show();
        PumpFor(20);
    }
};

TEST_F(KalibrFormTest, EscapeLeavesTheWindowOpenEnterPressesTheFocusedButton) {
    ::SetFocus(w.Kalibr().ControlHandle("ButtonExit"));
    Windows::Key(VK_ESCAPE);
    EXPECT_TRUE(w.Kalibr().Shown());
    Windows::Key(VK_RETURN);
    EXPECT_FALSE(w.Kalibr().Shown());
}

// Closed by its close box during an output calibration, the window warns as closing by "Выход"
// does, and the calibration goes on.
TEST_F(KalibrFormTest, TheCloseBoxClosesLikeTheButtons) {
    w.kalibr->Logic().Button3Click();
    ASSERT_TRUE(w.form->Timer().Enabled());
    ::SendMessageW(w.Kalibr().Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpFor(20);
    EXPECT_FALSE(w.Kalibr().Shown());
    EXPECT_EQ(w.ui.Messages().back(), protocol::texts::CalibrationWindowClosedEarly);
    EXPECT_TRUE(w.form->Timer().Enabled()) << "the calibration goes on in the main window";
}

} // namespace
