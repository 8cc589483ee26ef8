// The calibration window on Qt's offscreen platform: its layout against its description, the
// fit of its captions, its pictures, the stages as a user clicks through them, the page guard on
// the real tab bar, its keys, and closing it. What the window's logic decides on its own is
// tested without a toolkit in tests/calibration.

#include "tests/calibration/qt/kalibr_rig.h"

#include "calibration/kalibr_form_description.h"
#include "tests/support/qt_caption_fit.h"
#include "tests/support/qt_layout_check.h"
#include "ui/qt/page_control.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>

#include <memory>
#include <string>
#include <utility>
#include <vector>

using calibration_test::KalibrRig;

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

std::vector<std::string> Strings(std::initializer_list<const char*> texts) {
    return {texts.begin(), texts.end()};
}

} // namespace

class KalibrFormTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void windowFrame();
    void layout();
    void captionsFit_data();
    void captionsFit();
    void pagesAndTabOrder();
    void picturesUnderTheirLabels();

    void continueShowsResistanceOfSelectedRange_data();
    void continueShowsResistanceOfSelectedRange();
    void reopeningAfterGainCalibrationStartsOver();

    void pageChangeRefusedWhileCalibrationRuns();
    void closingDuringOutputCalibrationWarnsAndLeavesItRunning_data();
    void closingDuringOutputCalibrationWarnsAndLeavesItRunning();
    void closingAfterFinishedOutputCalibrationWarnsNothing();
    void keys_data();
    void keys();
    void failingHandlerShowsExceptionAndWindowGoesOn();
};

void KalibrFormTest::windowFrame() {
    KalibrRig rig;
    QCOMPARE(rig.form.windowTitle(), U("Калибровка прибора"));
    QCOMPARE(rig.form.size(), QSize(562, 665));
    QCOMPARE(rig.form.minimumSize(), rig.form.maximumSize());
    QVERIFY(rig.form.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!rig.form.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!rig.form.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(rig.form.isModal());
    QCOMPARE(rig.form.font().pixelSize(), 11);
}

// Every control as the window's description has it, before the window is first shown.
void KalibrFormTest::layout() {
    KalibrRig rig;
    const QStringList differences =
        testing_support::LayoutDifferences(calibration::KalibrFormDescription(), rig.form);
    QVERIFY2(differences.isEmpty(), qPrintable(differences.join(QStringLiteral("; "))));
}

void KalibrFormTest::captionsFit_data() {
    QTest::addColumn<int>("range");
    QTest::addColumn<int>("output");
    QTest::addColumn<bool>("gainStage");
    QTest::newRow("zero stage, volts") << 0 << 0 << false;
    QTest::newRow("gain stage, kilo-ohms, milliamperes") << 24 << 2 << true;
    QTest::newRow("gain stage, ohms") << 7 << 1 << true;
}

// Every caption fits its box in whatever face stands in for MS Sans Serif.
void KalibrFormTest::captionsFit() {
    QFETCH(int, range);
    QFETCH(int, output);
    QFETCH(bool, gainStage);
    KalibrRig rig;
    rig.view.ShowRange(range);
    rig.view.outputType = output;
    rig.form.show(); // pages get their size from the shown window
    if (gainStage) {
        rig.form.Logic().Button2Click();
    }
    for (QWidget* page : {rig.form.Widget(calibration::names::TabSheet1),
                          rig.form.Widget(calibration::names::TabSheet2)}) {
        rig.form.Widget<ui::qt::PageControl>(calibration::names::PageControl1)
            ->setCurrentWidget(page);
        QCoreApplication::processEvents();
        QCOMPARE(
            rig.form.Widget<ui::qt::PageControl>(calibration::names::PageControl1)->currentWidget(),
            page);
        const QStringList cut = testing_support::CaptionsThatDoNotFit(rig.form);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral("; "))));
    }
    rig.form.hide();
}

void KalibrFormTest::pagesAndTabOrder() {
    KalibrRig rig;
    auto& pages = *rig.form.Widget<ui::qt::PageControl>(calibration::names::PageControl1);
    QCOMPARE(pages.count(), 2);
    QCOMPARE(pages.tabText(0), U("Калибровка входа"));
    QCOMPARE(pages.tabText(1), U("Калибровка выхода"));
    QCOMPARE(pages.widget(0), rig.form.Widget(calibration::names::TabSheet1));
    QCOMPARE(pages.widget(1), rig.form.Widget(calibration::names::TabSheet2));
    QCOMPARE(pages.currentIndex(), 0);

    // Tab order within each page: ButtonExit, Button1, Button2; Button3, Button4.
    QCOMPARE(rig.form.Widget<QPushButton>(calibration::names::ButtonExit)->nextInFocusChain(),
             rig.form.Widget<QPushButton>(calibration::names::Button1));
    QCOMPARE(rig.form.Widget<QPushButton>(calibration::names::Button1)->nextInFocusChain(),
             rig.form.Widget<QPushButton>(calibration::names::Button2));
    QCOMPARE(rig.form.Widget<QPushButton>(calibration::names::Button3)->nextInFocusChain(),
             rig.form.Widget<QPushButton>(calibration::names::Button4));

    // No button reacts to Enter unless it has the focus.
    for (auto* button : rig.form.findChildren<QPushButton*>()) {
        QVERIFY2(!button->autoDefault() && !button->isDefault(), qPrintable(button->objectName()));
    }
}

