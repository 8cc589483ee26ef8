#include "app/qt/main_window.h"

#include "app/main_window_description.h"
#include "app/qt/app_icon.h"
#include "ui/qt/qt_form.h"
#include "ui/qt/qt_timer.h"
#include "ui/qt/radio_group.h"
#include "ui/qt/status_bar.h"
#include "ui/qt/up_down.h"
#include "ui/qt/window_keys.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
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
    FindControls();
    MainWindowEnvironment environment{
        .closeWindow = [this] { close(); },
        .decimalSeparator = &LocaleDecimalSeparator,
        .executablePath = {}, // the program's own
    };
    logic_ = std::make_unique<MainWindowLogic>(ui, *form_, *timer_, std::move(environment),
                                               std::move(port));
    ConnectHandlers();
}

TForm1::~TForm1() {
    if (Form1 == this) {
        Form1 = nullptr;
    }
    // The timer must not fire into a half-destroyed window; the port closes with its component.
    Timer->stop();
}

void TForm1::FindControls() {
    const ui::qt::QtForm& form = *form_;
    Button1 = form.As<QPushButton>("Button1");
    Label1 = form.As<QLabel>("Label1");
    TipComboBox = form.As<QComboBox>("TipComboBox");
    Label2 = form.As<QLabel>("Label2");
    DiapazonComboBox = form.As<QComboBox>("DiapazonComboBox");
    Label3 = form.As<QLabel>("Label3");
    OutEdit = form.As<QLineEdit>("OutEdit");
    Label4 = form.As<QLabel>("Label4");
    NullEdit = form.As<QLineEdit>("NullEdit");
    GroupBox2 = form.As<QGroupBox>("GroupBox2");
    Label5 = form.As<QLabel>("Label5");
    PortEdit = form.As<QLineEdit>("PortEdit");
    UpDown = form.As<ui::qt::UpDown>("UpDown");
    StatusBar = form.As<ui::qt::StatusBar>("StatusBar");
    Timer = timer_->Get();
    GroupBox3 = form.As<QGroupBox>("GroupBox3");
    LabelTemp = form.As<QLabel>("LabelTemp");
    ButtonTemp = form.As<QPushButton>("ButtonTemp");
    GroupBox4 = form.As<QGroupBox>("GroupBox4");
    ButtonRead = form.As<QPushButton>("ButtonRead");
    ButtonWrite = form.As<QPushButton>("ButtonWrite");
    ButtonZ = form.As<QPushButton>("ButtonZ");
    UpEdit = form.As<QLineEdit>("UpEdit");
    Label6 = form.As<QLabel>("Label6");
    Label7 = form.As<QLabel>("Label7");
    TipOut = form.As<ui::qt::RadioGroup>("TipOut");
    Button2 = form.As<QPushButton>("Button2");
}

void TForm1::ConnectHandlers() {
    MainWindowLogic& logic = *logic_;
    form_->OnClick("Button1", [&logic] { logic.Button1Click(); });
    form_->OnClick("Button2", [&logic] { logic.Button2Click(); });
    form_->OnClick("ButtonRead", [&logic] { logic.ButtonReadClick(); });
    form_->OnClick("ButtonWrite", [&logic] { logic.ButtonWriteClick(); });
    form_->OnClick("ButtonTemp", [&logic] { logic.ButtonTempClick(); });
    form_->OnClick("ButtonZ", [&logic] { logic.ButtonZClick(); });
    form_->OnChange("TipComboBox", [&logic] { logic.TipComboBoxChange(); });
    form_->OnChange("DiapazonComboBox", [&logic] { logic.DiapazonComboBoxChange(); });
    connect(Timer, &QTimer::timeout, this, [&logic] { logic.TimerTimer(); });
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) {
        return; // the window manager restoring the window, not the program showing it
    }
    if (!shown_) {
        ui::qt::CentreOnScreen(*this);
        // No control is named to take the focus first: the first in tab order has it.
        Button1->setFocus();
        shown_ = true;
    }
    logic_->FormShow();
}

void TForm1::closeEvent(QCloseEvent* event) {
    logic_->FormClose();
    event->accept();
}

void TForm1::keyPressEvent(QKeyEvent* event) {
    if (!ui::qt::HandleWindowKey(*this, *event)) {
        QWidget::keyPressEvent(event);
    }
}

} // namespace app
