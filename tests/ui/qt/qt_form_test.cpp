// The Qt renderer of window descriptions, on the sample window: what it builds that the
// conformance suite does not read (lists, opaque labels), and the rules its control adapters keep
// (self-sizing and fixed labels, no change event from code, a user's choice by mouse or keys,
// accessible names from labels, the page guard against every way of turning a page, pictures
// drawn once their page is shown).

#include "tests/support/sample_form.h"
#include "ui/qt/page_control.h"
#include "ui/qt/qt_form.h"
#include "ui/qt/radio_group.h"
#include "ui/qt/status_bar.h"

#include <QAbstractItemView>
#include <QApplication>
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
#include <QWheelEvent>

#include <functional>
#include <stdexcept>

namespace {

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

// The events the renderer reports, as "Click OnA", each as it comes; a page change is allowed
// while `allow`.
struct Recorder : ui::EventSink {
    QStringList raised;
    bool allow = true;
    std::function<void()> onRaise;
    bool Raise(const std::string& control, ui::FormEvent event) override {
        raised << QString::fromStdString(ui::EventName(event) + (" " + control));
        if (onRaise) {
            onRaise();
        }
        return event != ui::FormEvent::Changing || allow;
    }
};

struct Built {
    QWidget window;
    ui::qt::QtForm form{
        testing_support::SampleForm(), window, [](std::string_view name) {
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
    void listsLabelsAndUnknownNames();
    void labelsGrowOrShrinkTheirFont();
    void selectionsFromCodeRaiseNoChange();
    void aUsersChoiceIsAChange();
    void itemsPanelsPagesAndTexts();
    void labelsNameTheirControls();
    void pageGuardAndClicks();
    void pictureOnceItsPageIsShown();
};

void QtFormTest::listsLabelsAndUnknownNames() {
    Built built;
    auto* list = built.form.As<QComboBox>("List");
    QVERIFY(list->isEditable());
    QCOMPARE(list->maxVisibleItems(), 8);
    QCOMPARE(list->insertPolicy(), QComboBox::NoInsert);
    // An opaque label hides the picture under it; a transparent one is written onto it.
    QVERIFY(built.form.As<QLabel>("Fixed")->autoFillBackground());
    QVERIFY(!built.form.As<QLabel>("Caption")->autoFillBackground());
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, built.form.Widget("Missing"));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, built.form["Missing"]);
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
    QCOMPARE(fixed->geometry(), QRect(200, 30, 60, 24)); // a fixed label keeps its box
    QVERIFY(fixed->font().pixelSize() < 21);
    QVERIFY(fixed->font().pixelSize() >= 8);
    built.form["Fixed"].SetText("R");
    QCOMPARE(fixed->font().pixelSize(), 21); // a short caption gets the layout's height back
}

void QtFormTest::selectionsFromCodeRaiseNoChange() {
    Built built;
    auto* list = built.form.As<QComboBox>("List");
    QCOMPARE(list->currentText(), QStringLiteral("два"));
    QCOMPARE(list->itemText(0), QStringLiteral(" один")); // a leading blank is the item's
    Recorder events;
    built.form.SendEventsTo(events);
    QSignalSpy index(list, &QComboBox::currentIndexChanged);
    ui::Control& control = built.form["List"];
    control.SetIndex(0);
    QCOMPARE(list->currentText(), QStringLiteral(" один"));
    control.ClearItems();
    control.AddItem("три");
    control.SetIndex(0);
    control.SetText("набрано");
    QCOMPARE(index.count() + events.raised.size(), 0);
    QCOMPARE(control.Text(), std::string("набрано"));
    QCOMPARE(control.Index(), 0);
}

// Choosing with the mouse, stepping with the arrow keys, and Enter on a typed item's name.
void QtFormTest::aUsersChoiceIsAChange() {
    Built built;
    built.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&built.window));
    auto* list = built.form.As<QComboBox>("List");
    std::vector<int> chosen;
    Recorder events;
    events.onRaise = [&] { chosen.push_back(list->currentIndex()); };
    built.form.SendEventsTo(events);
    list->showPopup();
    QAbstractItemView* view = list->view();
    QVERIFY(QTest::qWaitForWindowExposed(view->window()));
    const QModelIndex item = view->model()->index(2, list->modelColumn());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(item).center());
    QTRY_VERIFY(!view->window()->isVisible());
    QTest::keyClick(list, Qt::Key_Up);
    list->lineEdit()->selectAll();
    // Typed as one input (QTest types only Latin-1 keys).
    list->lineEdit()->insert(QStringLiteral("три"));
    QTest::keyClick(list->lineEdit(), Qt::Key_Return);
    QCOMPARE(chosen, (std::vector<int>{2, 1, 2}));
    QCOMPARE(events.raised, QStringList(3, QStringLiteral("Change List")));
    // Text that names no item selects nothing new.
    list->lineEdit()->selectAll();
    list->lineEdit()->insert(QStringLiteral("четыре"));
    QCOMPARE(list->currentIndex(), 2);
    QCOMPARE(built.form["List"].Text(), std::string("четыре"));
}

