// The main window on Qt Widgets with a scripted transducer: the sensor lists as a user drives the
// real combo boxes, the port number through the up-down, leaving during a transaction, Qt's
// locale separator, the modal calibration window and the guard around every handler. What the
// window's logic decides on its own is tested without a toolkit in tests/app.

#include "window_fixture.h"

#include "calibration/qt/kalibr_form.h"
#include "protocol/exchange_engine.h"
#include "protocol/number_text.h"
#include "serial/com_port.h"
#include "ui/qt/radio_group.h"
#include "ui/qt/status_bar.h"
#include "ui/qt/up_down.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

#include <map>

namespace {

// Picks an item the way a user does: opens the list and clicks the item.
void ChooseItem(QComboBox* box, int index) {
    box->showPopup();
    QAbstractItemView* view = box->view();
    QVERIFY(QTest::qWaitForWindowExposed(view->window()));
    const QModelIndex item = view->model()->index(index, box->modelColumn());
    view->scrollTo(item);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(item).center());
    QTRY_VERIFY(!view->window()->isVisible());
}

QStringList Items(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) {
        items.append(box->itemText(i));
    }
    return items;
}

// A transducer that answers every command from a table ("!" reply and CR), or not at all.
std::function<std::string(const std::string&)>
Transducer(std::map<std::string, std::string> replies) {
    return [replies](const std::string& command) -> std::string {
        for (const auto& [prefix, reply] : replies) {
            if (command.rfind(prefix, 0) == 0) {
                return reply;
            }
        }
        return {};
    };
}

// Replies of a full configuration read: range 0A, upper 150.5, break level 0.25, lower -20,
// output type "1".
const std::map<std::string, std::string> ReadReplies = {
    {"$8", "!0A\r"}, {"$H", "!150.5\r"}, {"#9", "!0.25\r"}, {"$4", "!-20\r"}, {"#K", "!1\r"}};

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();

    void resistanceTypeSwitchesLabelsAndRanges();
    void leadingBlankIsKept();
    void selectionsFromCodeRaiseNoChange();
    void typedTextSelectsNothing();
    void keyboardChoiceIsAChange();

    void settingsFilePortIsShown();
    void changedPortNumberIsStoredOnce();

    void exitDuringTransactionProcessesNoReply();
    void keys_data();
    void keys();
    void decimalSeparator_data();
    void decimalSeparator();
    void calibrationWindowFollowsTheMainWindow();
    void escapingErrorIsShownAndWindowStaysUsable();
};

void MainWindowTest::init() {
    QLocale::setDefault(QLocale::c());
}

void MainWindowTest::resistanceTypeSwitchesLabelsAndRanges() {
    app_test::WindowFixture window;
    QVERIFY(window.Show());
    app::TForm1& form = *window.form;
    ChooseItem(form.Widget<QComboBox>(app::names::TipComboBox), 9);
    QCOMPARE(form.Widget<QComboBox>(app::names::TipComboBox)->currentText(), QStringLiteral("R"));
    QCOMPARE(form.Widget<QLabel>(app::names::Label2)->text(),
             QStringLiteral("Диапазон датчика (Oм): "));
    QCOMPARE(form.Widget<QLabel>(app::names::Label4)->text(),
             QStringLiteral("Рабочий диапазон (Ом): "));
    QCOMPARE(
        Items(form.Widget<QComboBox>(app::names::DiapazonComboBox)),
        QStringList({"0 до 100 Ом", "0 до 500 Ом", "0 до 1 кОм", "0 до 2,5 кОм", "0 до 5 кОм"}));
    QCOMPARE(form.Widget<QComboBox>(app::names::DiapazonComboBox)->currentIndex(), 0);
    QCOMPARE(form.Widget<QLineEdit>(app::names::NullEdit)->text(), QStringLiteral("0.0"));
    QCOMPARE(form.Widget<QLineEdit>(app::names::UpEdit)->text(), QStringLiteral("100.0"));
    QCOMPARE(form.Logic().SelectedRangeIndex(), std::optional<int>(21));
    QCOMPARE(form.Widget<QComboBox>(app::names::DiapazonComboBox)->accessibleName(),
             QStringLiteral("Диапазон датчика (Oм)"));
    ChooseItem(form.Widget<QComboBox>(app::names::DiapazonComboBox), 4);
    QCOMPARE(form.Widget<QLineEdit>(app::names::UpEdit)->text(), QStringLiteral("5000.0"));
    // Back to a thermometer: degrees again.
    ChooseItem(form.Widget<QComboBox>(app::names::TipComboBox), 1);
    QCOMPARE(form.Widget<QLabel>(app::names::Label2)->text(),
             QStringLiteral("Диапазон датчика (град. С): "));
    QCOMPARE(form.Widget<QLabel>(app::names::Label4)->text(),
             QStringLiteral("Рабочий диапазон (град. С): "));
    QCOMPARE(form.Widget<QComboBox>(app::names::DiapazonComboBox)->count(), 3);
    QCOMPARE(form.Widget<QLineEdit>(app::names::NullEdit)->text(), QStringLiteral("-200.0"));
    QCOMPARE(form.Widget<QLineEdit>(app::names::UpEdit)->text(), QStringLiteral("50.0"));
}

