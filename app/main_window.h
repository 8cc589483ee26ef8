#pragma once
// The main window: sensor type and range, working range, break level, output type, port number,
// the configuration, temperature and factory-reset buttons, and the status bar. The window is
// thin: its buttons and its timer call the exchange engine, which reaches the controls back
// through protocol::EngineView.

#include "protocol/engine_view.h"
#include "protocol/exchange_port.h"

#include <QWidget>

#include <memory>
#include <optional>
#include <string>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace protocol {
class ExchangeEngine;
class UiServices;
} // namespace protocol

namespace serial {
class TComPort;
} // namespace serial

namespace app {

class CalibrationLink;
class RadioGroup;
class StatusBar;
class UpDown;

class TForm1 : public QWidget, public protocol::EngineView {
    Q_OBJECT
public:
    // The caption of the window.
    static QString Caption();

    // `port` replaces the adapter over ComPort, for tests that script the transducer; null
    // means the real serial port.
    explicit TForm1(protocol::UiServices& ui, QWidget* parent = nullptr,
                    std::unique_ptr<protocol::ExchangePort> port = nullptr);
    ~TForm1() override;

    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    // Controls, in the order of the window's definition. All are owned by the window.
    QPushButton* Button1 = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* TipComboBox = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* DiapazonComboBox = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* OutEdit = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* NullEdit = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* PortEdit = nullptr;
    app::UpDown* UpDown = nullptr;
    app::StatusBar* StatusBar = nullptr;
    QTimer* Timer = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    QLabel* LabelTemp = nullptr;
    QPushButton* ButtonTemp = nullptr;
    QGroupBox* GroupBox4 = nullptr;
    QPushButton* ButtonRead = nullptr;
    QPushButton* ButtonWrite = nullptr;
    QPushButton* ButtonZ = nullptr;
    QLineEdit* UpEdit = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    app::RadioGroup* TipOut = nullptr;
    QPushButton* Button2 = nullptr;

    serial::TComPort& ComPort() { return *comPort_; }
    protocol::ExchangeEngine& Engine() { return *engine_; }
    protocol::UiServices& Ui() { return ui_; }
    // Empty until the window has been shown.
    const QString& SettingsFileName() const { return settingsFileName_; }

    // The calibration window, once start-up has created it; null before.
    void SetCalibrationLink(CalibrationLink* link) { calibration_ = link; }

    // --- Event handlers ---
    void FormShow();
    void FormClose();
    void Button1Click();
    void Button2Click();
    void TipComboBoxChange();
    void DiapazonComboBoxChange();
    // The transaction buttons and the timer's tick hand over to the exchange engine.
    void ButtonReadClick();
    void ButtonWriteClick();
    void ButtonTempClick();
    void ButtonZClick();
    void TimerTimer();

    // Stores a port number that differs from the port's current one in the settings file and
    // reloads the port settings from it.
    void ApplyPortNumber(int number);

    // Selects range `rangeIndex` of the type selected in TipComboBox: labels, range list,
    // working-range fields.
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

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Enter presses the focused button, as on a dialog; Escape does nothing.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CreateControls();
    void SetTabOrder();
    void ConnectHandlers();
    void ConfigurePort();
    void LoadPortSettings();
    void FillSensorTypes();
    void SetWorkingRange(int rangeIndex);
    void SetCaption(QLabel* label, const QString& text);
    void UpdateAccessibleNames();
    void CentreOnScreen();
    // Runs an event handler; an exception leaving it is shown and the window goes on.
    template <class Handler> bool Handle(Handler&& handler);

    protocol::UiServices& ui_;
    std::unique_ptr<serial::TComPort> comPort_;
    std::unique_ptr<protocol::ExchangePort> port_;
    std::unique_ptr<protocol::ExchangeEngine> engine_;
    CalibrationLink* calibration_ = nullptr;
    QString settingsFileName_;
    // The port number the window showed after loading the settings.
    int shownPortNumber_ = 1;
    bool shown_ = false;
};

// The program's main window, set by the start-up code while the window exists.
extern TForm1* Form1;

} // namespace app
