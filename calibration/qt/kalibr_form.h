#pragma once
// The calibration window on Qt Widgets. It is thin: it builds its controls from the window's
// description, hands them to KalibrFormLogic (which decides everything) and forwards the
// controls' events to it. The calibrations run in the main window's exchange engine.

#include "calibration/kalibr_form_logic.h"

#include <QDialog>

#include <memory>

class QLabel;
class QPushButton;
class QWidget;

namespace protocol {
class EngineView;
class ExchangeEngine;
class UiServices;
} // namespace protocol

namespace ui::qt {
class PageControl;
class QtForm;
} // namespace ui::qt

namespace calibration {

class TKalibrForm : public QDialog {
    Q_OBJECT
public:
    // `engine` runs the calibrations, `mainWindow` is the main window's side of it (output type,
    // selected sensor range), `ui` shows the boxes.
    TKalibrForm(protocol::ExchangeEngine& engine, const protocol::EngineView& mainWindow,
                protocol::UiServices& ui, QWidget* parent = nullptr);
    ~TKalibrForm() override;

    TKalibrForm(const TKalibrForm&) = delete;
    TKalibrForm& operator=(const TKalibrForm&) = delete;

    // The window's caption.
    static QString Caption();

    // The window's logic; it is also the main window's link to this window.
    KalibrFormLogic& Logic() { return *logic_; }

    // Controls, in the order of the window's definition. All are owned by the window.
    ui::qt::PageControl* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* ButtonExit = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QLabel* Image2 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* Button4 = nullptr;

    // Closing by any way (buttons, close box) ends here; FormClose runs first.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    // Enter presses the focused button; Escape does nothing (there is no Cancel button).
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FindControls();
    void ConnectHandlers();

    std::unique_ptr<ui::qt::QtForm> form_;
    std::unique_ptr<KalibrFormLogic> logic_;
};

// The program's calibration window, set by the start-up code while the window exists.
extern TKalibrForm* KalibrForm;

} // namespace calibration