void MainWindowTest::leadingBlankIsKept() {
    app_test::WindowFixture window;
    QVERIFY(window.Show());
    app::TForm1& form = *window.form;
    QCOMPARE(form.Widget<QComboBox>(app::names::DiapazonComboBox)->itemText(0),
             QStringLiteral(" -50 +50"));
    QCOMPARE(form.Widget<QComboBox>(app::names::DiapazonComboBox)->itemText(1),
             QStringLiteral("0 +180"));
    ChooseItem(form.Widget<QComboBox>(app::names::DiapazonComboBox), 2);
    QCOMPARE(form.Widget<QComboBox>(app::names::DiapazonComboBox)->currentText(),
             QStringLiteral(" -50 +200"));
    QCOMPARE(form.Logic().SelectedRangeIndex(), std::optional<int>(2));
}

void MainWindowTest::selectionsFromCodeRaiseNoChange() {
    app_test::WindowFixture window;
    QVERIFY(window.Show());
    app::TForm1& form = *window.form;
    QSignalSpy typeActivated(form.Widget<QComboBox>(app::names::TipComboBox),
                             &QComboBox::activated);
    QSignalSpy typeIndex(form.Widget<QComboBox>(app::names::TipComboBox),
                         &QComboBox::currentIndexChanged);
    QSignalSpy rangeActivated(form.Widget<QComboBox>(app::names::DiapazonComboBox),
                              &QComboBox::activated);
    QSignalSpy rangeIndex(form.Widget<QComboBox>(app::names::DiapazonComboBox),
                          &QComboBox::currentIndexChanged);
    form.Logic().SelectRangeByIndex(24);
    QCOMPARE(form.Widget<QComboBox>(app::names::TipComboBox)->currentText(), QStringLiteral("R"));
    QCOMPARE(form.Widget<QComboBox>(app::names::DiapazonComboBox)->currentText(),
             QStringLiteral("0 до 2,5 кОм"));
    QCOMPARE(form.Widget<QLineEdit>(app::names::UpEdit)->text(), QStringLiteral("2500.0"));
    QCOMPARE(typeActivated.count() + typeIndex.count(), 0);
    QCOMPARE(rangeActivated.count() + rangeIndex.count(), 0);
    // A user's choice is a change.
    ChooseItem(form.Widget<QComboBox>(app::names::DiapazonComboBox), 0);
    QCOMPARE(rangeActivated.count(), 1);
    QCOMPARE(form.Widget<QLineEdit>(app::names::UpEdit)->text(), QStringLiteral("100.0"));
}

void MainWindowTest::typedTextSelectsNothing() {
    app_test::WindowFixture window;
    QVERIFY(window.Show());
    app::TForm1& form = *window.form;
    form.Widget<QComboBox>(app::names::DiapazonComboBox)->lineEdit()->selectAll();
    QTest::keyClicks(form.Widget<QComboBox>(app::names::DiapazonComboBox)->lineEdit(),
                     QStringLiteral("-1 +1"));
    QCOMPARE(form.Logic().SelectedRangeIndex(), std::nullopt);
    QCOMPARE(form.Logic().SelectedTypeIndex(), std::optional<int>(0));
    // The change handlers have nothing to apply and leave the fields alone.
    form.Widget<QLineEdit>(app::names::NullEdit)->setText(QStringLiteral("1"));
    form.Logic().DiapazonComboBoxChange();
    QCOMPARE(form.Widget<QLineEdit>(app::names::NullEdit)->text(), QStringLiteral("1"));
    // Writing needs a range: a message, and the port stays untouched.
    form.Widget<QPushButton>(app::names::ButtonWrite)->click();
    QCOMPARE(window.ui.Messages(),
             std::vector<std::string>({"Не выбран тип или диапазон датчика!"}));
    QCOMPARE(window.port->opens, 0);
    QVERIFY(window.port->written.empty());
    QVERIFY(!QFile::exists(app_test::SettingsFileBesideTestProgram()));

    form.Widget<QComboBox>(app::names::TipComboBox)->lineEdit()->selectAll();
    QTest::keyClicks(form.Widget<QComboBox>(app::names::TipComboBox)->lineEdit(),
                     QStringLiteral("PT100"));
    QCOMPARE(form.Logic().SelectedTypeIndex(), std::nullopt);
    form.Logic().TipComboBoxChange();
    QCOMPARE(form.Widget<QComboBox>(app::names::DiapazonComboBox)->count(), 3);
    QVERIFY(window.ui.Exceptions().empty());
}

