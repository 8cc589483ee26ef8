#include "app/main_window.h"

#include "app/app_icon.h"
#include "app/calibration_link.h"
#include "app/port_number.h"
#include "app/radio_group.h"
#include "app/settings_path.h"
#include "app/status_bar.h"
#include "app/up_down.h"
#include "calibration/window_face.h"
#include "calibration/window_keys.h"
#include "catalogue/sensor_catalogue.h"
#include "catalogue/sensor_selection.h"
#include "protocol/comport_exchange_port.h"
#include "protocol/engine_texts.h"
#include "protocol/exchange_engine.h"
#include "protocol/guarded_call.h"
#include "protocol/number_text.h"
#include "serial/com_port.h"
#include "serial/settings_file.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTimer>

#include <stdexcept>

namespace app {

TForm1* Form1 = nullptr;

namespace {

constexpr int ClientWidth = 541;
constexpr int ClientHeight = 442;
constexpr int PortMinimum = 1;
constexpr int PortMaximum = 100;
constexpr const char* SensorTypeLabel = "Тип  датчика:";
constexpr const char* PortLabel = "СОМ порт:";

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The item of a drop-down list whose text is shown in its edit field; nullopt when the user
// has typed a text that is not the selected item's.
std::optional<int> SelectedItem(const QComboBox* box) {
    const int index = box->currentIndex();
    if (index < 0 || box->currentText() != box->itemText(index)) {
        return std::nullopt;
    }
    return index;
}

// Selects an item from code: no change event, and the edit field shows the item's text.
void SelectItem(QComboBox* box, int index) {
    const QSignalBlocker blocker(box);
    box->setCurrentIndex(index);
    box->setEditText(box->itemText(index));
}

QComboBox* NewDropDown(QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMaxVisibleItems(8);
    return box;
}

// The accessible name of a control, taken from the caption of its label.
QString NameFromCaption(QString caption) {
    caption = caption.simplified();
    if (caption.endsWith(QLatin1Char(':'))) {
        caption.chop(1);
    }
    return caption.trimmed();
}

// The decimal separator of the user's locale (Qt's default locale, which is the system's unless
// the program sets another). A separator that is not one plain character (some locales use a
// multi-byte one) falls back to ".", as the number conversions need a single character.
char LocaleDecimalSeparator() {
    const QString point = QLocale().decimalPoint();
    if (point.size() == 1 && point.at(0).unicode() < 0x80) {
        const char separator = static_cast<char>(point.at(0).unicode());
        if (protocol::IsUsableDecimalSeparator(separator)) {
            return separator;
        }
    }
    return '.';
}

} // namespace

QString TForm1::Caption() {
    return QStringLiteral("Конфигуратор ЛИРАТ-5");
}

TForm1::TForm1(protocol::UiServices& ui, QWidget* parent,
               std::unique_ptr<protocol::ExchangePort> port)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      ui_(ui), comPort_(std::make_unique<serial::TComPort>()) {
    setWindowTitle(Caption());
    setWindowIcon(ApplicationIcon());
    setFixedSize(ClientWidth, ClientHeight);
    setFont(calibration::WindowFace(11));
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);

    ConfigurePort();
    port_ = port ? std::move(port) : std::make_unique<protocol::ComPortExchangePort>(*comPort_);
    engine_ = std::make_unique<protocol::ExchangeEngine>(*port_, *this, ui_);

    CreateControls();
    SetTabOrder();
    ConnectHandlers();
}

TForm1::~TForm1() {
    if (Form1 == this) {
        Form1 = nullptr;
    }
    // The timer must not fire into a half-destroyed window; the port closes with its component.
    Timer->stop();
}

void TForm1::ConfigurePort() {
    protocol::ConfigureToolPort(*comPort_);
}

