// Pictures from image-file bytes: the background made transparent for every kind of image the
// descriptions use (the diagrams are 1-bit Windows bitmaps) and for others Qt reads.

#include "ui/qt/picture.h"

#include <QBuffer>
#include <QImage>
#include <QTest>

#include <cstdint>
#include <span>

namespace {

// 4 x 2 pixels on white, one black pixel at (1, 0), saved in the given format.
QByteArray DotFile(QImage::Format format, const char* fileFormat) {
    QImage image(4, 2, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setPixel(1, 0, qRgb(0, 0, 0));
    image = image.convertToFormat(format);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, fileFormat);
    return data;
}

std::span<const std::uint8_t> Bytes(const QByteArray& data) {
    return {reinterpret_cast<const std::uint8_t*>(data.constData()),
            static_cast<std::size_t>(data.size())};
}

} // namespace

class PictureTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void backgroundMadeTransparent_data();
    void backgroundMadeTransparent();
    void unreadableBytesGiveNoPicture();
};

void PictureTest::backgroundMadeTransparent_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("transparent");
    QTest::newRow("1-bit bitmap") << DotFile(QImage::Format_Mono, "BMP") << true;
    QTest::newRow("24-bit bitmap") << DotFile(QImage::Format_RGB32, "BMP") << true;
    QTest::newRow("PNG, format guessed") << DotFile(QImage::Format_RGB32, "PNG") << true;
    QTest::newRow("1-bit bitmap, opaque") << DotFile(QImage::Format_Mono, "BMP") << false;
}

void PictureTest::backgroundMadeTransparent() {
    QFETCH(QByteArray, file);
    QFETCH(bool, transparent);
    const QImage image = ui::qt::PicturePixmap(Bytes(file), transparent).toImage();
    QCOMPARE(image.size(), QSize(4, 2));
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x) {
            const QRgb pixel = image.pixel(x, y);
            const bool line = x == 1 && y == 0;
            QCOMPARE(qAlpha(pixel), line || !transparent ? 255 : 0);
            if (qAlpha(pixel) != 0) {
                QCOMPARE(qGray(pixel), line ? 0 : 255);
            }
        }
    }
}

void PictureTest::unreadableBytesGiveNoPicture() {
    QVERIFY(ui::qt::PicturePixmap(Bytes(QByteArrayLiteral("BM not a bitmap")), true).isNull());
    QVERIFY(ui::qt::PicturePixmap({}, true).isNull());
}

QTEST_MAIN(PictureTest)
#include "picture_test.moc"