void MainWindowTest::keyboardChoiceIsAChange() {
    app_test::WindowFixture window;
    QVERIFY(window.Show());
    app::TForm1& form = *window.form;
    QTest::keyClick(form.Widget<QComboBox>(app::names::TipComboBox), Qt::Key_Down);
    QCOMPARE(form.Widget<QComboBox>(app::names::TipComboBox)->currentIndex(), 1);
    QCOMPARE(form.Widget<QComboBox>(app::names::DiapazonComboBox)->itemText(0),
             QStringLiteral("-200 +50"));
    QCOMPARE(form.Widget<QLineEdit>(app::names::NullEdit)->text(), QStringLiteral("-200.0"));
    QTest::keyClick(form.Widget<QComboBox>(app::names::DiapazonComboBox), Qt::Key_Down);
    QCOMPARE(form.Logic().SelectedRangeIndex(), std::optional<int>(4));
    QCOMPARE(form.Widget<QLineEdit>(app::names::UpEdit)->text(), QStringLiteral("200.0"));
    // Enter on a typed name that is an item's chooses that item.
    form.Widget<QComboBox>(app::names::TipComboBox)->lineEdit()->selectAll();
    QTest::keyClicks(form.Widget<QComboBox>(app::names::TipComboBox)->lineEdit(),
                     QStringLiteral("R"));
    QTest::keyClick(form.Widget<QComboBox>(app::names::TipComboBox)->lineEdit(), Qt::Key_Return);
    QCOMPARE(form.Logic().SelectedTypeIndex(), std::optional<int>(9));
    QCOMPARE(form.Widget<QComboBox>(app::names::DiapazonComboBox)->count(), 5);
    QCOMPARE(form.Widget<QLabel>(app::names::Label4)->text(),
             QStringLiteral("Рабочий диапазон (Ом): "));
}

void MainWindowTest::settingsFilePortIsShown() {
    app_test::WriteSettingsFile("[ComPort]\nPort=COM7\n");
    app_test::WindowFixture window;
    app_test::WriteSettingsFile("[ComPort]\nPort=COM7\n"); // the fixture starts clean
    QVERIFY(window.Show());
    QCOMPARE(window.form->Widget<QLineEdit>(app::names::PortEdit)->text(), QStringLiteral("7"));
    QCOMPARE(window.form->Widget<ui::qt::UpDown>(app::names::UpDown)->Position(), 7);
    QCOMPARE(window.form->ComPort().Port(), std::string("COM7"));
    QVERIFY(window.ui.Exceptions().empty());
}

void MainWindowTest::changedPortNumberIsStoredOnce() {
    app_test::WindowFixture window;
    app_test::WriteSettingsFile("[Other]\nPort=COM9\n\n[ComPort]\nPort=COM1\nBaudRate=19200\n"
                                "Parity=Even\n");
    QVERIFY(window.Show());
    app::TForm1& form = *window.form;
    QCOMPARE(form.ComPort().BaudRate(), serial::br19200);
    QTest::keyClick(form.Widget<QLineEdit>(app::names::PortEdit), Qt::Key_Up);
    form.Widget<ui::qt::UpDown>(app::names::UpDown)->StepBy(3);
    QCOMPARE(form.Widget<QLineEdit>(app::names::PortEdit)->text(), QStringLiteral("5"));
    // Turning the up-down alone stores nothing.
    QVERIFY(app_test::ReadSettingsFile().contains("Port=COM1\n"));
    form.Widget<QPushButton>(app::names::ButtonRead)->click();
    const QByteArray stored = app_test::ReadSettingsFile();
    QVERIFY2(stored.contains("[ComPort]"), stored.constData());
    QVERIFY2(stored.contains("Port=COM5"), stored.constData());
    QVERIFY2(!stored.contains("Port=COM1"), stored.constData());
    QVERIFY2(stored.contains("BaudRate=19200"), stored.constData());
    QVERIFY2(stored.contains("Parity=Even"), stored.constData());
    QVERIFY2(stored.contains("[Other]\nPort=COM9"), stored.constData());
    QCOMPARE(form.ComPort().Port(), std::string("COM5"));
    QCOMPARE(window.port->opens, 1);
    form.Logic().TimerTimer(); // no reply: the transaction ends
    QCOMPARE(window.ui.Messages(), std::vector<std::string>({"Нет связи с прибором!"}));
    // A second start with the same number writes nothing: the removed file stays away.
    QVERIFY(QFile::remove(app_test::SettingsFileBesideTestProgram()));
    form.Widget<QPushButton>(app::names::ButtonRead)->click();
    QCOMPARE(window.port->opens, 2);
    QVERIFY(!QFile::exists(app_test::SettingsFileBesideTestProgram()));
}

