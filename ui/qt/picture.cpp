#include "ui/qt/picture.h"

#include <QByteArray>
#include <QEvent>
#include <QImage>
#include <QLabel>
#include <QList>

namespace ui::qt {

namespace {

// A Windows bitmap is read by Qt's own reader when it is named; left to guess, Qt first loads
// every image-format plug-in (and the libraries they need) to ask each about the bytes.
const char* FormatOf(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M' ? "BMP" : nullptr;
}

void MakeBackgroundTransparent(QImage& image) {
    const QRgb background = image.pixel(0, image.height() - 1) & 0x00FFFFFF;
    if (image.colorCount() > 0) {
        // A picture with a colour table (the diagrams have one bit per pixel): its entries of
        // the background's colour, instead of every pixel.
        QList<QRgb> table = image.colorTable();
        for (QRgb& entry : table) {
            if ((entry & 0x00FFFFFF) == background) {
                entry = qRgba(0, 0, 0, 0);
            }
        }
        image.setColorTable(table);
        return;
    }
    image = image.convertToFormat(QImage::Format_ARGB32);
    const int width = image.width();
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            if ((line[x] & 0x00FFFFFF) == background) {
                line[x] = qRgba(0, 0, 0, 0);
            }
        }
    }
}

// Sets the label's picture at its first Show event, then goes.
class PictureOnShow final : public QObject {
public:
    PictureOnShow(QLabel& label, std::span<const std::uint8_t> bytes, bool transparent)
        : QObject(&label), label_(label),
          bytes_(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())),
          transparent_(transparent) {
        label.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &label_ && event->type() == QEvent::Show) {
            label_.removeEventFilter(this);
            const auto* data = reinterpret_cast<const std::uint8_t*>(bytes_.constData());
            label_.setPixmap(
                PicturePixmap({data, static_cast<std::size_t>(bytes_.size())}, transparent_));
            deleteLater();
        }
        return false;
    }

private:
    QLabel& label_;
    QByteArray bytes_;
    bool transparent_;
};

} // namespace

QPixmap PicturePixmap(std::span<const std::uint8_t> bytes, bool transparent) {
    QImage image = QImage::fromData(bytes.data(), static_cast<int>(bytes.size()), FormatOf(bytes));
    if (image.isNull()) {
        return {};
    }
    if (transparent) {
        MakeBackgroundTransparent(image);
    }
    return QPixmap::fromImage(std::move(image));
}

void SetPictureWhenShown(QLabel& label, std::span<const std::uint8_t> bytes, bool transparent) {
    new PictureOnShow(label, bytes, transparent);
}

} // namespace ui::qt
