#pragma once
// Both Win32 windows as the program makes them, for in-process tests: scripted user-interface
// services that record every box instead of showing it, a scripted port in place of the device,
// and the program's path in a fresh folder, so the settings file is the test's own. The windows
// run on the test's thread; the helpers act as the user does (clicks, keys) and pump the
// messages that follow.

#include "app/win32/tform1.h"
#include "calibration/win32/tkalibr_form.h"
#include "tests/serial/temp_folder.h"
#include "tests/support/scripted_exchange_port.h"
#include "tests/support/scripted_ui_services.h"
#include "tests/ui/win32/pump.h"
#include "ui/win32/win32_sync_dispatcher.h"

#include <windows.h>

#include <memory>
#include <string>

namespace win32_test {

struct Windows {
    serial::testing::TempFolder folder;
    testing_support::ScriptedUiServices ui;
    testing_support::ScriptedExchangePort* port = nullptr; // owned by the main window's logic
    std::unique_ptr<app::win32::TForm1> form;
    std::unique_ptr<calibration::win32::TKalibrForm> kalibr;
    // Runs work from the message loop later, e.g. inside the calibration window's modal run.
    ui::win32::Win32SyncDispatcher later;

    Windows() {
        auto scripted = std::make_unique<testing_support::ScriptedExchangePort>();
        port = scripted.get();
        app::win32::TForm1Options options;
        options.port = std::move(scripted);
        options.decimalSeparator = [] { return '.'; };
        options.executablePath = serial::testing::Utf8Path(folder.Path() / "lirat5.exe");
        form = std::make_unique<app::win32::TForm1>(ui, std::move(options));
        kalibr = std::make_unique<calibration::win32::TKalibrForm>(
            form->Logic().Engine(), form->Logic(), ui, form->Window().Handle());
        form->Logic().SetCalibrationLink(&kalibr->Logic());
    }
    ~Windows() { form->Logic().SetCalibrationLink(nullptr); }
    Windows(const Windows&) = delete;
    Windows& operator=(const Windows&) = delete;

    void Show() {
        form->Show();
        lirat_test::PumpFor(30);
    }

    ui::win32::FormWindow& Main() { return form->Window(); }
    ui::win32::FormWindow& Kalibr() { return kalibr->Window(); }
    HWND operator()(const std::string& name) { return Main().ControlHandle(name); }
    std::string Text(const std::string& name) { return Main()[name].Text(); }

    static void Click(HWND button) {
        ::SendMessageW(button, BM_CLICK, 0, 0);
        lirat_test::PumpFor(20);
    }
    void Click(const std::string& name) { Click((*this)(name)); }

    // A key as the keyboard sends it to the focused control, through the message loop.
    static void Key(WPARAM key) {
        HWND focus = ::GetFocus();
        ::PostMessageW(focus, WM_KEYDOWN, key, 1);
        ::PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
        lirat_test::PumpFor(20);
    }
};

} // namespace win32_test
