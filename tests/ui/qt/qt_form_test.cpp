// The Qt renderer of window descriptions: what it builds from a description, and the rules its
// control adapters keep (self-sizing and fixed labels, no change event from code, accessible
// names from labels, the page guard, pictures drawn once their page is shown).

#include "ui/qt/page_control.h"
#include "ui/qt/qt_form.h"
#include "ui/qt/radio_group.h"
#include "ui/qt/status_bar.h"

#include <QBuffer>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>

#include <stdexcept>

namespace {

using ui::ControlKind;

// A picture of 4 x 2 pixels on white with one black pixel, as a Windows bitmap.
const QByteArray& PictureBytes() {
    static const QByteArray bytes = [] {
        QImage image(4, 2, QImage::Format_RGB32);
        image.fill(Qt::white);
        image.setPixel(1, 0, qRgb(0, 0, 0));
        QByteArray data;
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "BMP");
        return data;
    }();
    return bytes;
}

const ui::FormSpec& Sample() {
    static const ui::FormSpec form = [] {
        ui::FormSpec spec;
        spec.name = "Sample";
        spec.caption = "Образец";
        spec.clientWidth = 300;
        spec.clientHeight = 200;
        spec.frame = ui::FrameKind::FixedDialogWithCloseBox;
        spec.controls = {
            {.name = "Caption",
             .kind = ControlKind::Label,
             .left = 8,
             .top = 8,
             .width = 30,
             .height = 13,
             .text = "Имя:"},
            {.name = "Name",
             .kind = ControlKind::Edit,
             .left = 60,
             .top = 6,
             .width = 80,
             .height = 21,
             .text = "x",
             .tabOrder = 1,
             .labelledBy = {"Caption"}},
            {.name = "Fixed",
             .kind = ControlKind::Label,
             .left = 8,
             .top = 40,
             .width = 113,
             .height = 24,
             .text = "R=0,0 Om",
             .autoSize = false,
             .fontHeight = 21},
            {.name = "List",
             .kind = ControlKind::ComboBox,
             .left = 150,
             .top = 6,
             .width = 80,
             .height = 21,
             .items = {"один", "два"},
             .tabOrder = 0,
             .itemIndex = 1},
            {.name = "Choice",
             .kind = ControlKind::RadioGroup,
             .left = 150,
             .top = 40,
             .width = 90,
             .height = 80,
             .text = " Выбор ",
             .items = {"x", "y"},
             .tabOrder = 2,
             .itemIndex = 1},
            {.name = "Pages",
             .kind = ControlKind::PageControl,
             .left = 8,
             .top = 70,
             .width = 130,
             .height = 100,
             .itemIndex = 0},
            {.name = "First", .kind = ControlKind::TabSheet, .parent = "Pages", .text = "Один"},
            {.name = "Go",
             .kind = ControlKind::Button,
             .parent = "First",
             .left = 4,
             .top = 4,
             .width = 60,
             .height = 25,
             .text = "Пуск",
             .tabOrder = 0,
             .enabled = false},
            {.name = "Second", .kind = ControlKind::TabSheet, .parent = "Pages", .text = "Два"},
            {.name = "Pic",
             .kind = ControlKind::Picture,
             .parent = "Second",
             .left = 2,
             .top = 2,
             .width = 4,
             .height = 2,
             .transparent = true,
             .picture = "dot"},
            {.name = "Bar",
             .kind = ControlKind::StatusBar,
             .left = 0,
             .top = 175,
             .width = 300,
             .height = 25,
             .panels = {{"Передано:", 100}, {"Принято:", 50}}},
        };
        return spec;
    }();
    return form;
}

// The events the renderer reports, as "Click Go"; a page change is allowed while `allow`.
struct Recorder : ui::EventSink {
    QStringList raised;
    bool allow = true;
    bool Raise(const std::string& control, ui::FormEvent event) override {
        raised << QString::fromStdString(ui::EventName(event) + (" " + control));
        return event != ui::FormEvent::Changing || allow;
    }
};

