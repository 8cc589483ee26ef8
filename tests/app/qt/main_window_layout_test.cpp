// The main window as it is laid out: every control's kind, parent, place, size, text, tab order
// and initial state, the window's frame, and the accessible names of the inputs.

#include "window_fixture.h"

#include "app/main_window_description.h"
#include "tests/support/qt_layout_check.h"

#include "protocol/exchange_engine.h"
#include "serial/com_port.h"
#include "tests/support/qt_caption_fit.h"
#include "ui/qt/radio_group.h"
#include "ui/qt/status_bar.h"
#include "ui/qt/up_down.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>

namespace {

QWidget* Control(app::TForm1& form, const QString& name) {
    return form.findChild<QWidget*>(name);
}

} // namespace

class MainWindowLayoutTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void layoutAsDescribed();
    void shownTexts_data();
    void shownTexts();
    void labels_data();
    void labels();
    void captionsFit_data();
    void captionsFit();
    void window();
    void tabOrderAndFirstFocus();
    void initialState();
    void dropDownLists();
    void outputTypeGroup();
    void statusBar();
    void accessibleNames();
};

// Every control as the window's description has it, before the window is first shown.
void MainWindowLayoutTest::layoutAsDescribed() {
    app_test::WindowFixture window;
    const QStringList differences =
        testing_support::LayoutDifferences(app::MainWindowDescription(), *window.form);
    QVERIFY2(differences.isEmpty(), qPrintable(differences.join(QStringLiteral("; "))));
    QVERIFY(window.Show());
    // Showing fills the lists and replaces some texts; no control moves or shrinks.
    for (const ui::ControlSpec& control : app::MainWindowDescription().controls) {
        const QWidget* widget = Control(*window.form, QString::fromStdString(control.name));
        QCOMPARE(widget->pos(), QPoint(control.left, control.top));
        QVERIFY(widget->width() >= control.width);
        QVERIFY(widget->isVisible());
    }
}

void MainWindowLayoutTest::shownTexts_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("TipComboBox") << "TСМ (R=53Ом)";
    QTest::newRow("DiapazonComboBox") << " -50 +50";
    QTest::newRow("Label2") << "Диапазон датчика (град. С): ";
    QTest::newRow("Label4") << "Рабочий диапазон (град. С): ";
    QTest::newRow("NullEdit") << "-50.0";
    QTest::newRow("UpEdit") << "50.0";
    QTest::newRow("OutEdit") << "0";
    QTest::newRow("PortEdit") << "1";
}

void MainWindowLayoutTest::shownTexts() {
    QFETCH(QString, text);
    QLocale::setDefault(QLocale::c());
    app_test::WindowFixture window;
    QVERIFY(window.Show());
    QCOMPARE(testing_support::TextOf(Control(*window.form, QTest::currentDataTag())), text);
}

void MainWindowLayoutTest::labels_data() {
    QTest::addColumn<QString>("neighbour"); // the control to its right, which it must not reach
    QTest::newRow("Label1") << "TipComboBox";
    QTest::newRow("Label2") << "DiapazonComboBox";
    QTest::newRow("Label3") << "OutEdit";
    QTest::newRow("Label4") << "Label6";
    QTest::newRow("Label6") << "NullEdit";
    QTest::newRow("Label7") << "UpEdit";
    QTest::newRow("Label5") << "PortEdit";
    QTest::newRow("LabelTemp") << "";
}

void MainWindowLayoutTest::labels() {
    QFETCH(QString, neighbour);
    app_test::WindowFixture window;
    QVERIFY(window.Show());
    auto* label = qobject_cast<QLabel*>(Control(*window.form, QTest::currentDataTag()));
    QVERIFY(label != nullptr);
    // Labels size themselves to their caption: the whole text is visible, inside the parent,
    // and short of the control beside it.
    QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(label->text()));
    QVERIFY(label->height() >= 13);
    QVERIFY(label->parentWidget()->rect().contains(label->geometry()));
    if (!neighbour.isEmpty()) {
        QVERIFY2(
            label->geometry().right() < Control(*window.form, neighbour)->geometry().left(),
            qPrintable(QStringLiteral("%1 runs into %2").arg(QTest::currentDataTag(), neighbour)));
    }
}

