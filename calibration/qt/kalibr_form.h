#pragma once
// The calibration window on Qt Widgets. It is thin: it builds its controls from the window's
// description, hands them to KalibrFormLogic (which decides everything) and sends the controls'
// events and its own showing and closing through the window's event table. The calibrations run
// in the main window's exchange engine.

#include "calibration/kalibr_form_logic.h"
#include "ui/event_dispatcher.h"

#include <QDialog>

#include <memory>
#include <string>

namespace protocol {
class EngineView;
class ExchangeEngine;
class UiServices;
} // namespace protocol

namespace ui::qt {
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

    // A control's widget by its name in the description (calibration::names), as the class its
    // kind is drawn with (ui::qt::PageControl, QWidget for a tab sheet, QLabel for labels and
    // pictures, QPushButton); null for another class. The window owns every widget.
    template <class W = QWidget> W* Widget(const std::string& name) const {
        return qobject_cast<W*>(FormWidget(name));
    }

    // Closing by any way (buttons, close box) ends here; FormClose runs first.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    // Enter presses the focused button; Escape does nothing (there is no Cancel button).
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* FormWidget(const std::string& name) const;

    ui::EventDispatcher events_;
    std::unique_ptr<ui::qt::QtForm> form_;
    std::unique_ptr<KalibrFormLogic> logic_;
};

// The program's calibration window, set by the start-up code while the window exists.
extern TKalibrForm* KalibrForm;

} // namespace calibration
