#pragma once
// The main window on the Win32 API: built from the main window's description, its controls
// handed to the shared main-window logic, their events, the timer's ticks and its own showing
// and closing sent through the window's event table. It decides nothing itself.

#include "app/main_window_logic.h"
#include "ui/event_dispatcher.h"
#include "ui/win32/form_window.h"
#include "ui/win32/win32_timer.h"

#include <windows.h>

#include <functional>
#include <memory>

namespace protocol {
class ExchangePort;
class UiServices;
} // namespace protocol

namespace app::win32 {

struct TForm1Options {
    HICON icon = nullptr;
    // Replaces the engine's port over ComPort (tests that script the transducer).
    std::unique_ptr<protocol::ExchangePort> port;
    // Replaces the user's decimal separator (tests).
    std::function<char()> decimalSeparator;
    // Replaces the executable's path (UTF-8), and so the settings file's place (tests).
    std::string executablePath;
    // Runs once the window has closed: the program ends its message loop there.
    std::function<void()> closed;
};

class TForm1 final {
public:
    TForm1(protocol::UiServices& ui, TForm1Options options = {});
    ~TForm1();
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    MainWindowLogic& Logic() { return logic_; }
    ui::win32::FormWindow& Window() { return window_; }
    ui::win32::Win32Timer& Timer() { return timer_; }

    // Shows the window; the first showing runs the show-time set-up before it appears.
    void Show();
    // Closes the window as "Выход" or the platform do: FormClose, then the window goes.
    void Close();

private:
    std::function<void()> closed_;
    ui::EventDispatcher events_;
    ui::win32::FormWindow window_;
    ui::win32::Win32Timer timer_;
    MainWindowLogic logic_;
    bool shown_ = false;
};

// The program's main window while it exists.
extern TForm1* Form1;

// The user's decimal separator from the locale; "." when it is not one usable character.
char UserDecimalSeparator();

} // namespace app::win32
