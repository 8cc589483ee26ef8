#include "calibration/kalibr_form.h"

#include "calibration/diagrams/diagram_geometry.h"
#include "calibration/page_control.h"
#include "calibration/window_face.h"
#include "calibration/window_keys.h"
#include "catalogue/sensor_catalogue.h"
#include "protocol/engine_texts.h"
#include "protocol/engine_view.h"
#include "protocol/exchange_engine.h"
#include "protocol/guarded_call.h"
#include "protocol/ui_services.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QStringList>

#include <algorithm>
#include <utility>

// Resources of a static library are registered by hand; the macro must be used outside any
// namespace.
static void InitDiagramResources() {
    Q_INIT_RESOURCE(diagrams);
}

namespace calibration {

TKalibrForm* KalibrForm = nullptr;

namespace {

const char* const kCaption = "Калибровка прибора";
const char* const kInputPage = "Калибровка входа";
const char* const kOutputPage = "Калибровка выхода";
const char* const kZeroTitle = "Калибровка нуля";
const char* const kGainTitle = "Калибровка усиления";
const char* const kZeroResistance = "R = 0,0 Om";
const char* const kAssembleCircuit = "Для калибровки соберите схему";
const char* const kCancel = "Отмена";
const char* const kExit = "Выход";
const char* const kCalibrate = "Калибровать";
const char* const kContinue = "Продолжить";
const char* const kUnitVolt = "V";
const char* const kUnitMilliampere = "mA";

constexpr int kClientWidth = 562;
constexpr int kClientHeight = 665;
constexpr int kDefaultFontHeight = 11;
constexpr int kSmallestFontHeight = 8;

// Marks the labels that size themselves to their caption, and the width they start with.
const char* const kAutoSizeWidth = "autoSizeWidth";
// Marks the fixed-size labels, with the character height the layout gives them.
const char* const kFixedFontHeight = "fixedFontHeight";

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QLabel* NewLabel(QWidget* parent, const char* name, const char* text, int left, int top, int width,
                 int height, int fontHeight, bool autoSize) {
    auto* label = new QLabel(Text(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(left, top, width, height);
    label->setFont(WindowFace(fontHeight));
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setProperty(autoSize ? kAutoSizeWidth : kFixedFontHeight, autoSize ? width : fontHeight);
    return label;
}

QPushButton* NewButton(QWidget* parent, const char* name, const char* text, int left, int top,
                       int width, int height) {
    auto* button = new QPushButton(Text(text), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(left, top, width, height);
    // Enter presses the focused button only, as on the original dialog; no button is default.
    button->setAutoDefault(false);
    return button;
}

// A wiring diagram from the resources. The picture is drawn transparent: the colour of its
// bottom-left pixel (the white background) lets the page show through, the lines stay.
QPixmap DiagramPixmap(const QString& resource) {
    QImage image(resource);
    if (image.isNull()) {
        return {};
    }
    const QRgb background = image.pixel(0, image.height() - 1);
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] & 0x00FFFFFF) == (background & 0x00FFFFFF)) {
                line[x] = qRgba(0, 0, 0, 0);
            }
        }
    }
    return QPixmap::fromImage(image);
}

QLabel* NewPicture(QWidget* parent, const char* name, const diagrams::Rect& at,
                   const QString& resource) {
    auto* picture = new QLabel(parent);
    picture->setObjectName(QString::fromLatin1(name));
    picture->setGeometry(at.left, at.top, at.width, at.height);
    picture->setAlignment(Qt::AlignCenter);
    picture->setPixmap(DiagramPixmap(resource));
    return picture;
}

} // namespace

QString TKalibrForm::Caption() {
    return Text(kCaption);
}