void MainWindowLayoutTest::captionsFit_data() {
    QTest::addColumn<int>("range"); // selected as the transducer reports it; -1: as shown
    QTest::newRow("degrees, as shown") << -1;
    QTest::newRow("ohms, widest range") << 24;
    QTest::newRow("degrees, widest range text") << 15;
}

// Whatever face the system substitutes for MS Sans Serif, every caption fits its box: buttons,
// labels, group titles and the output-type items.
void MainWindowLayoutTest::captionsFit() {
    QFETCH(int, range);
    app_test::WindowFixture window;
    QVERIFY(window.Show());
    if (range >= 0) {
        window.form->Logic().SelectRangeByIndex(range);
        window.form->Logic().SetMeasuredValueText("Сопротивление (Ом): 2500.0");
    }
    const QStringList cut = testing_support::CaptionsThatDoNotFit(*window.form);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral("; "))));
}

void MainWindowLayoutTest::window() {
    app_test::WindowFixture window;
    app::TForm1& form = *window.form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Конфигуратор ЛИРАТ-5"));
    QCOMPARE(form.size(), QSize(541, 442));
    QCOMPARE(form.minimumSize(), QSize(541, 442));
    QCOMPARE(form.maximumSize(), QSize(541, 442));
    const Qt::WindowFlags flags = form.windowFlags();
    QVERIFY(flags.testFlag(Qt::Dialog));
    QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
    QVERIFY(flags.testFlag(Qt::WindowTitleHint));
    QVERIFY(!flags.testFlag(Qt::WindowSystemMenuHint));
    QVERIFY(!flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!form.windowIcon().isNull());
    QCOMPARE(form.windowIcon().availableSizes().value(0), QSize(32, 32));
    QCOMPARE(form.font().pixelSize(), 11);
    // MS Sans Serif where the system has it; elsewhere a face the system has, named directly.
    const QStringList present = QFontDatabase::families();
    const QString family = form.font().families().value(0);
    if (present.contains(QStringLiteral("MS Sans Serif"))) {
        QCOMPARE(family, QStringLiteral("MS Sans Serif"));
    } else {
        QVERIFY2(present.contains(family), qPrintable(family));
    }
    QVERIFY(window.Show());
    const QPoint centre = form.frameGeometry().center();
    const QPoint screenCentre = form.screen()->availableGeometry().center();
    QVERIFY2((centre - screenCentre).manhattanLength() <= 2,
             qPrintable(QStringLiteral("window centre %1,%2, screen centre %3,%4")
                            .arg(centre.x())
                            .arg(centre.y())
                            .arg(screenCentre.x())
                            .arg(screenCentre.y())));
}

