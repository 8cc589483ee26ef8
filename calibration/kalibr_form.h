#pragma once
// The calibration window: two pages, "Калибровка входа" (zero, then gain, against a resistance
// box wired as the picture shows) and "Калибровка выхода" (the technician measures the output
// and types the values in). The window is thin: its buttons start the calibrations in the main
// window's exchange engine, which does the exchanges and switches this window's buttons back
// through the main window (app::CalibrationLink).

#include "app/calibration_link.h"

#include <QDialog>

#include <cstdint>

class QLabel;
class QPushButton;
class QWidget;

namespace protocol {
class EngineView;
class ExchangeEngine;
class UiServices;
} // namespace protocol

namespace calibration {

class TPageControl;

class TKalibrForm : public QDialog, public app::CalibrationLink {
    Q_OBJECT
public:
    // `engine` runs the calibrations, `mainWindow` is the main window's side of it (output type,
    // selected sensor range), `ui` shows the exception box for a handler that fails.
    TKalibrForm(protocol::ExchangeEngine& engine, const protocol::EngineView& mainWindow,
                protocol::UiServices& ui, QWidget* parent = nullptr);
    ~TKalibrForm() override;

    TKalibrForm(const TKalibrForm&) = delete;
    TKalibrForm& operator=(const TKalibrForm&) = delete;

    // The window's caption.
    static QString Caption();

    // Controls, in the order of the window's definition. All are owned by the window.
    TPageControl* PageControl1;
    QWidget* TabSheet1;
    QLabel* Image1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QPushButton* ButtonExit;
    QPushButton* Button1;
    QPushButton* Button2;
    QWidget* TabSheet2;
    QLabel* Image2;
    QLabel* Label4;
    QLabel* Label5;
    QPushButton* Button3;
    QPushButton* Button4;

    // Current stage of the input calibration: 0 zero, 1 gain.
    std::int32_t InputStage = 0;
    // An output calibration was started and has not ended through its success or its recovery.
    bool CalibrationUnfinished = false;

    // --- Event handlers ---
    void FormShow();
    void FormClose();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void ButtonExitClick();
    // True when the page may change: only while the main window's controls are enabled, that
    // is while no calibration runs.
    bool PageControl1Changing();

    // --- app::CalibrationLink ---
    void SetCalibrationButtonsEnabled(bool enabled) override;
    void SetContinueButtonEnabled(bool enabled) override;
    void SetCalibrationUnfinished(bool unfinished) override;
    void ShowModal() override;

    // Closing by any way (buttons, close box, Escape) ends here; FormClose runs first.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    // Enter presses the focused button; Escape does nothing (there is no Cancel button).
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CreateControls();
    void ConnectHandlers();
    void CentreOnScreen();
    // Sets a label's caption; labels that size themselves to their text grow to fit it.
    void SetCaption(QLabel* label, const QString& text);
    // Runs an event handler; an exception leaving it is shown and the window goes on.
    template <class Handler> void Handle(Handler&& handler);

    protocol::ExchangeEngine& engine_;
    const protocol::EngineView& mainWindow_;
    protocol::UiServices& ui_;
};

// The program's calibration window, set by the start-up code while the window exists.
extern TKalibrForm* KalibrForm;

} // namespace calibration
