#pragma once
// The main window on Qt Widgets. It is thin: it builds its controls from the window's
// description, hands them to MainWindowLogic (which decides everything) and forwards the
// controls' events and the timer's ticks to it.

#include "app/main_window_logic.h"
#include "protocol/exchange_port.h"

#include <QWidget>

#include <memory>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace protocol {
class UiServices;
} // namespace protocol

namespace ui::qt {
class QtForm;
class QtTimer;
class RadioGroup;
class StatusBar;
class UpDown;
} // namespace ui::qt

namespace app {

class TForm1 : public QWidget {
    Q_OBJECT
public:
    // The caption of the window, which is also the application's title.
    static QString Caption();

    // `port` replaces the engine's port over ComPort, for tests that script the transducer;
    // null means the real serial port.
    explicit TForm1(protocol::UiServices& ui, QWidget* parent = nullptr,
                    std::unique_ptr<protocol::ExchangePort> port = nullptr);
    ~TForm1() override;

    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    MainWindowLogic& Logic() { return *logic_; }
    serial::TComPort& ComPort() { return logic_->ComPort(); }
    protocol::ExchangeEngine& Engine() { return logic_->Engine(); }

    // Controls, in the order of the window's definition, for tests and accessibility tools.
    // All are owned by the window.
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
    ui::qt::UpDown* UpDown = nullptr;
    ui::qt::StatusBar* StatusBar = nullptr;
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
    ui::qt::RadioGroup* TipOut = nullptr;
    QPushButton* Button2 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Enter presses the focused button, as on a dialog; Escape does nothing.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FindControls();
    void ConnectHandlers();

    std::unique_ptr<ui::qt::QtForm> form_;
    std::unique_ptr<ui::qt::QtTimer> timer_;
    std::unique_ptr<MainWindowLogic> logic_;
    bool shown_ = false;
};

// The program's main window, set by the start-up code while the window exists.
extern TForm1* Form1;

} // namespace app