struct Built {
    QWidget window;
    ui::qt::QtForm form{
        Sample(), window, [](std::string_view name) {
            const QByteArray& bytes = PictureBytes();
            return name == "dot" ? std::span<const std::uint8_t>(
                                       reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                       static_cast<std::size_t>(bytes.size()))
                                 : std::span<const std::uint8_t>();
        }};
};

} // namespace

class QtFormTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void builtFromTheDescription();
    void labelsGrowOrShrinkTheirFont();
    void selectionsFromCodeRaiseNoChange();
    void itemsPanelsPagesAndTexts();
    void labelsNameTheirControls();
    void pageGuardAndClicks();
    void pictureOnceItsPageIsShown();
};

void QtFormTest::builtFromTheDescription() {
    Built built;
    QCOMPARE(built.window.windowTitle(), QStringLiteral("Образец"));
    QCOMPARE(built.window.size(), QSize(300, 200));
    QCOMPARE(built.window.minimumSize(), built.window.maximumSize());
    QVERIFY(built.window.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!built.window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    for (const ui::ControlSpec& control : Sample().controls) {
        QWidget* widget = built.form.Widget(control.name);
        QCOMPARE(widget->objectName(), QString::fromStdString(control.name));
        const QWidget* parent =
            control.parent.empty() ? &built.window : built.form.Widget(control.parent);
        if (control.kind != ControlKind::TabSheet) {
            QCOMPARE(widget->parentWidget(), parent);
            QCOMPARE(widget->pos(), QPoint(control.left, control.top));
        }
        QCOMPARE(widget->isEnabled(), control.enabled);
    }
    QCOMPARE(built.form.Widget("Go")->size(), QSize(60, 25));
    QCOMPARE(built.form.Widget("Fixed")->font().pixelSize(), 21);
    QCOMPARE(built.form.Widget("Name")->font().pixelSize(), 11);
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, built.form.Widget("Missing"));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, built.form["Missing"]);
    // Tab order: the list, the edit box, then the radio group's items.
    const auto nextStop = [](QWidget* widget) {
        do {
            widget = widget->nextInFocusChain();
        } while (!(widget->focusPolicy() & Qt::TabFocus) || widget->focusProxy() != nullptr);
        return widget;
    };
    auto* choice = built.form.As<ui::qt::RadioGroup>("Choice");
    QCOMPARE(nextStop(built.form.As<QComboBox>("List")->lineEdit()), built.form.Widget("Name"));
    QCOMPARE(nextStop(built.form.Widget("Name")), choice->Button(0));
    QCOMPARE(nextStop(choice->Button(0)), choice->Button(1));
}

void QtFormTest::labelsGrowOrShrinkTheirFont() {
    Built built;
    auto* caption = built.form.As<QLabel>("Caption");
    QCOMPARE(caption->width(), 30); // never narrower than the layout
    const QString longer = QStringLiteral("Имя пользователя прибора:");
    built.form["Caption"].SetText(longer.toStdString());
    QVERIFY(caption->width() >= caption->fontMetrics().horizontalAdvance(longer));
    QCOMPARE(built.form["Caption"].Text(), longer.toStdString());

    auto* fixed = built.form.As<QLabel>("Fixed");
    built.form["Fixed"].SetText("R=2,5 kOm, очень длинная подпись");
    QCOMPARE(fixed->geometry(), QRect(8, 40, 113, 24)); // a fixed label keeps its box
    QVERIFY(fixed->font().pixelSize() < 21);
    QVERIFY(fixed->font().pixelSize() >= 8);
    built.form["Fixed"].SetText("R");
    QCOMPARE(fixed->font().pixelSize(), 21); // a short caption gets the layout's height back
}

