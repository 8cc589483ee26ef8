// Both Qt windows through the renderer conformance suite, on Qt's offscreen platform: as the
// normal run registers it, with DejaVu Sans as the only face, and on a 1280 x 720 screen that
// Qt scales by one and a half (LIRAT_EXPECTED_SCREEN names the screen such a run asks for).

#include "tests/app/caption_states.h"
#include "tests/app/qt/window_fixture.h"
#include "tests/support/qt_rendered_window.h"
#include "tests/ui/renderer_conformance.h"

#include "app/main_window_description.h"
#include "calibration/kalibr_form_description.h"
#include "calibration/qt/kalibr_form.h"

#include <QApplication>
#include <QScreen>

#include <cstdlib>
#include <memory>

namespace {

using conformance::RendererConformance;
using conformance::WindowCase;

// Made before the first window; the tests' discovery lists them without one.
class QtApplication : public testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        app_ = std::make_unique<QApplication>(argc_, argv_);
        if (const char* asked = std::getenv("LIRAT_EXPECTED_SCREEN")) {
            const QScreen* screen = QGuiApplication::primaryScreen();
            const QSize device = screen->geometry().size() * screen->devicePixelRatio();
            EXPECT_EQ(std::to_string(device.width()) + "x" + std::to_string(device.height()), asked)
                << "the screen the run asked for did not take";
        }
    }
    // Before main returns: after it, Qt's own statics may be gone before the environment is.
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "windows_layout";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] const testing::Environment* const application =
    testing::AddGlobalTestEnvironment(new QtApplication);

// Both windows linked as the program links them, the transducer scripted.
struct Windows {
    app_test::WindowFixture main;
    calibration::TKalibrForm kalibr{main.form->Engine(), main.form->Logic(), main.ui};
    Windows() { main.form->Logic().SetCalibrationLink(&kalibr.Logic()); }
    ~Windows() { main.form->Logic().SetCalibrationLink(nullptr); }
    Windows(const Windows&) = delete;
    Windows& operator=(const Windows&) = delete;
};

class MainWindow final : private Windows, public testing_support::QtRenderedWindow {
public:
    MainWindow() : QtRenderedWindow(*main.form, app::MainWindowDescription()) {}
    std::vector<conformance::CaptionState> CaptionStates() override {
        return app_test::MainWindowCaptionStates(main.form->Logic());
    }
};

class CalibrationWindow final : private Windows, public testing_support::QtRenderedWindow {
public:
    CalibrationWindow() : QtRenderedWindow(kalibr, calibration::KalibrFormDescription()) {}
    ~CalibrationWindow() override { kalibr.hide(); }
    std::vector<conformance::CaptionState> CaptionStates() override {
        return app_test::CalibrationCaptionStates(main.form->Logic(), kalibr.Logic());
    }
};

INSTANTIATE_TEST_SUITE_P(
    Qt, RendererConformance,
    testing::Values(WindowCase{"MainWindow", [] { return std::make_unique<MainWindow>(); }},
                    WindowCase{"CalibrationWindow",
                               [] { return std::make_unique<CalibrationWindow>(); }}),
    conformance::CaseName);

} // namespace