void MainWindowTest::exitDuringTransactionProcessesNoReply() {
    app_test::WindowFixture window;
    QVERIFY(window.Show());
    app::TForm1& form = *window.form;
    window.port->responder = Transducer(ReadReplies);
    form.Timer->setInterval(50);
    form.Widget<QPushButton>(app::names::ButtonRead)->click();
    QVERIFY(form.Timer->isActive());
    QVERIFY(window.port->open);
    QVERIFY(!window.port->input.empty()); // the reply is waiting
    form.Widget<QPushButton>(app::names::Button1)->click();
    QVERIFY(!form.Timer->isActive());
    QVERIFY(!window.port->open);
    QVERIFY(window.port->closes >= 1);
    QVERIFY(!form.isVisible());
    QTest::qWait(250); // several intervals: nothing may tick
    QCOMPARE(form.Widget<ui::qt::StatusBar>(app::names::StatusBar)->PanelText(1),
             QStringLiteral("Принято:"));
    QCOMPARE(form.Widget<QComboBox>(app::names::TipComboBox)->currentIndex(), 0);
    QCOMPARE(window.port->Commands(), std::vector<std::string>({"$8"}));
    QVERIFY(window.ui.shown.empty());
}

void MainWindowTest::keys_data() {
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("sent"); // empty: nothing
    QTest::newRow("Enter on Считать") << "ButtonRead" << int(Qt::Key_Return) << "$8";
    QTest::newRow("keypad Enter on Записать") << "ButtonWrite" << int(Qt::Key_Enter) << "$700";
    QTest::newRow("Space on Считать") << "ButtonRead" << int(Qt::Key_Space) << "$8";
    QTest::newRow("Escape") << "ButtonRead" << int(Qt::Key_Escape) << "";
    QTest::newRow("Enter in an edit box") << "UpEdit" << int(Qt::Key_Return) << "";
}

// As on a dialog: Enter and Space press the focused button, nothing else; Escape does nothing.
void MainWindowTest::keys() {
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(QString, sent);
    app_test::WindowFixture window;
    QVERIFY(window.Show());
    app::TForm1& form = *window.form;
    auto* control = form.findChild<QWidget*>(focus);
    QVERIFY(control != nullptr);
    control->setFocus();
    QTest::keyClick(control, Qt::Key(key));
    QVERIFY(form.isVisible());
    QCOMPARE(QString::fromStdString(window.port->Commands().empty() ? std::string()
                                                                    : window.port->Commands()[0]),
             sent);
}

void MainWindowTest::decimalSeparator_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("separator");
    QTest::newRow("point") << QLocale(QLocale::English, QLocale::UnitedStates) << ".";
    QTest::newRow("comma") << QLocale(QLocale::Russian, QLocale::Russia) << ",";
}