TKalibrForm::TKalibrForm(protocol::ExchangeEngine& engine, const protocol::EngineView& mainWindow,
                         protocol::UiServices& ui, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      engine_(engine), mainWindow_(mainWindow), ui_(ui) {
    InitDiagramResources();
    setObjectName(QStringLiteral("KalibrForm"));
    setWindowTitle(Caption());
    setModal(true);
    setFixedSize(kClientWidth, kClientHeight);
    setFont(WindowFace(kDefaultFontHeight));
    CreateControls();
    ConnectHandlers();
}

TKalibrForm::~TKalibrForm() {
    if (KalibrForm == this) {
        KalibrForm = nullptr;
    }
}

void TKalibrForm::CreateControls() {
    PageControl1 = new TPageControl(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(8, 8, 545, 649);

    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    PageControl1->addTab(TabSheet1, Text(kInputPage));

    Image1 = NewPicture(TabSheet1, "Image1", diagrams::kImage1,
                        QStringLiteral(":/calibration/input_diagram.bmp"));
    Label1 = NewLabel(TabSheet1, "Label1", kZeroTitle, 152, 8, 200, 29, 24, true);
    Label2 = NewLabel(TabSheet1, "Label2", kAssembleCircuit, 120, 496, 292, 24, 19, true);
    // Fixed size and opaque: it covers the picture's display window with the resistance text.
    Label3 =
        NewLabel(TabSheet1, "Label3", "R=0,0 Om", diagrams::kLabel3.left, diagrams::kLabel3.top,
                 diagrams::kLabel3.width, diagrams::kLabel3.height, 21, false);
    Label3->setAutoFillBackground(true);
    Label3->raise();
    ButtonExit = NewButton(TabSheet1, "ButtonExit", kCancel, 232, 580, 75, 25);
    Button1 = NewButton(TabSheet1, "Button1", kCalibrate, 136, 536, 113, 25);
    Button2 = NewButton(TabSheet1, "Button2", kContinue, 292, 536, 121, 25);
    Button2->setEnabled(false);
    QWidget::setTabOrder(ButtonExit, Button1);
    QWidget::setTabOrder(Button1, Button2);

    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    PageControl1->addTab(TabSheet2, Text(kOutputPage));

    Image2 = NewPicture(TabSheet2, "Image2", diagrams::kImage2,
                        QStringLiteral(":/calibration/output_diagram.bmp"));
    Label4 = NewLabel(TabSheet2, "Label4", kAssembleCircuit, 120, 488, 292, 24, 19, true);
    // Transparent: the unit is written onto the meter of the picture.
    Label5 = NewLabel(TabSheet2, "Label5", kUnitMilliampere, diagrams::kLabel5.left,
                      diagrams::kLabel5.top, diagrams::kLabel5.width, diagrams::kLabel5.height, 21,
                      true);
    Label5->raise();
    Button3 = NewButton(TabSheet2, "Button3", kCalibrate, 104, 552, 97, 25);
    Button4 = NewButton(TabSheet2, "Button4", kExit, 344, 552, 97, 25);
    QWidget::setTabOrder(Button3, Button4);

    PageControl1->setCurrentIndex(0);
}

void TKalibrForm::ConnectHandlers() {
    connect(Button1, &QPushButton::clicked, this, [this] { Handle([this] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, [this] { Handle([this] { Button2Click(); }); });
    connect(Button3, &QPushButton::clicked, this, [this] { Handle([this] { Button3Click(); }); });
    connect(ButtonExit, &QPushButton::clicked, this,
            [this] { Handle([this] { ButtonExitClick(); }); });
    connect(Button4, &QPushButton::clicked, this,
            [this] { Handle([this] { ButtonExitClick(); }); });
    PageControl1->SetOnChanging([this] {
        bool allowed = false;
        Handle([this, &allowed] { allowed = PageControl1Changing(); });
        return allowed;
    });
}

template <class Handler> void TKalibrForm::Handle(Handler&& handler) {
    protocol::GuardedCall(ui_, std::forward<Handler>(handler));
}

void TKalibrForm::SetCaption(QLabel* label, const QString& text) {
    label->setText(text);
    const QVariant layoutWidth = label->property(kAutoSizeWidth);
    if (layoutWidth.isValid()) {
        const int needed = label->fontMetrics().horizontalAdvance(text) + 2 * label->margin() + 2;
        label->resize(std::max(layoutWidth.toInt(), needed), label->height());
        return;
    }
    // A fixed-size label keeps its box; where the system lacks MS Sans Serif, the substitute
    // face may be wider, and the text then gets the largest character height up to the
    // layout's at which it still fits, rather than being cut off.
    const QVariant layoutHeight = label->property(kFixedFontHeight);
    if (layoutHeight.isValid()) {
        QFont font = label->font();
        const int room = label->width() - 2 * label->margin();
        int height = layoutHeight.toInt();
        font.setPixelSize(height);
        while (height > kSmallestFontHeight && QFontMetrics(font).horizontalAdvance(text) > room) {
            font.setPixelSize(--height);
        }
        label->setFont(font);
    }
}

void TKalibrForm::FormShow() {
    InputStage = 0;
    Button2->setVisible(true);
    ButtonExit->setText(Text(kCancel));
    SetCaption(Label1, Text(kZeroTitle));
    SetCaption(Label3, Text(kZeroResistance));
    CalibrationUnfinished = false;
    if (mainWindow_.OutputTypeIndex() == 0) {
        SetCaption(Label5, Text(kUnitVolt));
        Label5->move(diagrams::kLabel5LeftVolt, Label5->y());
    } else {
        SetCaption(Label5, Text(kUnitMilliampere));
        Label5->move(diagrams::kLabel5LeftCurrent, Label5->y());
    }
    PageControl1->setCurrentWidget(TabSheet1);
}

void TKalibrForm::FormClose() {
    engine_.KalibrFormClose(CalibrationUnfinished);
}

void TKalibrForm::Button1Click() {
    engine_.KalibrButton1Click(InputStage);
}

void TKalibrForm::Button2Click() {
    if (InputStage == 0) {
        // The gain stage needs the resistance standard of the selected range. Without a
        // selected range (text typed into the main window's lists) there is none to show, so
        // the window stays at the zero stage instead of naming a wrong resistance.
        const auto range = mainWindow_.SelectedRangeIndex();
        if (!range || *range < 0 || *range >= catalogue::SensorRangeCount) {
            ui_.ShowMessage(protocol::texts::NoRangeSelected);
            return;
        }
        const std::string_view calibText =
            catalogue::SensorRanges[static_cast<std::size_t>(*range)].CalibText;
        SetCaption(Label1, Text(kGainTitle));
        SetCaption(Label3,
                   QString::fromUtf8(calibText.data(), static_cast<qsizetype>(calibText.size())));
    }
    Button2->setVisible(false);
    ButtonExit->setText(Text(kExit));
    InputStage = 1;
}

void TKalibrForm::Button3Click() {
    engine_.KalibrButton3Click();
}

void TKalibrForm::ButtonExitClick() {
    close();
}

bool TKalibrForm::PageControl1Changing() {
    return engine_.ControlsEnabled();
}

void TKalibrForm::SetCalibrationButtonsEnabled(bool enabled) {
    Button1->setEnabled(enabled);
    Button2->setEnabled(enabled);
}

void TKalibrForm::SetContinueButtonEnabled(bool enabled) {
    Button2->setEnabled(enabled);
}

void TKalibrForm::SetCalibrationUnfinished(bool unfinished) {
    CalibrationUnfinished = unfinished;
}

void TKalibrForm::ShowModal() {
    exec();
}

void TKalibrForm::keyPressEvent(QKeyEvent* event) {
    if (!HandleWindowKey(*this, *event)) {
        QDialog::keyPressEvent(event);
    }
}

void TKalibrForm::done(int result) {
    if (isVisible()) {
        Handle([this] { FormClose(); });
    }
    QDialog::done(result);
}

void TKalibrForm::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        CentreOnScreen();
        Handle([this] { FormShow(); });
    }
    QDialog::showEvent(event);
}

void TKalibrForm::CentreOnScreen() {
    const QScreen* screen = this->screen();
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return;
    }
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

} // namespace calibration
