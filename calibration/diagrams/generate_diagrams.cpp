// Draws the two wiring diagrams of the calibration window and writes them as 1-bit Windows
// bitmaps (483 × 437, palette black and white) into the folder given on the command line:
//   input_diagram.bmp   the resistance box connected to the transducer's input terminals
//   output_diagram.bmp  the meter connected to the transducer's output terminals
// and each once more drawn at twice the resolution (966 × 874, "_2x"), for windows on displays
// of more than 96 dots per inch: scaled down from there, text and lines stay sharp.
// The calibration window puts its own labels over these pictures, so each drawing keeps the
// area under its label white: the resistance text of Label3 appears in the box's display window,
// the unit text of Label5 inside the meter's circle.
//
// Regenerate with:  cmake --build <build> --target lirat_regenerate_diagrams

#include "calibration/diagrams/diagram_geometry.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

using calibration::diagrams::kHeight;
using calibration::diagrams::kWidth;

QFont DiagramFont(int pixelSize, bool bold = false) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    // Hard pixels only: the picture is thresholded to two colours afterwards.
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

void Text(QPainter& p, int x, int y, int w, int h, const QString& text, int pixelSize,
          bool bold = false, int align = Qt::AlignCenter) {
    p.setFont(DiagramFont(pixelSize, bold));
    p.drawText(QRect(x, y, w, h), align, text);
}

void Wire(QPainter& p, std::initializer_list<QPoint> points) {
    const std::vector<QPoint> v(points);
    for (std::size_t i = 1; i < v.size(); ++i) {
        p.drawLine(v[i - 1], v[i]);
    }
}

void Junction(QPainter& p, QPoint at) {
    p.save();
    p.setBrush(Qt::black);
    p.drawEllipse(at, 3, 3);
    p.restore();
}

// A screw terminal: a small open circle on the edge of a device.
void Terminal(QPainter& p, QPoint at) {
    p.save();
    p.setBrush(Qt::white);
    p.drawEllipse(at, 5, 5);
    p.restore();
}

// Terminal centres on the left edge of the transducer block.
constexpr int kBlockLeft = 320;
constexpr int kBlockTop = 60;
constexpr int kBlockRight = 455;
constexpr int kBlockBottom = 395;
constexpr int kTerminalY[] = {150, 190, 230, 300, 340}; // terminals 1 to 5

QPoint TransducerTerminal(int number) {
    return {kBlockLeft, kTerminalY[number - 1]};
}

// The transducer: input terminals 1-3 (three-wire sensor connection), output terminals 4 (+)
// and 5 (−), and the lead to the computer's COM port below.
void DrawTransducer(QPainter& p) {
    p.drawRect(kBlockLeft, kBlockTop, kBlockRight - kBlockLeft, kBlockBottom - kBlockTop);
    Text(p, kBlockLeft, kBlockTop + 8, kBlockRight - kBlockLeft, 26, QStringLiteral("ЛИРАТ-5"), 20,
         true);
    p.drawLine(kBlockLeft, kBlockTop + 42, kBlockRight, kBlockTop + 42);

    Text(p, kBlockLeft + 40, 112, 90, 20, QStringLiteral("Вход"), 15, true, Qt::AlignLeft);
    Text(p, kBlockLeft + 40, 262, 90, 20, QStringLiteral("Выход"), 15, true, Qt::AlignLeft);
    const char* const marks[] = {"", "", "", "+", "−"};
    for (int n = 1; n <= 5; ++n) {
        const QPoint t = TransducerTerminal(n);
        Terminal(p, t);
        Text(p, t.x() + 12, t.y() - 9, 20, 18, QString::number(n), 14, false, Qt::AlignLeft);
        Text(p, t.x() + 40, t.y() - 10, 20, 20, QString::fromUtf8(marks[n - 1]), 16, true,
             Qt::AlignLeft);
    }

    const int cx = (kBlockLeft + kBlockRight) / 2;
    p.drawLine(cx, kBlockBottom, cx, kBlockBottom + 14);
    Text(p, kBlockLeft - 20, kBlockBottom + 14, kBlockRight - kBlockLeft + 40, 20,
         QStringLiteral("к COM-порту ПК"), 13);
}