void TForm1::CreateControls() {
    Button1 = new QPushButton(QStringLiteral("Выход"), this);
    Button1->setGeometry(360, 360, 75, 25);

    Label1 = new QLabel(this);
    Label1->move(32, 24);
    SetCaption(Label1, QString::fromUtf8(SensorTypeLabel));

    TipComboBox = NewDropDown(this);
    TipComboBox->setGeometry(184, 22, 161, 21);

    Label2 = new QLabel(this);
    Label2->move(32, 64);
    SetCaption(Label2, QStringLiteral("Диапазон датчика (град. С)"));

    DiapazonComboBox = NewDropDown(this);
    DiapazonComboBox->setGeometry(184, 62, 161, 21);

    Label3 = new QLabel(this);
    Label3->move(32, 144);
    SetCaption(Label3, QStringLiteral("Уровень сигнала \"Обрыв\" (0 -120%):"));

    OutEdit = new QLineEdit(QStringLiteral("0"), this);
    OutEdit->setGeometry(240, 142, 97, 21);

    Label4 = new QLabel(this);
    Label4->move(32, 104);
    SetCaption(Label4, QStringLiteral("Рабочий диапазон (град. С)"));

    NullEdit = new QLineEdit(QStringLiteral("10"), this);
    NullEdit->setGeometry(208, 102, 73, 21);

    GroupBox2 = new QGroupBox(QStringLiteral(" Настройка подключения "), this);
    GroupBox2->setGeometry(32, 344, 169, 57);

    Label5 = new QLabel(GroupBox2);
    Label5->move(16, 24);
    SetCaption(Label5, QString::fromUtf8(PortLabel));

    PortEdit = new QLineEdit(QStringLiteral("1"), GroupBox2);
    PortEdit->setGeometry(80, 24, 49, 21);
    PortEdit->setReadOnly(true);

    UpDown = new app::UpDown(GroupBox2);
    UpDown->setGeometry(129, 24, 16, 21);
    UpDown->SetAssociate(PortEdit);
    UpDown->SetRange(PortMinimum, PortMaximum);
    UpDown->SetPosition(1);

    StatusBar = new app::StatusBar(
        {{QStringLiteral("Передано:"), 170}, {QStringLiteral("Принято:"), 50}}, this);
    StatusBar->setGeometry(0, 417, 541, 25);

    Timer = new QTimer(this);
    Timer->setInterval(protocol::ExchangeEngine::InitialInterval);

    GroupBox3 = new QGroupBox(QStringLiteral(" Измеренния "), this);
    GroupBox3->setGeometry(264, 232, 249, 97);

    LabelTemp = new QLabel(GroupBox3);
    LabelTemp->move(24, 24);
    SetCaption(LabelTemp, QStringLiteral("Температура (град. С): 20"));

    ButtonTemp = new QPushButton(QStringLiteral("Считать"), GroupBox3);
    ButtonTemp->setGeometry(88, 56, 75, 25);
    ButtonTemp->setEnabled(false);

    GroupBox4 = new QGroupBox(QStringLiteral(" Конфигурация "), this);
    GroupBox4->setGeometry(32, 176, 217, 153);

    ButtonRead = new QPushButton(QStringLiteral("Считать"), GroupBox4);
    ButtonRead->setGeometry(56, 24, 97, 25);

    ButtonWrite = new QPushButton(QStringLiteral("Записать"), GroupBox4);
    ButtonWrite->setGeometry(56, 68, 97, 25);

    ButtonZ = new QPushButton(QStringLiteral("Восстановить заводские настройки"), GroupBox4);
    ButtonZ->setGeometry(8, 112, 201, 25);

    UpEdit = new QLineEdit(QStringLiteral("100"), this);
    UpEdit->setGeometry(328, 102, 73, 21);

    Label6 = new QLabel(this);
    Label6->move(184, 104);
    SetCaption(Label6, QStringLiteral("min"));

    Label7 = new QLabel(this);
    Label7->move(304, 104);
    SetCaption(Label7, QStringLiteral("max"));

    TipOut = new app::RadioGroup(
        QStringLiteral(" Тип выхода "),
        {QStringLiteral("0 - 10 В"), QStringLiteral("0 - 5 mA"), QStringLiteral("0 - 20 mA")},
        this);
    TipOut->setGeometry(424, 18, 89, 145);
    TipOut->SetItemIndex(0);

    Button2 = new QPushButton(QStringLiteral("Калибровка"), this);
    Button2->setGeometry(312, 184, 153, 25);
    Button2->setEnabled(false);

    for (QPushButton* button : {Button1, ButtonTemp, ButtonRead, ButtonWrite, ButtonZ, Button2}) {
        button->setAutoDefault(false);
    }

    // Names for tests and accessibility tools, as the window's definition calls the controls.
    const std::pair<QWidget*, const char*> names[] = {{Button1, "Button1"},
                                                      {Label1, "Label1"},
                                                      {TipComboBox, "TipComboBox"},
                                                      {Label2, "Label2"},
                                                      {DiapazonComboBox, "DiapazonComboBox"},
                                                      {Label3, "Label3"},
                                                      {OutEdit, "OutEdit"},
                                                      {Label4, "Label4"},
                                                      {NullEdit, "NullEdit"},
                                                      {GroupBox2, "GroupBox2"},
                                                      {Label5, "Label5"},
                                                      {PortEdit, "PortEdit"},
                                                      {UpDown, "UpDown"},
                                                      {StatusBar, "StatusBar"},
                                                      {GroupBox3, "GroupBox3"},
                                                      {LabelTemp, "LabelTemp"},
                                                      {ButtonTemp, "ButtonTemp"},
                                                      {GroupBox4, "GroupBox4"},
                                                      {ButtonRead, "ButtonRead"},
                                                      {ButtonWrite, "ButtonWrite"},
                                                      {ButtonZ, "ButtonZ"},
                                                      {UpEdit, "UpEdit"},
                                                      {Label6, "Label6"},
                                                      {Label7, "Label7"},
                                                      {TipOut, "TipOut"},
                                                      {Button2, "Button2"}};
    for (const auto& [widget, name] : names) {
        widget->setObjectName(QString::fromLatin1(name));
    }

    Label1->setBuddy(TipComboBox);
    Label2->setBuddy(DiapazonComboBox);
    Label3->setBuddy(OutEdit);
    Label4->setBuddy(NullEdit);
    Label5->setBuddy(PortEdit);
    Label7->setBuddy(UpEdit);
    UpdateAccessibleNames();
    StatusBar->setAccessibleName(QStringLiteral("Строка состояния"));
}

