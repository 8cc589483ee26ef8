// What the calibration window on Qt Widgets does that is Qt's own: its keys, and the close box,
// which closes it the way its buttons do. What the window decides is tested without a toolkit
// in tests/calibration, how it is built from its description by the renderer conformance suite
// (tests/app/qt).

#include "tests/calibration/qt/kalibr_rig.h"

#include "ui/qt/page_control.h"

#include <QPushButton>
#include <QTest>

#include <string>
#include <vector>

using calibration_test::KalibrRig;

class KalibrFormTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void keys_data();
    void keys();
    void closeBoxClosesLikeTheButtons();
};

void KalibrFormTest::keys_data() {
    QTest::addColumn<QString>("focus"); // the button with the focus
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("sent"); // first command sent; empty: none
    QTest::addColumn<bool>("staysOpen");
    QTest::newRow("Escape during an output calibration")
        << "Button3" << int(Qt::Key_Escape) << "$A0D0" << true;
    QTest::newRow("Escape on the input page") << "Button1" << int(Qt::Key_Escape) << "" << true;
    QTest::newRow("Enter on Калибровать") << "Button1" << int(Qt::Key_Return) << "$1" << true;
    QTest::newRow("keypad Enter on Калибровать") << "Button1" << int(Qt::Key_Enter) << "$1" << true;
    QTest::newRow("Enter on Отмена") << "ButtonExit" << int(Qt::Key_Return) << "" << false;
    QTest::newRow("Enter on Выход") << "Button4" << int(Qt::Key_Return) << "" << false;
}

// Enter presses the focused button; Escape does nothing, also in the middle of a calibration.
void KalibrFormTest::keys() {
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(QString, sent);
    QFETCH(bool, staysOpen);
    KalibrRig rig;
    rig.AnswerOnce();
    rig.form.show();
    auto* button = rig.form.findChild<QPushButton*>(focus);
    QVERIFY(button != nullptr);
    rig.form.findChild<ui::qt::PageControl*>("PageControl1")
        ->setCurrentWidget(button->parentWidget());
    if (key == Qt::Key_Escape && focus == QStringLiteral("Button3")) {
        QTest::mouseClick(button, Qt::LeftButton); // an output calibration now runs
    }
    button->setFocus();
    const std::size_t messages = rig.ui.Messages().size();
    QTest::keyClick(button, Qt::Key(key));
    QCOMPARE(rig.form.isVisible(), staysOpen);
    if (sent.isEmpty()) {
        QVERIFY(rig.port.Commands().empty());
    } else {
        QCOMPARE(QString::fromStdString(rig.port.Commands().at(0)), sent);
    }
    if (key == Qt::Key_Escape) {
        QCOMPARE(rig.ui.Messages().size(), messages); // no warning: nothing was closed
    }
    rig.form.hide();
}

// Closed by its close box during an output calibration, the window warns as closing by "Выход"
// does, and the calibration goes on.
void KalibrFormTest::closeBoxClosesLikeTheButtons() {
    KalibrRig rig;
    rig.AnswerOnce();
    rig.form.show();
    rig.form.Logic().Button3Click();
    QVERIFY(rig.form.Logic().CalibrationUnfinished);
    rig.form.close();
    QVERIFY(!rig.form.isVisible());
    QCOMPARE(rig.ui.Messages().back(),
             std::string("Калибровка не завершена!\nДля правильной работы прибора\n"
                         "перевключите его питание."));
    QCOMPARE(rig.view.timerInterval, 500);
    QVERIFY(rig.view.timerEnabled);
}

QTEST_MAIN(KalibrFormTest)
#include "kalibr_form_test.moc"
