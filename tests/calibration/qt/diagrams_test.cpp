// The two wiring diagrams as the windows get them from the program: 1-bit Windows bitmaps of
// 483 × 437 (and of twice that, drawn for 192 dots per inch) with a black-and-white palette,
// different from each other, white under the labels the window puts over them and framed by the
// part each label names. And they are what the generator in the repository draws.

#include "calibration/diagram_bitmaps.h"
#include "calibration/diagrams/diagram_geometry.h"

#include <QFile>
#include <QFontDatabase>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdint>
#include <optional>

namespace geometry = calibration::diagrams;

namespace {

// The bitmap file read field by field, not through an image loader, so the test sees exactly
// what is stored.
struct MonoBitmap {
    QByteArray bytes;
    std::uint32_t fileSize = 0;
    std::uint32_t dataOffset = 0;
    std::uint32_t headerSize = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t planes = 0;
    std::uint16_t bitsPerPixel = 0;
    std::uint32_t compression = 0;
    std::uint32_t coloursUsed = 0;

    std::uint32_t U32(int at) const {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData()) + at;
        return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    }
    std::uint16_t U16(int at) const {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData()) + at;
        return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
    }
    // Palette entry `index` as 0xRRGGBB.
    std::uint32_t Palette(int index) const { return U32(14 + 40 + 4 * index) & 0xFFFFFF; }
    int Stride() const { return ((width + 31) / 32) * 4; }
    // Palette index of the pixel at (x, y), y counted from the top.
    int Index(int x, int y) const {
        const int row = height - 1 - y; // rows are stored bottom-up
        const auto byte = static_cast<unsigned char>(
            bytes[static_cast<int>(dataOffset) + row * Stride() + x / 8]);
        return (byte >> (7 - x % 8)) & 1;
    }
    bool Black(int x, int y) const { return Palette(Index(x, y)) == 0x000000; }
};

// The picture built into the program under `name`, or a file.
std::optional<MonoBitmap> ReadBitmap(const QString& name) {
    MonoBitmap bmp;
    if (const auto built = calibration::DiagramBitmap(name.toStdString()); !built.empty()) {
        bmp.bytes = QByteArray(reinterpret_cast<const char*>(built.data()),
                               static_cast<qsizetype>(built.size()));
    } else {
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly)) {
            return std::nullopt;
        }
        bmp.bytes = file.readAll();
    }
    if (bmp.bytes.size() < 62 || !bmp.bytes.startsWith("BM")) {
        return std::nullopt;
    }
    bmp.fileSize = bmp.U32(2);
    bmp.dataOffset = bmp.U32(10);
    bmp.headerSize = bmp.U32(14);
    bmp.width = static_cast<std::int32_t>(bmp.U32(18));
    bmp.height = static_cast<std::int32_t>(bmp.U32(22));
    bmp.planes = bmp.U16(26);
    bmp.bitsPerPixel = bmp.U16(28);
    bmp.compression = bmp.U32(30);
    bmp.coloursUsed = bmp.U32(46);
    return bmp;
}

// Counts black pixels inside the rectangle.
int BlackIn(const MonoBitmap& bmp, const geometry::Rect& r) {
    int count = 0;
    for (int y = r.top; y < r.bottom(); ++y) {
        for (int x = r.left; x < r.right(); ++x) {
            count += bmp.Black(x, y) ? 1 : 0;
        }
    }
    return count;
}

// Distance from the rectangle's edge, along the middle row or column, to the first black pixel
// outside it in direction (dx, dy); -1 when there is none up to the picture's edge.
int DistanceToLine(const MonoBitmap& bmp, const geometry::Rect& r, int dx, int dy) {
    int x = dx > 0 ? r.right() : dx < 0 ? r.left - 1 : r.left + r.width / 2;
    int y = dy > 0 ? r.bottom() : dy < 0 ? r.top - 1 : r.top + r.height / 2;
    for (int d = 0; x >= 0 && y >= 0 && x < bmp.width && y < bmp.height; ++d) {
        if (bmp.Black(x, y)) {
            return d;
        }
        x += dx;
        y += dy;
    }
    return -1;
}

const char* const kResources[] = {"input_diagram", "output_diagram", "input_diagram_2x",
                                  "output_diagram_2x"};

} // namespace

class DiagramsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void format_data();
    void format();
    void picturesDiffer();
    void labelAreas_data();
    void labelAreas();
    void generatorDrawsTheCheckedInFiles();
};

void DiagramsTest::format_data() {
    QTest::addColumn<QString>("resource");
    QTest::addColumn<int>("scale");
    QTest::addColumn<std::uint32_t>("fileSize");
    QTest::newRow("input") << QString::fromLatin1(kResources[0]) << 1 << 28030u;
    QTest::newRow("output") << QString::fromLatin1(kResources[1]) << 1 << 28030u;
    QTest::newRow("input at 192 dpi") << QString::fromLatin1(kResources[2]) << 2 << 108438u;
    QTest::newRow("output at 192 dpi") << QString::fromLatin1(kResources[3]) << 2 << 108438u;
}

