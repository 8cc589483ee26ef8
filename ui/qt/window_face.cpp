#include "ui/qt/window_face.h"

#include <QFontMetricsF>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace ui::qt {

namespace {

constexpr int kLayoutHeight = 11; // MS Sans Serif 8 pt at 96 dpi
constexpr int kNarrowest = 60;

// Captions whose widths in MS Sans Serif 8 pt are known: the main window's self-sizing labels,
// at the widths its layout was drawn for. They measure how much wider a substitute face is.
struct ReferenceCaption {
    const char* text;
    int width;
};
constexpr ReferenceCaption kReferenceCaptions[] = {
    {"Тип  датчика:", 68},
    {"Диапазон датчика (град. С)", 139},
    {"Уровень сигнала \"Обрыв\" (0 -120%):", 185},
    {"Рабочий диапазон (град. С)", 138},
    {"СОМ порт:", 53},
    {"Температура (град. С): 20", 130},
};

QFont Family(int pixelHeight) {
    QFont font;
    font.setFamilies(QStringList{
        QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
        QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(pixelHeight);
    font.setWeight(QFont::Normal);
    return font;
}

int MeasureStretch() {
    const QFontMetricsF metrics(Family(kLayoutHeight));
    double ratio = 1.0;
    for (const ReferenceCaption& caption : kReferenceCaptions) {
        const double width = metrics.horizontalAdvance(QString::fromUtf8(caption.text));
        if (width > 0) {
            ratio = std::min(ratio, caption.width / width);
        }
    }
    // Rounded down, so the narrowed captions end within their reference widths.
    return std::clamp(static_cast<int>(std::floor(ratio * 100.0)), kNarrowest, 100);
}

} // namespace

int WindowFaceStretch() {
    static const int stretch = MeasureStretch();
    return stretch;
}

QFont WindowFace(int pixelHeight) {
    QFont font = Family(pixelHeight);
    const int stretch = WindowFaceStretch();
    if (stretch < 100) {
        font.setStretch(stretch);
    }
    return font;
}

} // namespace ui::qt