void DrawTitle(QPainter& p, const QString& title) {
    Text(p, 0, 14, kWidth, 24, title, 17, true);
}

// Input calibration: a resistance box (decade resistor) in place of the resistance thermometer,
// three-wire: the box's X1 to terminal 1, its X2 to terminals 2 and 3.
QImage DrawInputDiagram(int scale) {
    QImage image(kWidth * scale, kHeight * scale, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));

    DrawTitle(p, QStringLiteral("Калибровка входа"));

    // The box.
    p.drawRect(40, 84, 220, 172);
    Text(p, 40, 92, 220, 20, QStringLiteral("Магазин сопротивлений"), 14, true);

    // Its display window; the calibration window writes the resistance to set into it.
    const auto& w = calibration::diagrams::kInputLabelArea;
    p.drawRect(w.left - 5, w.top - 5, w.width + 10, w.height + 10);

    // Decade switches.
    const char* const decades[] = {"×100", "×10", "×1", "×0,1"};
    for (int i = 0; i < 4; ++i) {
        const QPoint c(62 + i * 40, 200);
        p.drawEllipse(c, 11, 11);
        p.drawLine(c, c + QPoint(0, -11));
        Text(p, c.x() - 20, 216, 40, 16, QString::fromUtf8(decades[i]), 11);
    }

    // The variable resistor between the box's two terminals.
    const int rx = 234;
    p.drawRect(rx - 7, 180, 14, 40);
    p.drawLine(rx - 16, 226, rx + 14, 172);
    p.drawLine(rx + 14, 172, rx + 6, 174);
    p.drawLine(rx + 14, 172, rx + 13, 180);
    Wire(p, {{rx, 180}, {rx, 164}, {260, 164}});
    Wire(p, {{rx, 220}, {rx, 236}, {260, 236}});
    const QPoint x1(260, 164);
    const QPoint x2(260, 236);
    Terminal(p, x1);
    Terminal(p, x2);
    Text(p, 262, 140, 30, 16, QStringLiteral("X1"), 12, false, Qt::AlignLeft);
    Text(p, 262, 242, 30, 16, QStringLiteral("X2"), 12, false, Qt::AlignLeft);

    // Leads to the transducer's input.
    Wire(p, {x1 + QPoint(5, 0), {285, 164}, {285, 150}, TransducerTerminal(1) - QPoint(5, 0)});
    Wire(p, {x2 + QPoint(5, 0), {300, 236}, {300, 230}, TransducerTerminal(3) - QPoint(5, 0)});
    Wire(p, {{300, 230}, {300, 190}, TransducerTerminal(2) - QPoint(5, 0)});
    Junction(p, {300, 230});

    DrawTransducer(p);

    Text(p, 20, 290, 280, 18, QStringLiteral("Подключите магазин"), 14, false, Qt::AlignLeft);
    Text(p, 20, 310, 280, 18, QStringLiteral("вместо термометра сопротивления"), 14, false,
         Qt::AlignLeft);
    Text(p, 20, 330, 280, 18, QStringLiteral("и установите на нём значение,"), 14, false,
         Qt::AlignLeft);
    Text(p, 20, 350, 280, 18, QStringLiteral("указанное в окне магазина."), 14, false,
         Qt::AlignLeft);
    return image;
}

