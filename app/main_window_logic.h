#pragma once
// What the main window decides, whatever toolkit draws it: the show-time set-up, the port
// number and the settings file, the sensor lists, leaving, opening the calibration window, and
// the window side of the exchange engine (protocol::EngineView). The logic owns the serial
// port, the engine's port over it and the engine. A front end builds the window from its
// description, hands its controls over as a ui::ControlSet with its timer, and reports the
// controls' events to the window's event table (MainWindowEvents), which calls the handlers
// here.

#include "protocol/engine_view.h"
#include "protocol/exchange_port.h"
#include "ui/control.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace calibration {
class CalibrationLink;
} // namespace calibration

namespace protocol {
class ExchangeEngine;
class UiServices;
} // namespace protocol

namespace serial {
class TComPort;
} // namespace serial

namespace app {

// What the front end provides besides its controls and timer.
struct MainWindowEnvironment {
    // Asks the window to close; the toolkit then reports the close (FormClose).
    std::function<void()> closeWindow;
    // The user's decimal separator at this moment (the toolkit's or the system's locale); a
    // character that cannot serve as one (a locale with a multi-byte separator) reads as ".".
    // Empty: the operating system's reader (protocol::SystemDecimalSeparator).
    std::function<char()> decimalSeparator;
    // Full path of the running executable (UTF-8), beside which the settings file lives;
    // empty: the program's own, as app::ExecutablePath finds it.
    std::string executablePath;
};

class MainWindowLogic final : public protocol::EngineView {
public:
    // The port numbers the up-down offers.
    static constexpr int PortMinimum = 1;
    static constexpr int PortMaximum = 100;

    // `port` replaces the engine's port over ComPort, for tests that script the transducer;
    // null means the real serial port.
    MainWindowLogic(protocol::UiServices& ui, ui::ControlSet& controls, ui::Timer& timer,
                    MainWindowEnvironment environment,
                    std::unique_ptr<protocol::ExchangePort> port = nullptr);
    ~MainWindowLogic() override;

    MainWindowLogic(const MainWindowLogic&) = delete;
    MainWindowLogic& operator=(const MainWindowLogic&) = delete;

    serial::TComPort& ComPort() { return *comPort_; }
    protocol::ExchangeEngine& Engine() { return *engine_; }
    protocol::UiServices& Ui() { return ui_; }
    // Empty until the window has been shown.
    const std::string& SettingsFileName() const { return settingsFileName_; }

    // The calibration window, once start-up has created it; null before and after.
    void SetCalibrationLink(calibration::CalibrationLink* link) { calibration_ = link; }

    // --- Event handlers, each bound to its events in MainWindowEvents. None lets an exception
    // out: one that escapes is shown in the standard exception box and the window goes on. ---
    void FormShow();
    void FormClose();
    void Button1Click();
    void Button2Click();
    // The user's choice in the lists; selections made from code raise no event.
    void TipComboBoxChange();
    void DiapazonComboBoxChange();
    // The transaction buttons and the timer's tick hand over to the exchange engine.
    void ButtonReadClick();
    void ButtonWriteClick();
    void ButtonTempClick();
    void ButtonZClick();
    void TimerTimer();

    // Stores a port number that differs from the port's current one in the settings file and
    // reloads the port settings from it. Raises the settings file's and the conversion's errors.
    void ApplyPortNumber(int number);

    // Selects range `rangeIndex` and, when the selected type does not own it, its type: labels,
    // range list, working-range fields. Raises for an index outside the catalogue.
    void SelectSensorRange(int rangeIndex);

    // --- protocol::EngineView ---
    void SetStatusText(int panel, const std::string& text) override;
    void SetTimerEnabled(bool enabled) override;
    bool TimerEnabled() const override;
    void SetTimerInterval(int milliseconds) override;
    int TimerInterval() const override;
    void SetTransactionButtonsEnabled(bool enabled) override;
    void SetCalibrationButtonsEnabled(bool enabled) override;
    void SetContinueButtonEnabled(bool enabled) override;
    void ApplyPortNumber() override;
    std::optional<int> SelectedTypeIndex() const override;
    std::optional<int> SelectedRangeIndex() const override;
    void SelectRangeByIndex(int rangeIndex) override;
    std::string UpperText() const override;
    void SetUpperText(const std::string& text) override;
    std::string LowerText() const override;
    void SetLowerText(const std::string& text) override;
    std::string BreakLevelText() const override;
    void SetBreakLevelText(const std::string& text) override;
    int OutputTypeIndex() const override;
    void SetOutputTypeIndex(int index) override;
    void SetMeasuredValueText(const std::string& text) override;
    void SetCalibrationUnfinished(bool unfinished) override;

private:
    void LoadPortSettings();
    void FillSensorTypes();
    void SetWorkingRange(int rangeIndex);
    char DecimalSeparator() const;
    // Runs a handler; an exception leaving it is shown and the window goes on.
    template <class Handler> void Handle(Handler&& handler);

    protocol::UiServices& ui_;
    ui::ControlSet& controls_;
    ui::Timer& timer_;
    MainWindowEnvironment environment_;
    std::unique_ptr<serial::TComPort> comPort_;
    std::unique_ptr<protocol::ExchangePort> port_;
    std::unique_ptr<protocol::ExchangeEngine> engine_;
    calibration::CalibrationLink* calibration_ = nullptr;
    std::string settingsFileName_;
    // The port number the window showed after loading the settings.
    int shownPortNumber_ = PortMinimum;

    ui::Control& tipComboBox_;
    ui::Control& diapazonComboBox_;
    ui::Control& label2_;
    ui::Control& label4_;
    ui::Control& nullEdit_;
    ui::Control& upEdit_;
    ui::Control& outEdit_;
    ui::Control& upDown_;
    ui::Control& statusBar_;
    ui::Control& labelTemp_;
    ui::Control& tipOut_;
    ui::Control& button2_;
};

} // namespace app
