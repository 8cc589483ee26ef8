#pragma once
// The main window on Qt Widgets. It is thin: it builds its controls from the window's
// description, hands them to MainWindowLogic (which decides everything) and sends the controls'
// events, the timer's ticks and its own showing and closing through the window's event table.

#include "app/main_window_logic.h"
#include "protocol/exchange_port.h"
#include "ui/event_dispatcher.h"

#include <QWidget>

#include <memory>
#include <string>

class QTimer;

namespace protocol {
class UiServices;
} // namespace protocol

namespace ui::qt {
class QtForm;
class QtTimer;
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

    // A control's widget by its name in the description (app::names), as the class its kind is
    // drawn with (QPushButton, QLabel, QComboBox, QLineEdit, QGroupBox, ui::qt::UpDown,
    // ui::qt::StatusBar, ui::qt::RadioGroup); null for another class. For tests and
    // accessibility tools; the window owns every widget.
    template <class W = QWidget> W* Widget(const std::string& name) const {
        return qobject_cast<W*>(FormWidget(name));
    }
    // The window's timer, which drives the exchange engine.
    QTimer* Timer = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Enter presses the focused button, as on a dialog; Escape does nothing.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* FormWidget(const std::string& name) const;

    ui::EventDispatcher events_;
    std::unique_ptr<ui::qt::QtForm> form_;
    std::unique_ptr<ui::qt::QtTimer> timer_;
    std::unique_ptr<MainWindowLogic> logic_;
    bool shown_ = false;
};

// The program's main window, set by the start-up code while the window exists.
extern TForm1* Form1;

} // namespace app
