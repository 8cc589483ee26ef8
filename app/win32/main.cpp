// Start-up of the configurator on Windows: the fixed tables already exist (they are
// constant-initialised), then the serial component's connection to the message loop, the main
// window, the calibration window and the message loop until the main window closes. An
// exception that reaches this level is shown in the standard exception box; the process always
// ends with exit code 0.

#include "app/main_window_description.h"
#include "app/win32/resource_ids.h"
#include "app/win32/tform1.h"
#include "calibration/win32/tkalibr_form.h"
#include "protocol/guarded_call.h"
#include "ui/win32/message_loop.h"
#include "ui/win32/serial_ui_bridge.h"
#include "ui/win32/win32_ui_services.h"

#include <windows.h>

namespace {

void RunWindows(protocol::UiServices& ui, HINSTANCE instance) {
    // Serial ports deliver their events through this thread's message loop, and errors the
    // serial component cannot raise to a caller are shown like any other escaping exception.
    // The tool's own port needs neither (smNone, no handlers); any other port opened here does.
    ui::win32::SerialUiBridge serialBridge(ui);

    app::win32::TForm1Options options;
    options.icon = static_cast<HICON>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(LIRAT_ICON_ID), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    options.closed = [] { ::PostQuitMessage(0); };
    app::win32::TForm1 form(ui, std::move(options));
    app::win32::Form1 = &form;
    calibration::win32::TKalibrForm kalibr(form.Logic().Engine(), form.Logic(), ui,
                                           form.Window().Handle());
    calibration::win32::KalibrForm = &kalibr;
    form.Logic().SetCalibrationLink(&kalibr.Logic());

    form.Show();
    ui::win32::RunMessageLoop();

    form.Logic().SetCalibrationLink(nullptr);
    calibration::win32::KalibrForm = nullptr;
    app::win32::Form1 = nullptr;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
    ui::win32::Win32UiServices ui(app::MainWindowDescription().caption);
    protocol::GuardedCall(ui, [&ui, instance] { RunWindows(ui, instance); });
    return 0;
}
