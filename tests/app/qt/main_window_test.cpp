// What the main window on Qt Widgets does that is Qt's own: the keys of a dialog, the message
// loop that delivers no tick after "Выход", the decimal separator of Qt's locale, and the
// calibration window shown modally. What the window decides is tested without a toolkit in
// tests/app, how it is built from its description by the renderer conformance suite.

#include "window_fixture.h"

#include "calibration/qt/kalibr_form.h"
#include "protocol/number_text.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

class MainWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void keys_data();
    void keys();
    void exitStopsTheLoopsTicks();
    void decimalSeparatorOfTheLocale_data();
    void decimalSeparatorOfTheLocale();
    void calibrationWindowIsModal();
};

void MainWindowTest::init() {
    QLocale::setDefault(QLocale::c());
}

void MainWindowTest::keys_data() {
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("sent"); // empty: nothing
    QTest::newRow("Enter on Считать") << "ButtonRead" << int(Qt::Key_Return) << "$8";
    QTest::newRow("keypad Enter on Записать") << "ButtonWrite" << int(Qt::Key_Enter) << "$700";
    QTest::newRow("Space on Считать") << "ButtonRead" << int(Qt::Key_Space) << "$8";
    QTest::newRow("Escape") << "ButtonRead" << int(Qt::Key_Escape) << "";
    QTest::newRow("Escape on Выход") << "Button1" << int(Qt::Key_Escape) << "";
    QTest::newRow("Enter in an edit box") << "UpEdit" << int(Qt::Key_Return) << "";
}

// As on a dialog: Enter and Space press the focused button, nothing else; Escape does nothing.
void MainWindowTest::keys() {
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(QString, sent);
    app_test::WindowFixture window;
    QVERIFY(window.Show());
    auto* control = window.form->findChild<QWidget*>(focus);
    QVERIFY(control != nullptr);
    control->setFocus();
    QTest::keyClick(control, Qt::Key(key));
    QVERIFY(window.form->isVisible());
    const std::vector<std::string> commands = window.port->Commands();
    QCOMPARE(QString::fromStdString(commands.empty() ? std::string() : commands[0]), sent);
}

// "Выход" while a reply waits: the window goes and the loop runs no tick of its timer any more.
void MainWindowTest::exitStopsTheLoopsTicks() {
    app_test::WindowFixture window;
    QVERIFY(window.Show());
    app::TForm1& form = *window.form;
    window.port->responder = [](const std::string&) { return std::string("!0A\r"); };
    form.Logic().SetTimerInterval(50);
    form.findChild<QPushButton*>("ButtonRead")->click();
    QVERIFY(form.Logic().TimerEnabled());
    form.findChild<QPushButton*>("Button1")->click();
    QVERIFY(!form.isVisible());
    QVERIFY(!form.Logic().TimerEnabled());
    QVERIFY(!window.port->open);
    QTest::qWait(250); // several intervals
    QCOMPARE(window.port->Commands(), std::vector<std::string>({"$8"}));
    QVERIFY(window.ui.shown.empty());
}

void MainWindowTest::decimalSeparatorOfTheLocale_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("separator");
    QTest::newRow("point") << QLocale(QLocale::English, QLocale::UnitedStates) << ".";
    QTest::newRow("comma") << QLocale(QLocale::Russian, QLocale::Russia) << ",";
}

void MainWindowTest::decimalSeparatorOfTheLocale() {
    QFETCH(QLocale, locale);
    QFETCH(QString, separator);
    QLocale::setDefault(locale);
    app_test::WindowFixture window;
    QVERIFY(window.Show());
    QCOMPARE(QString::fromStdString(protocol::DecimalSeparatorText), separator);
    QCOMPARE(window.form->findChild<QLineEdit*>("NullEdit")->text(),
             QString("-50.0").replace('.', separator));
}

// "Калибровка" shows the calibration window modally and returns once it is closed.
void MainWindowTest::calibrationWindowIsModal() {
    app_test::WindowFixture window;
    app::TForm1& form = *window.form;
    calibration::TKalibrForm kalibr(form.Engine(), form.Logic(), window.ui);
    form.Logic().SetCalibrationLink(&kalibr.Logic());
    QVERIFY(window.Show());
    bool modal = false;
    QTimer::singleShot(0, &kalibr, [&] {
        modal = QApplication::activeModalWidget() == &kalibr;
        kalibr.findChild<QPushButton*>("ButtonExit")->click();
    });
    form.Logic().Button2Click();
    QVERIFY(modal);
    QVERIFY(!kalibr.isVisible());
    QVERIFY(window.ui.Exceptions().empty());
    form.Logic().SetCalibrationLink(nullptr);
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
