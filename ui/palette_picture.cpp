#include "ui/palette_picture.h"

#include <cstddef>

namespace ui {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
// Far beyond any window's picture; keeps every size computation below within range.
constexpr std::int64_t kLargestSide = 1 << 14;

std::uint32_t U32(std::string_view bytes, std::size_t at) {
    const auto byte = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i]));
    };
    return byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
}

std::uint16_t U16(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      static_cast<unsigned char>(bytes[at + 1]) << 8);
}

// The source pixels that result pixel `at` of `to` stands for, along one axis of `from`:
// enlarged, the one under its centre; reduced, every one it covers.
struct Span {
    int first;
    int end;
};
Span SourceSpan(int at, int from, int to) {
    const std::int64_t f = from;
    const std::int64_t t = to;
    if (to >= from) {
        const auto centre = static_cast<int>((2 * at + 1) * f / (2 * t));
        return {centre, centre + 1};
    }
    const auto first = static_cast<int>(at * f / t);
    const auto end = static_cast<int>(((at + 1) * f + t - 1) / t);
    return {first, end > first ? end : first + 1};
}

} // namespace

std::optional<PalettePicture> ReadPalettePicture(std::string_view bmp) {
    if (bmp.size() < kFileHeaderSize + kInfoHeaderSize || bmp.substr(0, 2) != "BM") {
        return std::nullopt;
    }
    const std::uint32_t pixelsAt = U32(bmp, 10);
    const std::uint32_t infoSize = U32(bmp, 14);
    const auto width = static_cast<std::int32_t>(U32(bmp, 18));
    const auto height = static_cast<std::int32_t>(U32(bmp, 22));
    const int bits = U16(bmp, 28);
    const std::uint32_t compression = U32(bmp, 30);
    const std::uint32_t coloursUsed = U32(bmp, 46);
    const std::int64_t rows = height < 0 ? -static_cast<std::int64_t>(height) : height;
    if ((bits != 1 && bits != 4 && bits != 8) || compression != 0 || infoSize < kInfoHeaderSize ||
        width <= 0 || width > kLargestSide || rows == 0 || rows > kLargestSide ||
        coloursUsed > (1u << bits)) {
        return std::nullopt;
    }
    const std::size_t colours = coloursUsed != 0 ? coloursUsed : (std::size_t{1} << bits);
    const std::size_t paletteAt = kFileHeaderSize + infoSize;
    const std::size_t stride = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
    if (infoSize > bmp.size() || paletteAt + colours * 4 > bmp.size() || pixelsAt > bmp.size() ||
        stride * static_cast<std::size_t>(rows) > bmp.size() - pixelsAt) {
        return std::nullopt;
    }

    PalettePicture picture;
    picture.width = width;
    picture.height = static_cast<int>(rows);
    // Every index the pixels can hold has an entry; those the file leaves out are black.
    picture.palette.assign(std::size_t{1} << bits, 0);
    for (std::size_t i = 0; i < colours; ++i) {
        picture.palette[i] = U32(bmp, paletteAt + i * 4) & 0x00FFFFFF;
    }
    picture.indices.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(rows));
    const unsigned mask = (1u << bits) - 1;
    for (int y = 0; y < picture.height; ++y) {
        // A bitmap of positive height stores its bottom row first.
        const std::size_t stored = height > 0 ? static_cast<std::size_t>(picture.height - 1 - y)
                                              : static_cast<std::size_t>(y);
        const std::string_view row = bmp.substr(pixelsAt + stored * stride, stride);
        for (int x = 0; x < width; ++x) {
            const std::size_t bit = static_cast<std::size_t>(x) * bits;
            const auto byte = static_cast<unsigned char>(row[bit / 8]);
            picture.indices[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                            static_cast<std::size_t>(x)] =
                static_cast<std::uint8_t>((byte >> (8 - bits - bit % 8)) & mask);
        }
    }
    return picture;
}

PalettePicture ScaleKeepingLines(const PalettePicture& picture, int width, int height) {
    if (width == picture.width && height == picture.height) {
        return picture;
    }
    PalettePicture scaled;
    scaled.width = width;
    scaled.height = height;
    scaled.palette = picture.palette;
    const std::uint8_t background = picture.Background();
    scaled.indices.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                          background);
    for (int y = 0; y < height; ++y) {
        const Span rows = SourceSpan(y, picture.height, height);
        for (int x = 0; x < width; ++x) {
            const Span columns = SourceSpan(x, picture.width, width);
            std::uint8_t& pixel =
                scaled.indices[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                               static_cast<std::size_t>(x)];
            for (int sy = rows.first; sy < rows.end && pixel == background; ++sy) {
                for (int sx = columns.first; sx < columns.end; ++sx) {
                    if (picture.At(sx, sy) != background) {
                        pixel = picture.At(sx, sy);
                        break;
                    }
                }
            }
        }
    }
    return scaled;
}

} // namespace ui
