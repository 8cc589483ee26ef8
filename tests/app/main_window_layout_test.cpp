// The main window as it is laid out: every control's kind, parent, place, size, text, tab order
// and initial state, the window's frame, and the accessible names of the inputs.

#include "window_fixture.h"

#include "app/radio_group.h"
#include "app/status_bar.h"
#include "app/up_down.h"
#include "protocol/exchange_engine.h"
#include "serial/com_port.h"
#include "tests/support/qt_caption_fit.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>

namespace {

QWidget* Control(app::TForm1& form, const QString& name) {
    const QHash<QString, QWidget*> controls = {
        {"Button1", form.Button1},
        {"Label1", form.Label1},
        {"TipComboBox", form.TipComboBox},
        {"Label2", form.Label2},
        {"DiapazonComboBox", form.DiapazonComboBox},
        {"Label3", form.Label3},
        {"OutEdit", form.OutEdit},
        {"Label4", form.Label4},
        {"NullEdit", form.NullEdit},
        {"GroupBox2", form.GroupBox2},
        {"Label5", form.Label5},
        {"PortEdit", form.PortEdit},
        {"UpDown", form.UpDown},
        {"StatusBar", form.StatusBar},
        {"GroupBox3", form.GroupBox3},
        {"LabelTemp", form.LabelTemp},
        {"ButtonTemp", form.ButtonTemp},
        {"GroupBox4", form.GroupBox4},
        {"ButtonRead", form.ButtonRead},
        {"ButtonWrite", form.ButtonWrite},
        {"ButtonZ", form.ButtonZ},
        {"UpEdit", form.UpEdit},
        {"Label6", form.Label6},
        {"Label7", form.Label7},
        {"TipOut", form.TipOut},
        {"Button2", form.Button2},
    };
    return controls.value(name);
}

QString TextOf(QWidget* widget) {
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        return label->text();
    }
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
        return button->text();
    }
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        return edit->text();
    }
    if (auto* box = qobject_cast<QComboBox*>(widget)) {
        return box->currentText();
    }
    if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        return group->title();
    }
    return {};
}

} // namespace

class MainWindowLayoutTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void controls_data();
    void controls();
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

void MainWindowLayoutTest::controls_data() {
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text"); // after the window was shown
    QTest::addColumn<bool>("enabled");

    QTest::newRow("Button1") << ""
                             << "QPushButton" << QRect(360, 360, 75, 25) << "Выход" << true;
    QTest::newRow("TipComboBox") << ""
                                 << "QComboBox" << QRect(184, 22, 161, 21) << "TСМ (R=53Ом)"
                                 << true;
    QTest::newRow("DiapazonComboBox")
        << ""
        << "QComboBox" << QRect(184, 62, 161, 21) << " -50 +50" << true;
    QTest::newRow("OutEdit") << ""
                             << "QLineEdit" << QRect(240, 142, 97, 21) << "0" << true;
    QTest::newRow("NullEdit") << ""
                              << "QLineEdit" << QRect(208, 102, 73, 21) << "-50.0" << true;
    QTest::newRow("GroupBox2") << ""
                               << "QGroupBox" << QRect(32, 344, 169, 57)
                               << " Настройка подключения " << true;
    QTest::newRow("PortEdit") << "GroupBox2"
                              << "QLineEdit" << QRect(80, 24, 49, 21) << "1" << true;
    QTest::newRow("UpDown") << "GroupBox2"
                            << "app::UpDown" << QRect(129, 24, 16, 21) << "" << true;
    QTest::newRow("StatusBar") << ""
                               << "app::StatusBar" << QRect(0, 417, 541, 25) << "" << true;
    QTest::newRow("GroupBox3") << ""
                               << "QGroupBox" << QRect(264, 232, 249, 97) << " Измеренния " << true;
    QTest::newRow("ButtonTemp") << "GroupBox3"
                                << "QPushButton" << QRect(88, 56, 75, 25) << "Считать" << false;
    QTest::newRow("GroupBox4") << ""
                               << "QGroupBox" << QRect(32, 176, 217, 153) << " Конфигурация "
                               << true;
    QTest::newRow("ButtonRead") << "GroupBox4"
                                << "QPushButton" << QRect(56, 24, 97, 25) << "Считать" << true;
    QTest::newRow("ButtonWrite") << "GroupBox4"
                                 << "QPushButton" << QRect(56, 68, 97, 25) << "Записать" << true;
    QTest::newRow("ButtonZ") << "GroupBox4"
                             << "QPushButton" << QRect(8, 112, 201, 25)
                             << "Восстановить заводские настройки" << true;
    QTest::newRow("UpEdit") << ""
                            << "QLineEdit" << QRect(328, 102, 73, 21) << "50.0" << true;
    QTest::newRow("TipOut") << ""
                            << "app::RadioGroup" << QRect(424, 18, 89, 145) << " Тип выхода "
                            << true;
    QTest::newRow("Button2") << ""
                             << "QPushButton" << QRect(312, 184, 153, 25) << "Калибровка" << false;
}

