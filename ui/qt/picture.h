#pragma once
// Pictures of a window description on Qt labels: decoded from the bytes of their image file,
// optionally with the background made transparent, and only once the label is first shown.

#include <QPixmap>

#include <cstdint>
#include <span>

class QLabel;

namespace ui::qt {

// The picture of an image file's bytes; a null pixmap for bytes Qt cannot read. With
// `transparent`, every pixel of the colour of the bottom-left pixel (the background of a
// diagram) lets the parent show through; the lines stay.
QPixmap PicturePixmap(std::span<const std::uint8_t> bytes, bool transparent);

// Gives `label` the picture of `bytes` when it is first shown. A window built at start-up and
// shown later, or a picture on a page not yet open, costs nothing before it is seen: decoding
// and converting the calibration window's two diagrams took a third of that window's start-up.
// The bytes are copied.
void SetPictureWhenShown(QLabel& label, std::span<const std::uint8_t> bytes, bool transparent);

} // namespace ui::qt