void TForm1::SetTabOrder() {
    const QList<QWidget*> order = {
        Button1,  TipComboBox, DiapazonComboBox,  OutEdit,           NullEdit,
        PortEdit, UpDown,      ButtonTemp,        ButtonRead,        ButtonWrite,
        ButtonZ,  UpEdit,      TipOut->Button(0), TipOut->Button(1), TipOut->Button(2),
        Button2};
    for (qsizetype i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
    }
}

template <class Handler> bool TForm1::Handle(Handler&& handler) {
    return protocol::GuardedCall(ui_, std::forward<Handler>(handler));
}

void TForm1::ConnectHandlers() {
    // Every handler runs guarded: an exception leaving it is shown and the window goes on.
    const auto on = [this](auto* sender, auto signal, void (TForm1::*handler)()) {
        connect(sender, signal, this,
                [this, handler] { Handle([this, handler] { (this->*handler)(); }); });
    };
    on(Button1, &QPushButton::clicked, &TForm1::Button1Click);
    on(Button2, &QPushButton::clicked, &TForm1::Button2Click);
    on(ButtonRead, &QPushButton::clicked, &TForm1::ButtonReadClick);
    on(ButtonWrite, &QPushButton::clicked, &TForm1::ButtonWriteClick);
    on(ButtonTemp, &QPushButton::clicked, &TForm1::ButtonTempClick);
    on(ButtonZ, &QPushButton::clicked, &TForm1::ButtonZClick);
    on(Timer, &QTimer::timeout, &TForm1::TimerTimer);
    // Only a user's choice is a change: selections made from code raise no event.
    on(TipComboBox, &QComboBox::activated, &TForm1::TipComboBoxChange);
    on(DiapazonComboBox, &QComboBox::activated, &TForm1::DiapazonComboBoxChange);
}

void TForm1::ButtonReadClick() {
    engine_->ButtonReadClick();
}

void TForm1::ButtonWriteClick() {
    engine_->ButtonWriteClick();
}

void TForm1::ButtonTempClick() {
    engine_->ButtonTempClick();
}

void TForm1::ButtonZClick() {
    engine_->ButtonZClick();
}

void TForm1::TimerTimer() {
    engine_->TimerTimer();
}

// ---- show and close ----

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) {
        return; // the window manager restoring the window, not the program showing it
    }
    if (!shown_) {
        CentreOnScreen();
        Button1->setFocus();
        shown_ = true;
    }
    Handle([this] { FormShow(); });
}

void TForm1::closeEvent(QCloseEvent* event) {
    Handle([this] { FormClose(); });
    event->accept();
}

void TForm1::keyPressEvent(QKeyEvent* event) {
    if (!calibration::HandleWindowKey(*this, *event)) {
        QWidget::keyPressEvent(event);
    }
}