void KalibrFormTest::picturesUnderTheirLabels() {
    KalibrRig rig;
    rig.view.outputType = 2;
    rig.form.show();
    // Each page's picture is drawn once the page is open.
    const std::pair<int, QLabel*> pictures[] = {
        {0, rig.form.Widget<QLabel>(calibration::names::Image1)},
        {1, rig.form.Widget<QLabel>(calibration::names::Image2)}};
    for (const auto& [page, picture] : pictures) {
        rig.form.Widget<ui::qt::PageControl>(calibration::names::PageControl1)
            ->setCurrentIndex(page);
        const QPixmap pixmap = picture->pixmap();
        QCOMPARE(pixmap.size(), QSize(483, 437));
        // White is transparent, the lines are opaque black.
        const QImage image = pixmap.toImage();
        int opaque = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = image.pixel(x, y);
                if (qAlpha(pixel) != 0) {
                    QCOMPARE(qGray(pixel), 0);
                    ++opaque;
                }
            }
        }
        QVERIFY(opaque > 1000);
        QVERIFY(opaque < image.width() * image.height() / 2);
    }
    // Label3 and Label5 lie over the pictures, not under them.
    rig.form.Widget<ui::qt::PageControl>(calibration::names::PageControl1)->setCurrentIndex(0);
    QCOMPARE(
        rig.form.Widget(calibration::names::TabSheet1)
            ->childAt(rig.form.Widget<QLabel>(calibration::names::Label3)->geometry().center()),
        rig.form.Widget<QLabel>(calibration::names::Label3));
    rig.form.Widget<ui::qt::PageControl>(calibration::names::PageControl1)->setCurrentIndex(1);
    QCOMPARE(
        rig.form.Widget(calibration::names::TabSheet2)
            ->childAt(rig.form.Widget<QLabel>(calibration::names::Label5)->geometry().center()),
        rig.form.Widget<QLabel>(calibration::names::Label5));
    // The resistance label hides what lies under it; the unit is written onto the meter.
    QVERIFY(rig.form.Widget<QLabel>(calibration::names::Label3)->autoFillBackground());
    QVERIFY(!rig.form.Widget<QLabel>(calibration::names::Label5)->autoFillBackground());
    rig.form.hide();
}

void KalibrFormTest::continueShowsResistanceOfSelectedRange_data() {
    QTest::addColumn<int>("range");
    QTest::addColumn<QString>("resistance");
    QTest::newRow("range 0, first of all") << 0 << U("R=50,0 Om");
    QTest::newRow("range 7, ТСМ 100М -50 +200") << 7 << U("R=250,0 Om");
    QTest::newRow("range 20, last thermometer") << 20 << U("R=500,0 Om");
    QTest::newRow("range 24, R 0 до 2,5 кОм") << 24 << U("R=2,5 kOm");
    QTest::newRow("range 25, last of all") << 25 << U("R=5,0 kOm");
}

void KalibrFormTest::continueShowsResistanceOfSelectedRange() {
    QFETCH(int, range);
    QFETCH(QString, resistance);

    KalibrRig rig;
    rig.AnswerOnce();
    rig.view.ShowRange(range);
    rig.form.show();
    QVERIFY(rig.form.Widget<QPushButton>(calibration::names::Button2)->isEnabled());
    QTest::mouseClick(rig.form.Widget<QPushButton>(calibration::names::Button2), Qt::LeftButton);

    QCOMPARE(rig.form.Widget<QLabel>(calibration::names::Label1)->text(), U("Калибровка усиления"));
    QCOMPARE(rig.form.Widget<QLabel>(calibration::names::Label3)->text(), resistance);
    QVERIFY(rig.form.Widget<QPushButton>(calibration::names::Button2)->isHidden());
    QCOMPARE(rig.form.Widget<QPushButton>(calibration::names::ButtonExit)->text(), U("Выход"));
    QCOMPARE(rig.form.Logic().InputStage, 1);
    // The whole resistance text is visible in the fixed-size label, at the layout's character
    // height or, with a wider substitute face, at most a few pixels below it.
    QCOMPARE(rig.form.Widget<QLabel>(calibration::names::Label3)->geometry(),
             QRect(128, 176, 113, 24));
    QVERIFY(rig.form.Widget<QLabel>(calibration::names::Label3)
                ->fontMetrics()
                .horizontalAdvance(resistance) <=
            rig.form.Widget<QLabel>(calibration::names::Label3)->width());
    QVERIFY(rig.form.Widget<QLabel>(calibration::names::Label3)->font().pixelSize() <= 21);
    QVERIFY(rig.form.Widget<QLabel>(calibration::names::Label3)->font().pixelSize() >= 17);
    // No transaction was started.
    QVERIFY(rig.port.written.empty());
    QVERIFY(!rig.port.open);
    rig.form.hide();
}

