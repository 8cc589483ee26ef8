#include "app/qt/main_window.h"

#include "app/main_window_description.h"
#include "app/qt/app_icon.h"
#include "ui/qt/qt_form.h"
#include "ui/qt/qt_timer.h"
#include "ui/qt/window_keys.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QShowEvent>
#include <QTimer>

namespace app {

TForm1* Form1 = nullptr;

namespace {

// The decimal separator of the user's locale (Qt's default locale, which is the system's unless
// the program sets another); a separator that is not one plain character reads as none.
char LocaleDecimalSeparator() {
    const QString point = QLocale().decimalPoint();
    if (point.size() == 1 && point.at(0).unicode() < 0x80) {
        return static_cast<char>(point.at(0).unicode());
    }
    return '\0';
}

} // namespace

QString TForm1::Caption() {
    return ui::qt::ToQt(MainWindowDescription().caption);
}

TForm1::TForm1(protocol::UiServices& ui, QWidget* parent,
               std::unique_ptr<protocol::ExchangePort> port)
    : QWidget(parent) {
    form_ = std::make_unique<ui::qt::QtForm>(MainWindowDescription(), *this);
    setWindowIcon(ApplicationIcon());
    timer_ = std::make_unique<ui::qt::QtTimer>(this);
    Timer = timer_->Get();
    MainWindowEnvironment environment{
        .closeWindow = [this] { close(); },
        .decimalSeparator = &LocaleDecimalSeparator,
        .executablePath = {}, // the program's own
    };
    logic_ = std::make_unique<MainWindowLogic>(ui, *form_, *timer_, std::move(environment),
                                               std::move(port));
    events_.Bind(MainWindowDescription(), MainWindowEvents(), *logic_);
    form_->SendEventsTo(events_);
    connect(Timer, &QTimer::timeout, this, [this] { events_.Raise({}, ui::FormEvent::Timer); });
}

TForm1::~TForm1() {
    if (Form1 == this) {
        Form1 = nullptr;
    }
    // The timer must not fire into a half-destroyed window; the port closes with its component.
    Timer->stop();
}

QWidget* TForm1::FormWidget(const std::string& name) const {
    return form_->Widget(name);
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) {
        return; // the window manager restoring the window, not the program showing it
    }
    if (!shown_) {
        ui::qt::CentreOnScreen(*this);
        // No control is named to take the focus first: the first in tab order has it.
        form_->FocusFirstTabStop();
        shown_ = true;
    }
    events_.Raise({}, ui::FormEvent::Show);
}

void TForm1::closeEvent(QCloseEvent* event) {
    events_.Raise({}, ui::FormEvent::Close);
    event->accept();
}

void TForm1::keyPressEvent(QKeyEvent* event) {
    if (!ui::qt::HandleWindowKey(*this, *event)) {
        QWidget::keyPressEvent(event);
    }
}

} // namespace app