void MainWindowTest::decimalSeparator() {
    QFETCH(QLocale, locale);
    QFETCH(QString, separator);
    QLocale::setDefault(locale);
    app_test::WindowFixture window;
    QVERIFY(window.Show());
    app::TForm1& form = *window.form;
    QCOMPARE(QString::fromStdString(protocol::DecimalSeparatorText), separator);
    QCOMPARE(form.Widget<QLineEdit>(app::names::NullEdit)->text(),
             QString("-50.0").replace('.', separator));
    QCOMPARE(form.Widget<QLineEdit>(app::names::UpEdit)->text(),
             QString("50.0").replace('.', separator));

    window.port->responder = Transducer(ReadReplies);
    form.Widget<QPushButton>(app::names::ButtonRead)->click();
    for (int tick = 0; tick < 5; ++tick) {
        QVERIFY(form.Timer->isActive());
        form.Logic().TimerTimer();
    }
    QVERIFY(window.ui.shown.empty());
    QCOMPARE(form.Widget<QComboBox>(app::names::TipComboBox)->currentIndex(), 4);
    QCOMPARE(form.Logic().SelectedRangeIndex(), std::optional<int>(10));
    QCOMPARE(form.Widget<QLineEdit>(app::names::UpEdit)->text(),
             QString("150.5").replace('.', separator));
    QCOMPARE(form.Widget<QLineEdit>(app::names::OutEdit)->text(),
             QString("25.0").replace('.', separator));
    QCOMPARE(form.Widget<QLineEdit>(app::names::NullEdit)->text(),
             QString("-20.0").replace('.', separator));
    QCOMPARE(form.Widget<ui::qt::RadioGroup>(app::names::TipOut)->ItemIndex(), 1);
    QVERIFY(!window.port->open);

    // Typed values with the same separator go out with a point.
    window.port->written.clear();
    window.port->responder = Transducer({{"$", "!\r"}});
    form.Widget<QLineEdit>(app::names::UpEdit)->setText(QString("100.5").replace('.', separator));
    form.Widget<QLineEdit>(app::names::NullEdit)->setText(QString("-12.5").replace('.', separator));
    form.Widget<QLineEdit>(app::names::OutEdit)->setText(QString("12.5").replace('.', separator));
    form.Widget<QPushButton>(app::names::ButtonWrite)->click();
    for (int tick = 0; tick < 5; ++tick) {
        form.Logic().TimerTimer();
    }
    QVERIFY(window.ui.shown.empty());
    QCOMPARE(window.port->Commands(),
             std::vector<std::string>({"$70A", "$3-012.5", "$G000.125 ", "$9100.5", "$K1"}));
}

void MainWindowTest::calibrationWindowFollowsTheMainWindow() {
    app_test::WindowFixture window;
    app::TForm1& form = *window.form;
    calibration::TKalibrForm kalibr(form.Engine(), form.Logic(), window.ui);
    form.Logic().SetCalibrationLink(&kalibr.Logic());
    QVERIFY(window.Show());
    QVERIFY(!kalibr.Widget<QPushButton>(calibration::names::Button2)->isEnabled());
    QVERIFY(!form.Widget<QPushButton>(app::names::Button2)->isEnabled());
    window.port->responder = Transducer(ReadReplies);
    form.Widget<QPushButton>(app::names::ButtonRead)->click();
    for (int tick = 0; tick < 5; ++tick) {
        form.Logic().TimerTimer();
    }
    QVERIFY(form.Widget<QPushButton>(app::names::Button2)->isEnabled());
    QVERIFY(kalibr.Widget<QPushButton>(calibration::names::Button1)->isEnabled());
    QVERIFY(kalibr.Widget<QPushButton>(calibration::names::Button2)->isEnabled());

    // "Калибровка" shows it modally; closing it sets the main window's interval to 500 ms.
    bool modal = false;
    QTimer::singleShot(0, &kalibr, [&] {
        modal = QApplication::activeModalWidget() == &kalibr;
        kalibr.Widget<QPushButton>(calibration::names::ButtonExit)->click();
    });
    form.Widget<QPushButton>(app::names::Button2)->click();
    QVERIFY(modal);
    QVERIFY(!kalibr.isVisible());
    QCOMPARE(form.Timer->interval(), 500);
    QVERIFY(window.ui.Exceptions().empty());
    form.Logic().SetCalibrationLink(nullptr);
}

void MainWindowTest::escapingErrorIsShownAndWindowStaysUsable() {
    app_test::WindowFixture window;
    QVERIFY(window.Show());
    app::TForm1& form = *window.form;
    window.port->openError = "Unable to open com port";
    form.Widget<QPushButton>(app::names::ButtonRead)->click();
    QCOMPARE(window.ui.Exceptions(), std::vector<std::string>({"Unable to open com port"}));
    QVERIFY(form.Widget<QPushButton>(app::names::ButtonRead)->isEnabled());
    QVERIFY(!form.Timer->isActive());
    QCOMPARE(window.ui.cursor, protocol::CursorShape::Default);
    // The window goes on: the next attempt works.
    window.port->openError.clear();
    window.port->responder = Transducer({{"#0", "!23.4\r"}});
    form.Widget<QPushButton>(app::names::ButtonTemp)->setEnabled(true);
    form.Widget<QPushButton>(app::names::ButtonTemp)->click();
    form.Logic().TimerTimer();
    QCOMPARE(form.Widget<QLabel>(app::names::LabelTemp)->text(),
             QStringLiteral("Температура (град. С): 23.4"));
    // The label grows with its text.
    QVERIFY(form.Widget<QLabel>(app::names::LabelTemp)->width() >=
            form.Widget<QLabel>(app::names::LabelTemp)
                ->fontMetrics()
                .horizontalAdvance(form.Widget<QLabel>(app::names::LabelTemp)->text()));
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