void KalibrFormTest::reopeningAfterGainCalibrationStartsOver() {
    KalibrRig rig;
    rig.AnswerOnce();
    rig.view.ShowRange(7);
    rig.form.show();
    QTest::mouseClick(rig.form.Widget<QPushButton>(calibration::names::Button2), Qt::LeftButton);
    QTest::mouseClick(rig.form.Widget<QPushButton>(calibration::names::Button1), Qt::LeftButton);
    rig.Tick("!\r");
    rig.Tick("!00\r");
    QCOMPARE(rig.port.Commands(), Strings({"$2", "$0"}));
    QCOMPARE(rig.ui.Messages(), Strings({"Установите аналог датчика согласно рисунку!",
                                         "Калибровка завершена успешно!"}));
    QTest::mouseClick(rig.form.Widget<QPushButton>(calibration::names::ButtonExit), Qt::LeftButton);
    QVERIFY(!rig.form.isVisible());

    rig.form.show();
    QCOMPARE(rig.form.Widget<QLabel>(calibration::names::Label1)->text(), U("Калибровка нуля"));
    QCOMPARE(rig.form.Widget<QLabel>(calibration::names::Label3)->text(), U("R = 0,0 Om"));
    QVERIFY(rig.form.Widget<QPushButton>(calibration::names::Button2)->isVisible());
    QVERIFY(rig.form.Widget<QPushButton>(calibration::names::Button2)->isEnabled());
    QCOMPARE(rig.form.Widget<QPushButton>(calibration::names::ButtonExit)->text(), U("Отмена"));
    QCOMPARE(rig.form.Logic().InputStage, 0);

    // "Калибровать" now runs the zero stage again.
    rig.port.written.clear();
    QTest::mouseClick(rig.form.Widget<QPushButton>(calibration::names::Button1), Qt::LeftButton);
    QCOMPARE(rig.port.Commands(), Strings({"$1"}));
    rig.form.hide();
}

