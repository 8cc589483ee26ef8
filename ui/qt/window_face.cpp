#include "ui/qt/window_face.h"

#include <QFontDatabase>
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

// The faces in the order they are preferred.
QStringList PreferredFamilies() {
    return {QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
            QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
            QStringLiteral("DejaVu Sans")};
}

// The first preferred face the system has, looked up once: a font that names several faces
// makes every character size look for each missing one again (the font matching of each
// missing face cost as much as loading the face that is used). Where the system has none of
// them, the whole list, and the system's own substitute for the first.
QStringList Families() {
    static const QStringList families = [] {
        // By the names the system lists: asking for each name in turn would have the system's
        // substitution rules resolve every missing one.
        const QStringList present = QFontDatabase::families();
        for (const QString& family : PreferredFamilies()) {
            if (present.contains(family, Qt::CaseInsensitive)) {
                return QStringList{family};
            }
        }
        return PreferredFamilies();
    }();
    return families;
}

QFont Family(int pixelHeight) {
    QFont font;
    font.setFamilies(Families());
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
