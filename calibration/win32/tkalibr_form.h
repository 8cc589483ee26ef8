#pragma once
// The calibration window on the Win32 API: built from the calibration window's description with
// the two wiring diagrams, its controls handed to the shared calibration-window logic, their
// events and its own showing and closing sent through the window's event table. Modal over the
// main window, with its close box.

#include "calibration/kalibr_form_logic.h"
#include "ui/event_dispatcher.h"
#include "ui/win32/form_window.h"

#include <windows.h>

namespace protocol {
class EngineView;
class ExchangeEngine;
class UiServices;
} // namespace protocol

namespace calibration::win32 {

class TKalibrForm final {
public:
    // `owner` is the main window, which takes no input while this one is shown modally.
    TKalibrForm(protocol::ExchangeEngine& engine, const protocol::EngineView& mainWindow,
                protocol::UiServices& ui, HWND owner);
    ~TKalibrForm();
    TKalibrForm(const TKalibrForm&) = delete;
    TKalibrForm& operator=(const TKalibrForm&) = delete;

    KalibrFormLogic& Logic() { return logic_; }
    ui::win32::FormWindow& Window() { return window_; }

    // Shows the window without the modal run (tests drive it from their own loop); the
    // show-time set-up runs first, as on every showing.
    void Show();
    // Every way of closing ends here: FormClose, then the window is hidden.
    void Close();

private:
    ui::EventDispatcher events_;
    ui::win32::FormWindow window_;
    KalibrFormLogic logic_;
};

// The program's calibration window while it exists.
extern TKalibrForm* KalibrForm;

} // namespace calibration::win32