void TForm1::CentreOnScreen() {
    if (const QScreen* where = screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(where->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TForm1::FormShow() {
    settingsFileName_ = SettingsFileNameForExecutable();
    // A settings file that cannot be used is reported, and the window still gets its lists:
    // without them nothing in it would work.
    Handle([this] { LoadPortSettings(); });
    shownPortNumber_ = UpDown->Position();
    FillSensorTypes();
    SelectItem(TipComboBox, 0);
    SelectSensorRange(0);
    const char separator = LocaleDecimalSeparator();
    protocol::OverrideSystemDecimalSeparator(separator);
    protocol::DecimalSeparatorText = std::string(1, separator);
    engine_->ResetOnShow();
}

void TForm1::LoadPortSettings() {
    if (!QFileInfo::exists(settingsFileName_)) {
        return; // nothing to load, and nothing is created at show time
    }
    comPort_->LoadSettings(serial::stIniFile, settingsFileName_.toStdString());
    UpDown->SetPosition(PortNumberOf(comPort_->Port()));
}

void TForm1::FormClose() {
    engine_->AbandonTransaction();
}

void TForm1::Button1Click() {
    engine_->AbandonTransaction();
    close();
}

void TForm1::Button2Click() {
    if (calibration_ != nullptr) {
        calibration_->ShowModal();
    }
}

// ---- port number ----

void TForm1::ApplyPortNumber(int number) {
    std::optional<int> current;
    try {
        current = PortNumberOf(comPort_->Port());
    } catch (const std::runtime_error&) {
        current.reset();
    }
    // A stored name that is not "COM" and a number (a device path such as /dev/ttyUSB0) was
    // reported when the window was shown. It is the user's setting: while the window still shows
    // the number it showed then, the port is used by that name and nothing is stored. Only a
    // number the user chose replaces it.
    if (!current && number == shownPortNumber_) {
        return;
    }
    if (current == number) {
        return;
    }
    if (settingsFileName_.isEmpty()) {
        settingsFileName_ = SettingsFileNameForExecutable();
    }
    // The per-user folder of an installed copy may not exist yet; beside the executable it does.
    QDir().mkpath(QFileInfo(settingsFileName_).absolutePath());
    const std::string path = settingsFileName_.toStdString();
    {
        serial::SettingsFile file(path);
        file.WriteString(comPort_->Name(), "Port", PortNameOf(number));
    }
    comPort_->LoadSettings(serial::stIniFile, path);
}

void TForm1::ApplyPortNumber() {
    ApplyPortNumber(UpDown->Position());
}

// ---- sensor catalogue ----

void TForm1::FillSensorTypes() {
    const QSignalBlocker blocker(TipComboBox);
    TipComboBox->clear();
    for (const catalogue::SensorType& type : catalogue::SensorTypes) {
        TipComboBox->addItem(Text(type.Name));
    }
}

void TForm1::SelectSensorRange(int rangeIndex) {
    const auto owner = catalogue::TypeOfRange(rangeIndex);
    if (!owner) {
        throw std::out_of_range(protocol::texts::BadReply);
    }
    // The range belongs to the selected type; a list left without a selection takes the type
    // that owns the range, so labels, list and fields always agree.
    const auto selected = SelectedItem(TipComboBox);
    if (!selected || *selected != *owner) {
        SelectItem(TipComboBox, *owner);
    }
    const int type = *owner;
    SetCaption(Label2, Text(catalogue::SensorRangeCaption(type)));
    SetCaption(Label4, Text(catalogue::WorkingRangeCaption(type)));
    {
        const QSignalBlocker blocker(DiapazonComboBox);
        DiapazonComboBox->clear();
        for (const catalogue::SensorRange& range : catalogue::RangesOfType(type)) {
            DiapazonComboBox->addItem(Text(range.RangeText));
        }
    }
    SelectItem(DiapazonComboBox, *catalogue::RangeItemOf(rangeIndex));
    SetWorkingRange(rangeIndex);
    UpdateAccessibleNames();
}

void TForm1::SetWorkingRange(int rangeIndex) {
    const catalogue::SensorRange* range = catalogue::FindSensorRange(rangeIndex);
    if (range == nullptr) {
        return;
    }
    const char separator = LocaleDecimalSeparator();
    NullEdit->setText(
        QString::fromStdString(protocol::FormatNumber(range->Min, "###0.0", separator)));
    UpEdit->setText(
        QString::fromStdString(protocol::FormatNumber(range->Max, "###0.0", separator)));
}

void TForm1::TipComboBoxChange() {
    const auto type = SelectedItem(TipComboBox);
    const catalogue::SensorType* entry = type ? catalogue::FindSensorType(*type) : nullptr;
    if (entry == nullptr) {
        return; // typed text: no type is selected, so there is nothing to apply
    }
    SelectSensorRange(entry->FirstRange);
}

void TForm1::DiapazonComboBoxChange() {
    const auto type = SelectedItem(TipComboBox);
    const auto item = SelectedItem(DiapazonComboBox);
    if (!type || !item) {
        return;
    }
    if (const auto range = catalogue::RangeIndexOf(*type, *item)) {
        SetWorkingRange(*range);
    }
}

std::optional<int> TForm1::SelectedTypeIndex() const {
    return SelectedItem(TipComboBox);
}

std::optional<int> TForm1::SelectedRangeIndex() const {
    const auto type = SelectedItem(TipComboBox);
    const auto item = SelectedItem(DiapazonComboBox);
    if (!type || !item) {
        return std::nullopt;
    }
    return catalogue::RangeIndexOf(*type, *item);
}

void TForm1::SelectRangeByIndex(int rangeIndex) {
    const auto type = catalogue::TypeOfRange(rangeIndex);
    if (!type) {
        throw std::out_of_range(protocol::texts::BadReply);
    }
    SelectItem(TipComboBox, *type);
    SelectSensorRange(rangeIndex);
}

// ---- captions and names ----

void TForm1::SetCaption(QLabel* label, const QString& text) {
    // Labels size themselves to their caption, so a longer text (a reading with more digits,
    // or a wider fallback font) is never cut off.
    label->setText(text);
    label->resize(label->sizeHint().width(), std::max(13, label->sizeHint().height()));
}

void TForm1::UpdateAccessibleNames() {
    TipComboBox->setAccessibleName(NameFromCaption(Label1->text()));
    DiapazonComboBox->setAccessibleName(NameFromCaption(Label2->text()));
    OutEdit->setAccessibleName(NameFromCaption(Label3->text()));
    const QString working = NameFromCaption(Label4->text());
    NullEdit->setAccessibleName(working + QLatin1Char(' ') + Label6->text());
    UpEdit->setAccessibleName(working + QLatin1Char(' ') + Label7->text());
    PortEdit->setAccessibleName(NameFromCaption(Label5->text()));
    UpDown->setAccessibleName(NameFromCaption(Label5->text()));
    TipOut->setAccessibleName(TipOut->title().trimmed());
}

// ---- protocol::EngineView ----

void TForm1::SetStatusText(int panel, const std::string& text) {
    StatusBar->SetPanelText(panel, QString::fromStdString(text));
}

void TForm1::SetTimerEnabled(bool enabled) {
    if (enabled) {
        Timer->start();
    } else {
        Timer->stop();
    }
}

bool TForm1::TimerEnabled() const {
    return Timer->isActive();
}

void TForm1::SetTimerInterval(int milliseconds) {
    Timer->setInterval(milliseconds);
}

int TForm1::TimerInterval() const {
    return Timer->interval();
}

void TForm1::SetTransactionButtonsEnabled(bool enabled) {
    for (QPushButton* button : {ButtonRead, ButtonWrite, ButtonTemp, ButtonZ}) {
        button->setEnabled(enabled);
    }
}

void TForm1::SetCalibrationButtonsEnabled(bool enabled) {
    Button2->setEnabled(enabled);
    if (calibration_ != nullptr) {
        calibration_->SetCalibrationButtonsEnabled(enabled);
    }
}

void TForm1::SetContinueButtonEnabled(bool enabled) {
    if (calibration_ != nullptr) {
        calibration_->SetContinueButtonEnabled(enabled);
    }
}

void TForm1::SetCalibrationUnfinished(bool unfinished) {
    if (calibration_ != nullptr) {
        calibration_->SetCalibrationUnfinished(unfinished);
    }
}

std::string TForm1::UpperText() const {
    return UpEdit->text().toStdString();
}

void TForm1::SetUpperText(const std::string& text) {
    UpEdit->setText(QString::fromStdString(text));
}

std::string TForm1::LowerText() const {
    return NullEdit->text().toStdString();
}

void TForm1::SetLowerText(const std::string& text) {
    NullEdit->setText(QString::fromStdString(text));
}

std::string TForm1::BreakLevelText() const {
    return OutEdit->text().toStdString();
}

void TForm1::SetBreakLevelText(const std::string& text) {
    OutEdit->setText(QString::fromStdString(text));
}

int TForm1::OutputTypeIndex() const {
    return TipOut->ItemIndex();
}

void TForm1::SetOutputTypeIndex(int index) {
    TipOut->SetItemIndex(index);
}

void TForm1::SetMeasuredValueText(const std::string& text) {
    SetCaption(LabelTemp, QString::fromStdString(text));
}

} // namespace app
