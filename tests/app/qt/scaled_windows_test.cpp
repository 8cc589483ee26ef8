// Both Qt windows on a 1280 × 720 screen that Qt scales by one and a half (QT_SCALE_FACTOR=1.5,
// the offscreen platform's screen from a configuration file, both set by the test's
// registration): every caption fits, and each window lies wholly inside the screen's available
// area, the calibration window drawn smaller than its description to get there.

#include "tests/app/qt/window_fixture.h"
#include "tests/calibration/qt/kalibr_rig.h"
#include "tests/support/qt_caption_fit.h"
#include "ui/qt/page_control.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

class ScaledWindowsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theScreenIsTheOneAskedFor();
    void windowsFitTheScreen_data();
    void windowsFitTheScreen();
};

void ScaledWindowsTest::theScreenIsTheOneAskedFor() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    QVERIFY(screen != nullptr);
    QCOMPARE(screen->devicePixelRatio(), 1.5);
    QCOMPARE(screen->geometry().size() * screen->devicePixelRatio(), QSize(1280, 720));
}

void ScaledWindowsTest::windowsFitTheScreen_data() {
    QTest::addColumn<int>("window"); // 0 the main window, 1 and 2 the calibration pages
    QTest::newRow("main window") << 0;
    QTest::newRow("calibration window, input page") << 1;
    QTest::newRow("calibration window, output page") << 2;
}

void ScaledWindowsTest::windowsFitTheScreen() {
    QFETCH(int, window);
    app_test::WindowFixture main;
    calibration_test::KalibrRig kalibr;
    QWidget* shown = main.form.get();
    if (window == 0) {
        QVERIFY(main.Show());
    } else {
        kalibr.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&kalibr.form));
        kalibr.form.findChild<ui::qt::PageControl*>("PageControl1")->setCurrentIndex(window - 1);
        shown = &kalibr.form;
    }
    const QRect area = shown->screen()->availableGeometry();
    QVERIFY2(area.contains(shown->frameGeometry()),
             qPrintable(QStringLiteral("%1,%2 %3 x %4 is not inside %5 x %6")
                            .arg(shown->frameGeometry().x())
                            .arg(shown->frameGeometry().y())
                            .arg(shown->frameGeometry().width())
                            .arg(shown->frameGeometry().height())
                            .arg(area.width())
                            .arg(area.height())));
    const QStringList cut = testing_support::CaptionsThatDoNotFit(*shown);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral("; "))));
}

QTEST_MAIN(ScaledWindowsTest)
#include "scaled_windows_test.moc"
