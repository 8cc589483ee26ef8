// Start-up of the configurator: the fixed tables already exist (they are constant-initialised),
// then the application object (with the font configuration read beside it), the main window,
// the calibration window and the message loop.
// The process always ends with exit code 0.

#include "app/qt/app_icon.h"
#include "app/qt/main_window.h"
#include "calibration/qt/kalibr_form.h"
#include "protocol/guarded_call.h"
#include "ui/qt/font_configuration_preload.h"
#include "ui/qt/qt_ui_services.h"
#include "ui/qt/serial_ui_bridge.h"

#include <QApplication>

namespace {

// Runs the windows until the main window closes.
void RunWindows(ui::qt::QtUiServices& ui) {
    app::TForm1 form(ui);
    app::Form1 = &form;
    calibration::TKalibrForm kalibr(form.Engine(), form.Logic(), ui);
    calibration::KalibrForm = &kalibr;
    form.Logic().SetCalibrationLink(&kalibr.Logic());
    form.show();
    QApplication::exec();
    form.Logic().SetCalibrationLink(nullptr);
    calibration::KalibrForm = nullptr;
    app::Form1 = nullptr;
}

} // namespace

int main(int argc, char* argv[]) {
    ui::qt::FontConfigurationPreload fontConfiguration;
    QApplication application(argc, argv);
    // The program's name for the desktop session; the title the user sees is the main window's
    // caption.
    QApplication::setApplicationName(QStringLiteral("lirat5"));
    QApplication::setWindowIcon(app::ApplicationIcon());

    ui::qt::QtUiServices ui(app::TForm1::Caption());
    // Serial ports deliver their events through Qt's event loop, and errors the serial component
    // cannot raise to a caller are shown like any other escaping exception, on the GUI thread.
    // The tool's own port needs neither (smNone, no handlers); any other port opened here does.
    ui::qt::SerialUiBridge serialBridge(ui);

    fontConfiguration.Wait(); // before the first window: its fonts need the configuration
    protocol::GuardedCall(ui, [&ui] { RunWindows(ui); });
    return 0;
}