void QtFormTest::itemsPanelsPagesAndTexts() {
    Built built;
    ui::Control& radios = built.form["Radios"];
    QCOMPARE(radios.Index(), 0);
    QCOMPARE(radios.ItemCount(), 3);
    QCOMPARE(radios.ItemText(1), std::string("0 - 5 mA"));
    radios.SetIndex(-1);
    QCOMPARE(radios.Index(), -1);
    radios.AddItem("z");
    QCOMPARE(built.form.As<ui::qt::RadioGroup>("Radios")->Button(3)->text(), QStringLiteral("z"));

    ui::Control& bar = built.form["Bar"];
    QCOMPARE(bar.ItemCount(), 2);
    bar.SetItemText(1, "Принято: !0A");
    bar.SetItemText(5, "ignored");
    QCOMPARE(built.form.As<ui::qt::StatusBar>("Bar")->PanelText(1), QStringLiteral("Принято: !0A"));
    QCOMPARE(bar.ItemText(0), std::string("Передано:"));

    QCOMPARE(built.form["PageB"].Text(), std::string("Выход"));
    built.form["PageB"].SetText("Второй");
    QCOMPARE(built.form.As<ui::qt::PageControl>("Pages")->tabText(1), QStringLiteral("Второй"));
    built.form["OnA"].SetVisible(false);
    QVERIFY(!built.form["OnA"].Visible());
    built.form["OnA"].SetLeft(20);
    QCOMPARE(built.form["OnA"].Left(), 20);
}

void QtFormTest::labelsNameTheirControls() {
    Built built;
    QCOMPARE(built.form.Widget("Name")->accessibleName(), QStringLiteral("Имя"));
    QCOMPARE(built.form.As<QLabel>("Caption")->buddy(), built.form.Widget("Name"));
    built.form["Caption"].SetText("Фамилия  и имя: ");
    QCOMPARE(built.form.Widget("Name")->accessibleName(), QStringLiteral("Фамилия и имя"));
    QCOMPARE(built.form.Widget("Radios")->accessibleName(), QStringLiteral("Выход"));
}

// A refused page stays whatever the user tries: the mouse on the other tab, the arrow keys on
// the tab bar, Ctrl+Tab on the page control, the wheel over the tabs.
void QtFormTest::pageGuardAndClicks() {
    Built built;
    built.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&built.window));
    Recorder events;
    built.form.SendEventsTo(events);
    QTest::mouseClick(built.form.Widget("OnA"), Qt::LeftButton);
    QCOMPARE(events.raised, QStringList{QStringLiteral("Click OnA")});

    events.allow = false;
    auto* pages = built.form.As<ui::qt::PageControl>("Pages");
    QTabBar* tabs = pages->tabBar();
    QSignalSpy changes(pages, &QTabWidget::currentChanged);
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    tabs->setFocus();
    QTest::keyClick(tabs, Qt::Key_Right);
    QTest::keyClick(pages, Qt::Key_Tab, Qt::ControlModifier);
    QWheelEvent wheel(tabs->tabRect(0).center(), tabs->mapToGlobal(tabs->tabRect(0).center()),
                      QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                      false);
    QApplication::sendEvent(tabs, &wheel);
    QCOMPARE(built.form["Pages"].Index(), 0);
    QCOMPARE(changes.count(), 0);
    QVERIFY(built.form.Widget("PageA")->isVisible());
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