void MainWindowLayoutTest::controls() {
    QFETCH(QString, parent);
    QFETCH(QString, kind);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    QFETCH(bool, enabled);
    QLocale::setDefault(QLocale::c());
    app_test::WindowFixture window;
    QVERIFY(window.Show());
    QWidget* control = Control(*window.form, QTest::currentDataTag());
    QVERIFY(control != nullptr);
    QWidget* expectedParent = parent.isEmpty() ? window.form.get() : Control(*window.form, parent);
    QCOMPARE(control->parentWidget(), expectedParent);
    QVERIFY(control->inherits(kind.toLatin1().constData()));
    QCOMPARE(control->geometry(), geometry);
    QCOMPARE(TextOf(control), text);
    QCOMPARE(control->isEnabled(), enabled);
    QVERIFY(control->isVisible());
}

void MainWindowLayoutTest::labels_data() {
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QPoint>("position");
    QTest::addColumn<QString>("text");      // after the window was shown
    QTest::addColumn<QString>("neighbour"); // the control to its right, which it must not reach

    QTest::newRow("Label1") << "" << QPoint(32, 24) << "Тип  датчика:"
                            << "TipComboBox";
    QTest::newRow("Label2") << "" << QPoint(32, 64) << "Диапазон датчика (град. С): "
                            << "DiapazonComboBox";
    QTest::newRow("Label3") << "" << QPoint(32, 144) << "Уровень сигнала \"Обрыв\" (0 -120%):"
                            << "OutEdit";
    QTest::newRow("Label4") << "" << QPoint(32, 104) << "Рабочий диапазон (град. С): "
                            << "Label6";
    QTest::newRow("Label6") << "" << QPoint(184, 104) << "min"
                            << "NullEdit";
    QTest::newRow("Label7") << "" << QPoint(304, 104) << "max"
                            << "UpEdit";
    QTest::newRow("Label5") << "GroupBox2" << QPoint(16, 24) << "СОМ порт:"
                            << "PortEdit";
    QTest::newRow("LabelTemp") << "GroupBox3" << QPoint(24, 24) << "Температура (град. С): 20"
                               << "";
}

void MainWindowLayoutTest::labels() {
    QFETCH(QString, parent);
    QFETCH(QPoint, position);
    QFETCH(QString, text);
    QFETCH(QString, neighbour);
    app_test::WindowFixture window;
    QVERIFY(window.Show());
    auto* label = qobject_cast<QLabel*>(Control(*window.form, QTest::currentDataTag()));
    QVERIFY(label != nullptr);
    QWidget* expectedParent = parent.isEmpty() ? window.form.get() : Control(*window.form, parent);
    QCOMPARE(label->parentWidget(), expectedParent);
    QCOMPARE(label->pos(), position);
    QCOMPARE(label->text(), text);
    // Labels size themselves to their caption: the whole text is visible, inside the parent,
    // and short of the control beside it.
    QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(text));
    QVERIFY(label->height() >= 13);
    QVERIFY(expectedParent->rect().contains(label->geometry()));
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
        window.form->SelectRangeByIndex(range);
        window.form->SetMeasuredValueText("Сопротивление (Ом): 2500.0");
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
    QCOMPARE(form.font().families().value(0), QStringLiteral("MS Sans Serif"));
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
    const QList<QWidget*> expected = {form.Button1,
                                      form.TipComboBox,
                                      form.DiapazonComboBox,
                                      form.OutEdit,
                                      form.NullEdit,
                                      form.PortEdit,
                                      form.UpDown,
                                      form.ButtonTemp,
                                      form.ButtonRead,
                                      form.ButtonWrite,
                                      form.ButtonZ,
                                      form.UpEdit,
                                      form.TipOut->Button(0),
                                      form.TipOut->Button(1),
                                      form.TipOut->Button(2),
                                      form.Button2};
    // The focus chain from the first control, keeping the controls that Tab can reach.
    QList<QWidget*> chain;
    QWidget* widget = form.Button1;
    do {
        if ((widget->focusPolicy() & Qt::TabFocus) && form.isAncestorOf(widget) &&
            widget->focusProxy() == nullptr) {
            chain.append(widget);
        }
        widget = widget->nextInFocusChain();
    } while (widget != form.Button1 && chain.size() < 100);
    QCOMPARE(chain, expected);
    QCOMPARE(form.focusWidget(), form.Button1);
}

