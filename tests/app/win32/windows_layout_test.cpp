// Both Win32 windows through the renderer conformance suite, on the display the run was started
// with (run-at-dpi: the prefix's resolution and the X server's screen size, named again in
// LIRAT_EXPECTED_DPI and LIRAT_EXPECTED_SCREEN); and the Win32 windows' own choice of resolution:
// their monitor's, or the highest at which they still fit its work area where that one would
// not.

#include "tests/app/caption_states.h"
#include "tests/app/win32/windows_fixture.h"
#include "tests/support/win32_rendered_window.h"
#include "tests/ui/renderer_conformance.h"

#include "ui/win32/display_dpi.h"
#include "ui/window_scale.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

using conformance::RendererConformance;
using conformance::WindowCase;
using win32_test::Windows;

class MainWindow final : private Windows, public testing_support::Win32RenderedWindow {
public:
    MainWindow() : Win32RenderedWindow(Main()) {}
    void Show() override { Windows::Show(); }
    std::vector<conformance::CaptionState> CaptionStates() override {
        return app_test::MainWindowCaptionStates(form->Logic());
    }
};

class CalibrationWindow final : private Windows, public testing_support::Win32RenderedWindow {
public:
    CalibrationWindow() : Win32RenderedWindow(Kalibr()) { Windows::Show(); }
    void Show() override {
        kalibr->Show();
        lirat_test::PumpFor(20);
    }
    std::vector<conformance::CaptionState> CaptionStates() override {
        return app_test::CalibrationCaptionStates(form->Logic(), kalibr->Logic());
    }
};

const auto kWindows = testing::Values(
    WindowCase{"MainWindow", [] { return std::make_unique<MainWindow>(); }},
    WindowCase{"CalibrationWindow", [] { return std::make_unique<CalibrationWindow>(); }});

INSTANTIATE_TEST_SUITE_P(Win32, RendererConformance, kWindows, conformance::CaseName);

class Resolution : public testing::TestWithParam<WindowCase> {};

TEST_P(Resolution, TheMonitorsOrTheHighestAtWhichTheWindowFits) {
    const auto window = GetParam().open();
    window->Show();
    HWND handle = dynamic_cast<testing_support::Win32RenderedWindow&>(*window).Form().Handle();
    const int monitor = ui::win32::MonitorDpi(handle);
    if (const char* asked = std::getenv("LIRAT_EXPECTED_DPI")) {
        EXPECT_EQ(monitor, std::atoi(asked)) << "the prefix's resolution did not take";
    }
    if (const char* asked = std::getenv("LIRAT_EXPECTED_SCREEN")) {
        EXPECT_EQ(std::to_string(::GetSystemMetrics(SM_CXSCREEN)) + "x" +
                      std::to_string(::GetSystemMetrics(SM_CYSCREEN)),
                  asked);
    }
    const conformance::Box outer = window->Outer();
    const conformance::Box client = window->Client();
    const conformance::Box work = window->WorkArea();
    const ui::FormSpec& design = window->Design();
    // Whether the window with its frame fits the work area when drawn at `dpi`.
    const auto fitsAt = [&](int dpi) {
        return ui::ScaleLength(design.clientWidth, dpi) + outer.width - client.width <=
                   work.width &&
               ui::ScaleLength(design.clientHeight, dpi) + outer.height - client.height <=
                   work.height;
    };
    const int dpi = window->LayoutDpi();
    SCOPED_TRACE(testing::Message() << "drawn at " << dpi << " dpi on a monitor of " << monitor);
    if (fitsAt(monitor)) {
        EXPECT_EQ(dpi, monitor);
    } else {
        EXPECT_LT(dpi, monitor);
        EXPECT_TRUE(fitsAt(dpi));
        EXPECT_FALSE(fitsAt(dpi + 1)) << "a higher resolution would still have fitted";
    }
}

INSTANTIATE_TEST_SUITE_P(Win32, Resolution, kWindows, conformance::CaseName);

} // namespace