void MainWindowLayoutTest::tabOrderAndFirstFocus() {
    app_test::WindowFixture window;
    QVERIFY(window.Show());
    app::TForm1& form = *window.form;
    const QList<QWidget*> expected = {
        form.Widget<QPushButton>(app::names::Button1),
        form.Widget<QComboBox>(app::names::TipComboBox),
        form.Widget<QComboBox>(app::names::DiapazonComboBox),
        form.Widget<QLineEdit>(app::names::OutEdit),
        form.Widget<QLineEdit>(app::names::NullEdit),
        form.Widget<QLineEdit>(app::names::PortEdit),
        form.Widget<ui::qt::UpDown>(app::names::UpDown),
        form.Widget<QPushButton>(app::names::ButtonTemp),
        form.Widget<QPushButton>(app::names::ButtonRead),
        form.Widget<QPushButton>(app::names::ButtonWrite),
        form.Widget<QPushButton>(app::names::ButtonZ),
        form.Widget<QLineEdit>(app::names::UpEdit),
        form.Widget<ui::qt::RadioGroup>(app::names::TipOut)->Button(0),
        form.Widget<ui::qt::RadioGroup>(app::names::TipOut)->Button(1),
        form.Widget<ui::qt::RadioGroup>(app::names::TipOut)->Button(2),
        form.Widget<QPushButton>(app::names::Button2)};
    // The focus chain from the first control, keeping the controls that Tab can reach.
    QList<QWidget*> chain;
    QWidget* widget = form.Widget<QPushButton>(app::names::Button1);
    do {
        if ((widget->focusPolicy() & Qt::TabFocus) && form.isAncestorOf(widget) &&
            widget->focusProxy() == nullptr) {
            chain.append(widget);
        }
        widget = widget->nextInFocusChain();
    } while (widget != form.Widget<QPushButton>(app::names::Button1) && chain.size() < 100);
    QCOMPARE(chain, expected);
    QCOMPARE(form.focusWidget(), form.Widget<QPushButton>(app::names::Button1));
}

void MainWindowLayoutTest::initialState() {
    app_test::WindowFixture window;
    app::TForm1& form = *window.form;
    QCOMPARE(form.Timer->interval(), 2000);
    QVERIFY(!form.Timer->isActive());
    QVERIFY(form.Widget<QLineEdit>(app::names::PortEdit)->isReadOnly());
    QCOMPARE(form.Widget<ui::qt::UpDown>(app::names::UpDown)->Minimum(), 1);
    QCOMPARE(form.Widget<ui::qt::UpDown>(app::names::UpDown)->Maximum(), 100);
    QCOMPARE(form.Widget<ui::qt::UpDown>(app::names::UpDown)->Position(), 1);
    QCOMPARE(form.Widget<ui::qt::UpDown>(app::names::UpDown)->Associate(),
             form.Widget<QLineEdit>(app::names::PortEdit));
    // Right of the edit box, same height.
    QCOMPARE(form.Widget<ui::qt::UpDown>(app::names::UpDown)->geometry().left(),
             form.Widget<QLineEdit>(app::names::PortEdit)->geometry().right() + 1);
    QCOMPARE(form.Widget<ui::qt::UpDown>(app::names::UpDown)->geometry().top(),
             form.Widget<QLineEdit>(app::names::PortEdit)->geometry().top());
    QCOMPARE(form.Widget<ui::qt::RadioGroup>(app::names::TipOut)->ItemIndex(), 0);
    QVERIFY(form.Logic().SettingsFileName().empty());
    QVERIFY(!form.ComPort().Connected());
    QCOMPARE(form.ComPort().Port(), std::string("COM1"));
    QCOMPARE(form.ComPort().Name(), std::string("ComPort"));
    QCOMPARE(form.ComPort().BaudRate(), serial::br9600);
    QCOMPARE(form.ComPort().SyncMethod(), serial::smNone);
    QCOMPARE(form.ComPort().FlowControl().ControlDTR(), serial::dtrDisable);
    QCOMPARE(form.ComPort().FlowControl().ControlRTS(), serial::rtsDisable);
    QVERIFY(form.ComPort().Events() == serial::TComEvents({serial::evRx80Full}));
    QVERIFY(window.Show());
    QCOMPARE(QString::fromStdString(form.Logic().SettingsFileName()),
             app_test::SettingsFileBesideTestProgram());
    QVERIFY(!form.Engine().DeviceAnswered());
    QVERIFY(form.Engine().ControlsEnabled());
    QVERIFY(window.ui.shown.empty());
}