void MainWindowLayoutTest::initialState() {
    app_test::WindowFixture window;
    app::TForm1& form = *window.form;
    QCOMPARE(form.Timer->interval(), 2000);
    QVERIFY(!form.Timer->isActive());
    QVERIFY(form.PortEdit->isReadOnly());
    QCOMPARE(form.UpDown->Minimum(), 1);
    QCOMPARE(form.UpDown->Maximum(), 100);
    QCOMPARE(form.UpDown->Position(), 1);
    QCOMPARE(form.UpDown->Associate(), form.PortEdit);
    // Right of the edit box, same height.
    QCOMPARE(form.UpDown->geometry().left(), form.PortEdit->geometry().right() + 1);
    QCOMPARE(form.UpDown->geometry().top(), form.PortEdit->geometry().top());
    QCOMPARE(form.TipOut->ItemIndex(), 0);
    QVERIFY(form.SettingsFileName().isEmpty());
    QVERIFY(!form.ComPort().Connected());
    QCOMPARE(form.ComPort().Port(), std::string("COM1"));
    QCOMPARE(form.ComPort().Name(), std::string("ComPort"));
    QCOMPARE(form.ComPort().BaudRate(), serial::br9600);
    QCOMPARE(form.ComPort().SyncMethod(), serial::smNone);
    QCOMPARE(form.ComPort().FlowControl().ControlDTR(), serial::dtrDisable);
    QCOMPARE(form.ComPort().FlowControl().ControlRTS(), serial::rtsDisable);
    QVERIFY(form.ComPort().Events() == serial::TComEvents({serial::evRx80Full}));
    QVERIFY(window.Show());
    QCOMPARE(form.SettingsFileName(), app_test::SettingsFileBesideTestProgram());
    QVERIFY(!form.Engine().DeviceAnswered());
    QVERIFY(form.Engine().ControlsEnabled());
    QVERIFY(window.ui.shown.empty());
}

void MainWindowLayoutTest::dropDownLists() {
    app_test::WindowFixture window;
    QVERIFY(window.Show());
    for (QComboBox* box : {window.form->TipComboBox, window.form->DiapazonComboBox}) {
        QVERIFY(box->isEditable());
        QCOMPARE(box->maxVisibleItems(), 8);
        QCOMPARE(box->insertPolicy(), QComboBox::NoInsert);
    }
    QCOMPARE(window.form->TipComboBox->count(), 10);
    QCOMPARE(window.form->TipComboBox->currentIndex(), 0);
    QCOMPARE(window.form->DiapazonComboBox->count(), 3);
    QCOMPARE(window.form->DiapazonComboBox->currentIndex(), 0);
}

void MainWindowLayoutTest::outputTypeGroup() {
    app_test::WindowFixture window;
    app::RadioGroup& group = *window.form->TipOut;
    QCOMPARE(group.Count(), 3);
    QCOMPARE(group.Button(0)->text(), QStringLiteral("0 - 10 В"));
    QCOMPARE(group.Button(1)->text(), QStringLiteral("0 - 5 mA"));
    QCOMPARE(group.Button(2)->text(), QStringLiteral("0 - 20 mA"));
    QVERIFY(group.Button(0)->isChecked());
}

void MainWindowLayoutTest::statusBar() {
    app_test::WindowFixture window;
    QVERIFY(window.Show());
    app::StatusBar& bar = *window.form->StatusBar;
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
    QCOMPARE(form.TipComboBox->accessibleName(), QStringLiteral("Тип датчика"));
    QCOMPARE(form.DiapazonComboBox->accessibleName(), QStringLiteral("Диапазон датчика (град. С)"));
    QCOMPARE(form.OutEdit->accessibleName(), QStringLiteral("Уровень сигнала \"Обрыв\" (0 -120%)"));
    QCOMPARE(form.NullEdit->accessibleName(), QStringLiteral("Рабочий диапазон (град. С) min"));
    QCOMPARE(form.UpEdit->accessibleName(), QStringLiteral("Рабочий диапазон (град. С) max"));
    QCOMPARE(form.PortEdit->accessibleName(), QStringLiteral("СОМ порт"));
    QCOMPARE(form.UpDown->accessibleName(), QStringLiteral("СОМ порт"));
    QCOMPARE(form.TipOut->accessibleName(), QStringLiteral("Тип выхода"));
    QCOMPARE(form.Label1->buddy(), form.TipComboBox);
    QCOMPARE(form.Label5->buddy(), form.PortEdit);
}

QTEST_MAIN(MainWindowLayoutTest)
#include "main_window_layout_test.moc"
