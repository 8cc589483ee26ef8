// Start-up of the configurator: the fixed tables already exist (they are constant-initialised),
// then the application object, the main window, the calibration window and the message loop.
// The process always ends with exit code 0.

#include "app/app_icon.h"
#include "app/main_window.h"
#include "app/qt_ui_services.h"
#include "protocol/guarded_call.h"
#include "serial/app_exception.h"

#ifdef LIRAT_HAVE_CALIBRATION_WINDOW
#include "calibration/kalibr_form.h"
#endif

#include <QApplication>
#include <QMetaObject>

#include <exception>

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
    // Errors the serial component cannot raise to a caller are shown like any other escaping
    // exception, on the user-interface thread.
    serial::SetApplicationExceptionHandler([&ui](std::exception_ptr error) {
        QMetaObject::invokeMethod(qApp, [&ui, error] {
            protocol::GuardedCall(ui, [error] { std::rethrow_exception(error); });
        });
    });

    protocol::GuardedCall(ui, [&ui] { RunWindows(ui); });

    serial::SetApplicationExceptionHandler({});
    return 0;
}