// Output calibration: a milliammeter (or a voltmeter for the 0-10 V output) across the
// output terminals 4 (+) and 5 (−).
QImage DrawOutputDiagram(int scale) {
    QImage image(kWidth * scale, kHeight * scale, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));

    DrawTitle(p, QStringLiteral("Калибровка выхода"));

    // The meter: a circle whose middle stays white for the unit ("mA" or "V").
    const QPoint c(calibration::diagrams::kMeterCentre.x, calibration::diagrams::kMeterCentre.y);
    const int r = calibration::diagrams::kMeterRadius;
    p.drawEllipse(c, r, r);
    const QPoint left = c - QPoint(r, 0);
    const QPoint right = c + QPoint(r, 0);
    Text(p, right.x() + 4, c.y() - 26, 20, 20, QStringLiteral("+"), 16, true, Qt::AlignLeft);
    Text(p, left.x() - 20, c.y() - 26, 20, 20, QStringLiteral("−"), 16, true, Qt::AlignLeft);

    Text(p, c.x() - 100, c.y() + r + 14, 200, 18, QStringLiteral("Миллиамперметр"), 14, true);
    Text(p, c.x() - 100, c.y() + r + 34, 200, 18, QStringLiteral("(вольтметр"), 14);
    Text(p, c.x() - 100, c.y() + r + 52, 200, 18, QStringLiteral("для выхода 0 - 10 В)"), 14);

    Wire(p, {right, {285, c.y()}, {285, 300}, TransducerTerminal(4) - QPoint(5, 0)});
    Wire(p, {left, {110, c.y()}, {110, 340}, TransducerTerminal(5) - QPoint(5, 0)});

    DrawTransducer(p);

    Text(p, 20, 364, 280, 18, QStringLiteral("Измерьте выходной сигнал"), 14, false, Qt::AlignLeft);
    Text(p, 20, 384, 280, 18, QStringLiteral("и введите его значение."), 14, false, Qt::AlignLeft);
    return image;
}

void Put16(std::vector<std::uint8_t>& out, unsigned v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// Uncompressed bottom-up 1-bit bitmap; palette entry 0 black, 1 white. A pixel counts as black
// when it is darker than mid-grey. `scale` times 96 is the resolution it is drawn for.
std::vector<std::uint8_t> EncodeMonoBmp(const QImage& image, int scale) {
    const int w = image.width();
    const int h = image.height();
    const int stride = ((w + 31) / 32) * 4;
    const std::uint32_t paletteSize = 2 * 4;
    const std::uint32_t offset = 14 + 40 + paletteSize;
    const std::uint32_t imageSize = static_cast<std::uint32_t>(stride * h);

    std::vector<std::uint8_t> out;
    out.reserve(offset + imageSize);
    out.push_back('B');
    out.push_back('M');
    Put32(out, offset + imageSize);
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(w));
    Put32(out, static_cast<std::uint32_t>(h));
    Put16(out, 1); // planes
    Put16(out, 1); // bits per pixel
    Put32(out, 0); // BI_RGB
    Put32(out, imageSize);
    const auto pixelsPerMetre = static_cast<std::uint32_t>(3780 * scale); // 3780: 96 a inch
    Put32(out, pixelsPerMetre);
    Put32(out, pixelsPerMetre);
    Put32(out, 2);          // colours used
    Put32(out, 2);          // colours important
    Put32(out, 0x00000000); // black
    Put32(out, 0x00FFFFFF); // white

    for (int y = h - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(static_cast<std::size_t>(stride), 0);
        for (int x = 0; x < w; ++x) {
            if (qGray(image.pixel(x, y)) >= 128) {
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    // Fonts need a GUI application object; no display is needed to paint into an image.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);

    const std::string folder = argv[1];
    const struct {
        const char* name;
        int scale;
        QImage image;
    } pictures[] = {{"input_diagram.bmp", 1, DrawInputDiagram(1)},
                    {"output_diagram.bmp", 1, DrawOutputDiagram(1)},
                    {"input_diagram_2x.bmp", 2, DrawInputDiagram(2)},
                    {"output_diagram_2x.bmp", 2, DrawOutputDiagram(2)}};
    for (const auto& picture : pictures) {
        const std::string path = folder + "/" + picture.name;
        if (!WriteFile(path, EncodeMonoBmp(picture.image, picture.scale))) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s\n", path.c_str());
    }
    return 0;
}
