#pragma once
// The windows' pictures (the wiring diagrams: black lines on white) as palette indices, read
// from their Windows bitmap files and scaled to the size a window drawn at another resolution
// gives them, without losing a line: enlarged, every pixel of the drawing covers at least one
// pixel of the result; reduced, a pixel of the result is ink wherever any pixel it covers is.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace ui {

struct PalettePicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> palette{}; // 0x00RRGGBB
    std::vector<std::uint8_t> indices{};  // one per pixel, rows from the top
    std::uint8_t At(int x, int y) const {
        return indices[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                       static_cast<std::size_t>(x)];
    }
    // The background: the colour of the bottom-left pixel, the one a transparent picture lets
    // the window's face show through.
    std::uint8_t Background() const { return At(0, height - 1); }
};

// An uncompressed bitmap file with a palette (1, 4 or 8 bits per pixel, rows stored either way
// up); nothing when the bytes are not one or are cut short.
std::optional<PalettePicture> ReadPalettePicture(std::string_view bmpFile);

// `picture` at `width` × `height` (both at least 1), the background staying background.
PalettePicture ScaleKeepingLines(const PalettePicture& picture, int width, int height);

} // namespace ui