void QtFormTest::selectionsFromCodeRaiseNoChange() {
    Built built;
    auto* list = built.form.As<QComboBox>("List");
    QCOMPARE(list->currentText(), QStringLiteral("два"));
    Recorder events;
    built.form.SendEventsTo(events);
    QSignalSpy index(list, &QComboBox::currentIndexChanged);
    ui::Control& control = built.form["List"];
    control.SetIndex(0);
    QCOMPARE(list->currentText(), QStringLiteral("один"));
    control.ClearItems();
    control.AddItem("три");
    control.SetIndex(0);
    control.SetText("набрано");
    QCOMPARE(index.count() + events.raised.size(), 0);
    QCOMPARE(control.Text(), std::string("набрано"));
    QCOMPARE(control.Index(), 0);
    // A user's choice is a change.
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Up);
    Q_EMIT list->activated(0);
    QVERIFY(events.raised.contains(QStringLiteral("Change List")));
}

void QtFormTest::itemsPanelsPagesAndTexts() {
    Built built;
    ui::Control& choice = built.form["Choice"];
    QCOMPARE(choice.Index(), 1);
    QCOMPARE(choice.ItemCount(), 2);
    QCOMPARE(choice.ItemText(1), std::string("y"));
    choice.SetIndex(-1);
    QCOMPARE(choice.Index(), -1);
    choice.AddItem("z");
    QCOMPARE(built.form.As<ui::qt::RadioGroup>("Choice")->Button(2)->text(), QStringLiteral("z"));

    ui::Control& bar = built.form["Bar"];
    QCOMPARE(bar.ItemCount(), 2);
    bar.SetItemText(1, "Принято: !0A");
    bar.SetItemText(5, "ignored");
    QCOMPARE(built.form.As<ui::qt::StatusBar>("Bar")->PanelText(1), QStringLiteral("Принято: !0A"));
    QCOMPARE(bar.ItemText(0), std::string("Передано:"));

    QCOMPARE(built.form["Second"].Text(), std::string("Два"));
    built.form["Second"].SetText("Второй");
    QCOMPARE(built.form.As<ui::qt::PageControl>("Pages")->tabText(1), QStringLiteral("Второй"));
    built.form["Go"].SetVisible(false);
    QVERIFY(!built.form["Go"].Visible());
    built.form["Go"].SetLeft(20);
    QCOMPARE(built.form["Go"].Left(), 20);
}

void QtFormTest::labelsNameTheirControls() {
    Built built;
    QCOMPARE(built.form.Widget("Name")->accessibleName(), QStringLiteral("Имя"));
    QCOMPARE(built.form.As<QLabel>("Caption")->buddy(), built.form.Widget("Name"));
    built.form["Caption"].SetText("Фамилия  и имя: ");
    QCOMPARE(built.form.Widget("Name")->accessibleName(), QStringLiteral("Фамилия и имя"));
    QCOMPARE(built.form.Widget("Choice")->accessibleName(), QStringLiteral("Выбор"));
}

void QtFormTest::pageGuardAndClicks() {
    Built built;
    built.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&built.window));
    Recorder events;
    built.form.SendEventsTo(events);
    built.form["Go"].SetEnabled(true);
    QTest::mouseClick(built.form.Widget("Go"), Qt::LeftButton);
    QCOMPARE(events.raised, QStringList{QStringLiteral("Click Go")});

    events.allow = false;
    auto* pages = built.form.As<ui::qt::PageControl>("Pages");
    QTabBar* tabs = pages->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    QCOMPARE(built.form["Pages"].Index(), 0);
    built.form["Pages"].SetIndex(1); // from code: not asked
    QCOMPARE(pages->currentIndex(), 1);
    events.allow = true;
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    QCOMPARE(pages->currentIndex(), 0);
}

void QtFormTest::pictureOnceItsPageIsShown() {
    Built built;
    auto* picture = built.form.As<QLabel>("Pic");
    built.window.show();
    QVERIFY(picture->pixmap().isNull()); // on the page not open
    built.form["Pages"].SetIndex(1);
    const QImage image = picture->pixmap().toImage();
    QCOMPARE(image.size(), QSize(4, 2));
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(image.pixel(1, 0)), 255);
}

QTEST_MAIN(QtFormTest)
#include "qt_form_test.moc"