void KalibrFormTest::pageChangeRefusedWhileCalibrationRuns() {
    KalibrRig rig;
    rig.AnswerOnce();
    rig.form.show();
    auto* pages = rig.form.Widget<ui::qt::PageControl>(calibration::names::PageControl1);
    QTabBar* tabs = pages->tabBar();
    QSignalSpy changes(pages, &QTabWidget::currentChanged);

    QTest::mouseClick(rig.form.Widget<QPushButton>(calibration::names::Button1), Qt::LeftButton);
    QVERIFY(!rig.engine.ControlsEnabled());
    QVERIFY(!rig.form.Logic().PageControl1Changing());

    // Mouse on the other tab, keys on the tab bar and on the page control, the wheel.
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    QCOMPARE(pages->currentIndex(), 0);
    tabs->setFocus();
    QTest::keyClick(tabs, Qt::Key_Right);
    QCOMPARE(pages->currentIndex(), 0);
    QTest::keyClick(pages, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(pages->currentIndex(), 0);
    QWheelEvent wheel(tabs->tabRect(0).center(), tabs->mapToGlobal(tabs->tabRect(0).center()),
                      QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                      false);
    QApplication::sendEvent(tabs, &wheel);
    QCOMPARE(pages->currentIndex(), 0);
    QCOMPARE(changes.count(), 0);
    QVERIFY(rig.form.Widget(calibration::names::TabSheet1)->isVisible());
    QVERIFY(!rig.form.Widget(calibration::names::TabSheet2)->isVisible());

    // Once the calibration has ended the pages change again.
    rig.Tick("!\r");
    rig.Tick("!00\r");
    QVERIFY(rig.engine.ControlsEnabled());
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    QCOMPARE(pages->currentIndex(), 1);
    QCOMPARE(changes.count(), 1);
    rig.form.hide();
}

void KalibrFormTest::closingDuringOutputCalibrationWarnsAndLeavesItRunning_data() {
    QTest::addColumn<int>("how");
    QTest::newRow("Выход") << 0;
    QTest::newRow("close box") << 1;
}

void KalibrFormTest::closingDuringOutputCalibrationWarnsAndLeavesItRunning() {
    QFETCH(int, how);

    KalibrRig rig;
    rig.AnswerOnce();
    rig.view.outputType = 2;
    rig.form.show();
    rig.form.Widget<ui::qt::PageControl>(calibration::names::PageControl1)->setCurrentIndex(1);
    QTest::mouseClick(rig.form.Widget<QPushButton>(calibration::names::Button3), Qt::LeftButton);
    QVERIFY(rig.form.Logic().CalibrationUnfinished);
    QCOMPARE(rig.port.Commands(), Strings({"$A0D0"}));

    switch (how) {
    case 0:
        QTest::mouseClick(rig.form.Widget<QPushButton>(calibration::names::Button4),
                          Qt::LeftButton);
        break;
    default:
        rig.form.close();
        break;
    }
    QVERIFY(!rig.form.isVisible());
    QCOMPARE(rig.ui.Messages().back(),
             std::string("Калибровка не завершена!\nДля правильной работы прибора\n"
                         "перевключите его питание."));
    // Nothing was sent on closing, and the transaction goes on in the engine.
    QCOMPARE(rig.port.Commands(), Strings({"$A0D0"}));
    QVERIFY(rig.port.open);
    QVERIFY(rig.view.timerEnabled);
    QCOMPARE(rig.engine.TransactionKind(), protocol::TransactionKind::OutputCalibration);

    rig.ui.inputAnswers = {std::string("1.0"), std::string("20.5")};
    rig.Tick("!\r");
    rig.Tick("!\r");
    QCOMPARE(rig.port.Commands(), Strings({"$A0D0", "$ACD0", "$C3.15077E+03"}));
}

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
    rig.form.Widget<ui::qt::PageControl>(calibration::names::PageControl1)
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

void KalibrFormTest::closingAfterFinishedOutputCalibrationWarnsNothing() {
    KalibrRig rig;
    rig.AnswerOnce();
    rig.view.outputType = 1;
    rig.form.show();
    rig.form.Widget<ui::qt::PageControl>(calibration::names::PageControl1)->setCurrentIndex(1);
    QTest::mouseClick(rig.form.Widget<QPushButton>(calibration::names::Button3), Qt::LeftButton);
    rig.ui.inputAnswers = {std::string("0.35"), std::string("5.35")};
    for (int i = 0; i < 5; ++i) {
        rig.Tick("!\r");
    }
    QCOMPARE(rig.port.Commands(), Strings({"$A0D0", "$ACD0", "$C3.07200E+03", "$D-7", "$B"}));
    QVERIFY(!rig.form.Logic().CalibrationUnfinished);
    const auto shown = rig.ui.Messages().size();
    QTest::mouseClick(rig.form.Widget<QPushButton>(calibration::names::Button4), Qt::LeftButton);
    QVERIFY(!rig.form.isVisible());
    QCOMPARE(rig.ui.Messages().size(), shown);
}

void KalibrFormTest::failingHandlerShowsExceptionAndWindowGoesOn() {
    KalibrRig rig;
    rig.AnswerOnce();
    rig.form.show();
    rig.port.openError = "Unable to open com port";
    QTest::mouseClick(rig.form.Widget<QPushButton>(calibration::names::Button1), Qt::LeftButton);
    QCOMPARE(rig.ui.Exceptions(), Strings({"Unable to open com port"}));
    QVERIFY(rig.form.isVisible());
    QVERIFY(rig.form.Widget<QPushButton>(calibration::names::Button1)->isEnabled());
    QVERIFY(rig.engine.ControlsEnabled());

    // The port is there again: the next press calibrates.
    rig.port.openError.clear();
    QTest::mouseClick(rig.form.Widget<QPushButton>(calibration::names::Button1), Qt::LeftButton);
    QCOMPARE(rig.port.Commands(), Strings({"$1"}));

    // A port that opens but is not connected: the message, no transaction.
    rig.Tick("!\r");
    rig.Tick("!00\r");
    rig.port.written.clear();
    rig.port.connectOnOpen = false;
    rig.form.Widget<ui::qt::PageControl>(calibration::names::PageControl1)->setCurrentIndex(1);
    QTest::mouseClick(rig.form.Widget<QPushButton>(calibration::names::Button3), Qt::LeftButton);
    QCOMPARE(rig.ui.Messages().back(), std::string("Неверно задан номер СОM-порта"));
    QVERIFY(rig.port.written.empty());
    QVERIFY(!rig.form.Logic().CalibrationUnfinished);
    rig.form.hide();
}

QTEST_MAIN(KalibrFormTest)
#include "kalibr_form_test.moc"