void DiagramsTest::format() {
    QFETCH(QString, resource);
    QFETCH(int, scale);
    QFETCH(std::uint32_t, fileSize);
    const auto bmp = ReadBitmap(resource);
    QVERIFY(bmp.has_value());
    QCOMPARE(bmp->width, 483 * scale);
    QCOMPARE(bmp->height, 437 * scale); // positive: rows stored bottom-up, uncompressed
    QCOMPARE(bmp->planes, 1);
    QCOMPARE(bmp->bitsPerPixel, 1);
    QCOMPARE(bmp->compression, 0u);
    QCOMPARE(bmp->headerSize, 40u);
    // Two palette entries, one black and one white, and nothing between header and pixels.
    QVERIFY(bmp->coloursUsed == 0 || bmp->coloursUsed == 2);
    QCOMPARE(bmp->dataOffset, 14u + 40u + 2u * 4u);
    QVERIFY((bmp->Palette(0) == 0x000000 && bmp->Palette(1) == 0xFFFFFF) ||
            (bmp->Palette(0) == 0xFFFFFF && bmp->Palette(1) == 0x000000));
    QCOMPARE(bmp->fileSize, fileSize);
    QCOMPARE(bmp->bytes.size(), static_cast<qsizetype>(fileSize));

    // A drawing: a fair share of black, mostly white.
    const int black = BlackIn(*bmp, {0, 0, bmp->width, bmp->height});
    QVERIFY2(black > 2000, qPrintable(QString::number(black)));
    QVERIFY2(black < bmp->width * bmp->height / 4, qPrintable(QString::number(black)));
    // White background: the window makes the colour of the bottom-left pixel transparent.
    QVERIFY(!bmp->Black(0, bmp->height - 1));
}

void DiagramsTest::picturesDiffer() {
    const auto input = ReadBitmap(QString::fromLatin1(kResources[0]));
    const auto output = ReadBitmap(QString::fromLatin1(kResources[1]));
    QVERIFY(input && output);
    int differing = 0;
    for (int y = 0; y < input->height; ++y) {
        for (int x = 0; x < input->width; ++x) {
            differing += input->Black(x, y) != output->Black(x, y) ? 1 : 0;
        }
    }
    QVERIFY2(differing > 1000, qPrintable(QString::number(differing)));
}

void DiagramsTest::labelAreas_data() {
    QTest::addColumn<QString>("resource");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("reach");

    // Label3 (128, 176, 113 × 24 on the page, picture at 32, 40): the resistance text in the
    // resistance box's display window. Label5 (204 or 212, 194, 29 × 24 on the page, picture at
    // 32, 32): the unit inside the meter's circle, at both of its positions. The same places,
    // doubled, on the pictures drawn for 192 dots per inch.
    const struct {
        const char* name;
        int resource;
        int left, top, width, height, reach;
    } areas[] = {{"Label3 on the input diagram", 0, 96, 136, 113, 24, 12},
                 {"Label5 for mA on the output diagram", 1, 172, 162, 29, 24, 30},
                 {"Label5 for V on the output diagram", 1, 180, 162, 29, 24, 30}};
    for (const int scale : {1, 2}) {
        for (const auto& area : areas) {
            QTest::newRow(qPrintable(QStringLiteral("%1 at %2 dpi").arg(area.name).arg(96 * scale)))
                << QString::fromLatin1(kResources[area.resource + (scale - 1) * 2])
                << area.left * scale << area.top * scale << area.width * scale
                << area.height * scale << area.reach * scale;
        }
    }
}

void DiagramsTest::labelAreas() {
    QFETCH(QString, resource);
    QFETCH(int, left);
    QFETCH(int, top);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, reach);

    const auto bmp = ReadBitmap(resource);
    QVERIFY(bmp.has_value());
    const geometry::Rect area{left, top, width, height};
    QCOMPARE(BlackIn(*bmp, area), 0);
    // The label sits on a drawn part: a line closes the area in on all four sides, near it.
    for (const auto& [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}}) {
        const int distance = DistanceToLine(*bmp, area, dx, dy);
        QVERIFY2(distance >= 0 && distance <= reach,
                 qPrintable(QStringLiteral("direction %1,%2: %3").arg(dx).arg(dy).arg(distance)));
    }
}

void DiagramsTest::generatorDrawsTheCheckedInFiles() {
    if (!QFontDatabase::families().contains(QStringLiteral("DejaVu Sans"))) {
        QSKIP("the diagrams' captions are drawn with DejaVu Sans, which is not installed");
    }
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QProcess generator;
    generator.start(QStringLiteral(LIRAT_GENERATE_DIAGRAMS), {folder.path()});
    QVERIFY(generator.waitForFinished(60000));
    QCOMPARE(generator.exitStatus(), QProcess::NormalExit);
    QCOMPARE(generator.exitCode(), 0);
    // The program's pictures are built from the checked-in files, so both are compared.
    for (const char* name : kResources) {
        const QString file = QString::fromLatin1(name) + QStringLiteral(".bmp");
        QFile drawn(folder.filePath(file));
        QFile checkedIn(QStringLiteral(LIRAT_DIAGRAMS_FOLDER "/") + file);
        QVERIFY(drawn.open(QIODevice::ReadOnly));
        QVERIFY(checkedIn.open(QIODevice::ReadOnly));
        const QByteArray drawing = drawn.readAll();
        const auto built = ReadBitmap(QString::fromLatin1(name));
        QVERIFY(built.has_value());
        QVERIFY2(drawing == checkedIn.readAll() && drawing == built->bytes,
                 qPrintable(QStringLiteral("%1 differs from the generator's drawing; rebuild it "
                                           "with the target lirat_regenerate_diagrams")
                                .arg(file)));
    }
}

QTEST_MAIN(DiagramsTest)
#include "diagrams_test.moc"
