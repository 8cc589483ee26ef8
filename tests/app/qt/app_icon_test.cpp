// The application icon: 32 x 32 pixels in at most 16 colours.

#include "app/qt/app_icon.h"

#include <QImage>
#include <QSet>
#include <QTest>

class AppIconTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void iconIs32By32In16Colours();
};

void AppIconTest::iconIs32By32In16Colours() {
    const QImage image = app::ApplicationIconPixmap().toImage();
    QCOMPARE(image.size(), QSize(32, 32));
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) != 0) {
                colours.insert(pixel);
            }
        }
    }
    QVERIFY(colours.size() > 2);
    QVERIFY(colours.size() <= 16);
}

QTEST_MAIN(AppIconTest)
#include "app_icon_test.moc"