void MainWindowLayoutTest::dropDownLists() {
    app_test::WindowFixture window;
    QVERIFY(window.Show());
    for (QComboBox* box : {window.form->Widget<QComboBox>(app::names::TipComboBox),
                           window.form->Widget<QComboBox>(app::names::DiapazonComboBox)}) {
        QVERIFY(box->isEditable());
        QCOMPARE(box->maxVisibleItems(), 8);
        QCOMPARE(box->insertPolicy(), QComboBox::NoInsert);
    }
    QCOMPARE(window.form->Widget<QComboBox>(app::names::TipComboBox)->count(), 10);
    QCOMPARE(window.form->Widget<QComboBox>(app::names::TipComboBox)->currentIndex(), 0);
    QCOMPARE(window.form->Widget<QComboBox>(app::names::DiapazonComboBox)->count(), 3);
    QCOMPARE(window.form->Widget<QComboBox>(app::names::DiapazonComboBox)->currentIndex(), 0);
}

void MainWindowLayoutTest::outputTypeGroup() {
    app_test::WindowFixture window;
    ui::qt::RadioGroup& group = *window.form->Widget<ui::qt::RadioGroup>(app::names::TipOut);
    QCOMPARE(group.Count(), 3);
    QCOMPARE(group.Button(0)->text(), QStringLiteral("0 - 10 В"));
    QCOMPARE(group.Button(1)->text(), QStringLiteral("0 - 5 mA"));
    QCOMPARE(group.Button(2)->text(), QStringLiteral("0 - 20 mA"));
    QVERIFY(group.Button(0)->isChecked());
}

void MainWindowLayoutTest::statusBar() {
    app_test::WindowFixture window;
    QVERIFY(window.Show());
    ui::qt::StatusBar& bar = *window.form->Widget<ui::qt::StatusBar>(app::names::StatusBar);
    QCOMPARE(bar.PanelCount(), 2);
    QCOMPARE(bar.PanelText(0), QStringLiteral("Передано:"));
    QCOMPARE(bar.PanelText(1), QStringLiteral("Принято:"));
    QCOMPARE(bar.Panel(0)->width(), 170);
    QVERIFY(bar.Panel(1)->width() >= 50);
    QVERIFY(!bar.isSizeGripEnabled());
}

void MainWindowLayoutTest::accessibleNames() {
    QLocale::setDefault(QLocale::c());
    app_test::WindowFixture window;
    QVERIFY(window.Show());
    app::TForm1& form = *window.form;
    QCOMPARE(form.Widget<QComboBox>(app::names::TipComboBox)->accessibleName(),
             QStringLiteral("Тип датчика"));
    QCOMPARE(form.Widget<QComboBox>(app::names::DiapazonComboBox)->accessibleName(),
             QStringLiteral("Диапазон датчика (град. С)"));
    QCOMPARE(form.Widget<QLineEdit>(app::names::OutEdit)->accessibleName(),
             QStringLiteral("Уровень сигнала \"Обрыв\" (0 -120%)"));
    QCOMPARE(form.Widget<QLineEdit>(app::names::NullEdit)->accessibleName(),
             QStringLiteral("Рабочий диапазон (град. С) min"));
    QCOMPARE(form.Widget<QLineEdit>(app::names::UpEdit)->accessibleName(),
             QStringLiteral("Рабочий диапазон (град. С) max"));
    QCOMPARE(form.Widget<QLineEdit>(app::names::PortEdit)->accessibleName(),
             QStringLiteral("СОМ порт"));
    QCOMPARE(form.Widget<ui::qt::UpDown>(app::names::UpDown)->accessibleName(),
             QStringLiteral("СОМ порт"));
    QCOMPARE(form.Widget<ui::qt::RadioGroup>(app::names::TipOut)->accessibleName(),
             QStringLiteral("Тип выхода"));
    QCOMPARE(form.Widget<QLabel>(app::names::Label1)->buddy(),
             form.Widget<QComboBox>(app::names::TipComboBox));
    QCOMPARE(form.Widget<QLabel>(app::names::Label5)->buddy(),
             form.Widget<QLineEdit>(app::names::PortEdit));
}

QTEST_MAIN(MainWindowLayoutTest)
#include "main_window_layout_test.moc"
