#pragma once
// The two wiring diagrams of the calibration window as the bytes of their Windows bitmap files
// (483 x 437 pixels, 1 bit per pixel, black and white), built into the program from
// calibration/diagrams/*.bmp, so every toolkit draws the same pictures from the same bytes.

#include <cstdint>
#include <span>
#include <string_view>

namespace calibration {

// The picture named in the window's description ("input_diagram", "output_diagram"); empty for
// a name without a picture.
std::span<const std::uint8_t> DiagramBitmap(std::string_view pictureName);

} // namespace calibration
