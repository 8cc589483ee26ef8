// Start-up of the configurator: the fixed tables already exist (they are constant-initialised),
// then the application object, the main window, the calibration window and the message loop.
// The process always ends with exit code 0.

#include "app/app_icon.h"
#include "app/main_window.h"
#include "app/qt_ui_services.h"
#include "app/serial_ui_bridge.h"
#include "protocol/guarded_call.h"

#ifdef LIRAT_HAVE_CALIBRATION_WINDOW
#include "calibration/kalibr_form.h"
#endif

#include <QApplication>

namespace {

// Runs the windows until the main window closes.
void RunWindows(app::QtUiServices& ui) {
    app::TForm1 form(ui);
    app::Form1 = &form;
#ifdef LIRAT_HAVE_CALIBRATION_WINDOW
    calibration::TKalibrForm kalibr(form.Engine(), form, ui);
    calibration::KalibrForm = &kalibr;
    form.SetCalibrationLink(&kalibr);
#endif
    form.show();
    QApplication::exec();
#ifdef LIRAT_HAVE_CALIBRATION_WINDOW
    form.SetCalibrationLink(nullptr);
    calibration::KalibrForm = nullptr;
#endif
    app::Form1 = nullptr;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    // The name only places the per-user settings folder; the title the user sees is the main
    // window's caption.
    QApplication::setApplicationName(QStringLiteral("lirat5"));
    QApplication::setWindowIcon(app::ApplicationIcon());

    app::QtUiServices ui;
    // Serial ports deliver their events through Qt's event loop, and errors the serial component
    // cannot raise to a caller are shown like any other escaping exception, on the GUI thread.
    // The tool's own port needs neither (smNone, no handlers); any other port opened here does.
    app::SerialUiBridge serialBridge(ui);

    protocol::GuardedCall(ui, [&ui] { RunWindows(ui); });
    return 0;
}
