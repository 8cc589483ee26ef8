// The windows' pictures read from their bitmap files (1, 4 and 8 bits per pixel, rows either
// way up, anything else or anything cut short refused) and scaled to another resolution without
// losing a line.

#include "ui/palette_picture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using ui::PalettePicture;

// A bitmap file of `rows` (top first, one palette index a pixel) as a drawing program writes
// it: bottom-up unless `topDown`, each row padded to four bytes.
std::string BitmapFile(const std::vector<std::vector<int>>& rows, int bits, bool topDown = false,
                       std::uint32_t coloursUsed = 2) {
    const int width = static_cast<int>(rows.front().size());
    const int height = static_cast<int>(rows.size());
    const int stride = (width * bits + 31) / 32 * 4;
    std::string file;
    const auto put = [&file](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            file.push_back(static_cast<char>(value >> (8 * i)));
        }
    };
    const std::uint32_t offset = 14 + 40 + 4 * coloursUsed;
    file += "BM";
    put(offset + static_cast<std::uint32_t>(stride * height), 4);
    put(0, 4);
    put(offset, 4);
    put(40, 4);
    put(static_cast<std::uint32_t>(width), 4);
    put(static_cast<std::uint32_t>(topDown ? -height : height), 4);
    put(1, 2);
    put(static_cast<std::uint32_t>(bits), 2);
    put(0, 4); // uncompressed
    put(static_cast<std::uint32_t>(stride * height), 4);
    put(3780, 4);
    put(3780, 4);
    put(coloursUsed, 4);
    put(0, 4);
    for (std::uint32_t i = 0; i < coloursUsed; ++i) {
        put(i == 0 ? 0x000000 : 0xFFFFFF - i, 4); // index 0 black, the others light
    }
    for (int r = 0; r < height; ++r) {
        const auto& row = rows[static_cast<std::size_t>(topDown ? r : height - 1 - r)];
        std::string bytes(static_cast<std::size_t>(stride), '\0');
        for (int x = 0; x < width; ++x) {
            const int bit = x * bits;
            bytes[static_cast<std::size_t>(bit / 8)] =
                static_cast<char>(bytes[static_cast<std::size_t>(bit / 8)] |
                                  (row[static_cast<std::size_t>(x)] << (8 - bits - bit % 8)));
        }
        file += bytes;
    }
    return file;
}

std::vector<std::vector<int>> IndicesOf(const PalettePicture& picture) {
    std::vector<std::vector<int>> rows(static_cast<std::size_t>(picture.height));
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            rows[static_cast<std::size_t>(y)].push_back(picture.At(x, y));
        }
    }
    return rows;
}

TEST(PalettePicture, EveryDepthAndBothRowOrdersReadTheSamePixels) {
    // Wider than a byte and a 32-bit word at one bit, so the padding and the bit order count.
    std::vector<std::vector<int>> rows(3, std::vector<int>(37, 1));
    rows[0][0] = 0;
    rows[0][36] = 0;
    rows[1][8] = 0;
    rows[2][31] = 0;
    rows[2][32] = 0;
    for (const int bits : {1, 4, 8}) {
        for (const bool topDown : {false, true}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, top down " << topDown);
            const auto picture = ui::ReadPalettePicture(BitmapFile(rows, bits, topDown));
            ASSERT_TRUE(picture.has_value());
            EXPECT_EQ(picture->width, 37);
            EXPECT_EQ(picture->height, 3);
            EXPECT_EQ(IndicesOf(*picture), rows);
            ASSERT_EQ(picture->palette.size(), std::size_t{1} << bits);
            EXPECT_EQ(picture->palette[0], 0x000000u);
            EXPECT_EQ(picture->palette[1], 0xFFFFFEu);
            EXPECT_EQ(picture->Background(), 1); // the bottom-left pixel's
        }
    }
}

TEST(PalettePicture, WhatIsNoPaletteBitmapOrIsCutShortIsRefused) {
    const std::vector<std::vector<int>> rows(4, std::vector<int>(8, 1));
    const std::string good = BitmapFile(rows, 1);
    ASSERT_TRUE(ui::ReadPalettePicture(good).has_value());
    const auto patched = [&good](std::size_t at, std::uint32_t value, int bytes = 4) {
        std::string file = good;
        for (int i = 0; i < bytes; ++i) {
            file[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
        }
        return file;
    };
    const struct {
        const char* what;
        std::string file;
    } refused[] = {
        {"empty", ""},
        {"headers cut short", good.substr(0, 40)},
        {"pixels cut short", good.substr(0, good.size() - 1)},
        {"not a bitmap", "PK" + good.substr(2)},
        {"compressed", patched(30, 1)},
        {"24 bits a pixel", patched(28, 24, 2)},
        {"no width", patched(18, 0)},
        {"negative width", patched(18, 0xFFFFFFF8u)},
        {"no height", patched(22, 0)},
        {"a huge height", patched(22, 0x7FFFFFFFu)},
        {"more colours than one bit holds", patched(46, 3)},
        {"pixels beyond the end", patched(10, 0xFFFFFFF0u)},
        {"an info header beyond the end", patched(14, 0xFFFFFF00u)},
    };
    for (const auto& row : refused) {
        EXPECT_FALSE(ui::ReadPalettePicture(row.file).has_value()) << row.what;
    }
}

// A drawing of one-pixel lines on a white background (the bottom-left pixel's): a frame, a
// diagonal and lines one pixel apart, the hardest case for a reduction.
PalettePicture Drawing() {
    PalettePicture picture;
    picture.width = 40;
    picture.height = 30;
    picture.palette = {0x000000, 0xFFFFFF};
    picture.indices.assign(40 * 30, 1);
    const auto ink = [&picture](int x, int y) {
        picture.indices[static_cast<std::size_t>(y * 40 + x)] = 0;
    };
    for (int x = 1; x < 39; ++x) {
        ink(x, 1);
        ink(x, 28);
    }
    for (int y = 1; y < 29; ++y) {
        ink(1, y);
        ink(38, y);
        ink(y + 5, y);
    }
    for (int x = 10; x < 30; x += 2) {
        for (int y = 5; y < 12; ++y) {
            ink(x, y);
        }
    }
    return picture;
}

// Whether any pixel of `scaled` that overlaps source pixel (x, y) of `source` is ink.
bool InkOver(const PalettePicture& source, const PalettePicture& scaled, int x, int y) {
    // Result pixel t covers source [t * from / to, (t + 1) * from / to): it overlaps source
    // pixel s when t * from < (s + 1) * to and s * to < (t + 1) * from.
    for (int ty = 0; ty < scaled.height; ++ty) {
        if (ty * source.height >= (y + 1) * scaled.height ||
            y * scaled.height >= (ty + 1) * source.height) {
            continue;
        }
        for (int tx = 0; tx < scaled.width; ++tx) {
            if (tx * source.width < (x + 1) * scaled.width &&
                x * scaled.width < (tx + 1) * source.width && scaled.At(tx, ty) == 0) {
                return true;
            }
        }
    }
    return false;
}

TEST(PalettePicture, NoLineIsLostAtAnyScale) {
    const PalettePicture source = Drawing();
    // 120, 144 and 192 dots per inch from pictures drawn for 96 or 192, and the reductions
    // that fit a window into a small work area.
    const struct {
        int width, height;
    } sizes[] = {{20, 15}, {25, 19}, {30, 22}, {33, 25}, {39, 29}, {50, 38}, {60, 45}, {80, 60}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(testing::Message() << size.width << " x " << size.height);
        const PalettePicture scaled = ui::ScaleKeepingLines(source, size.width, size.height);
        ASSERT_EQ(scaled.width, size.width);
        ASSERT_EQ(scaled.height, size.height);
        EXPECT_EQ(scaled.palette, source.palette);
        int lost = 0;
        for (int y = 0; y < source.height; ++y) {
            for (int x = 0; x < source.width; ++x) {
                lost += source.At(x, y) == 0 && !InkOver(source, scaled, x, y) ? 1 : 0;
            }
        }
        EXPECT_EQ(lost, 0);
        // Still a drawing on its background, not a blot.
        int background = 0;
        for (const std::uint8_t index : scaled.indices) {
            background += index == 1 ? 1 : 0;
        }
        EXPECT_GT(background, size.width * size.height / 4);
    }
}

TEST(PalettePicture, DoublingAndHalvingAreExact) {
    PalettePicture dot;
    dot.width = 8;
    dot.height = 6;
    dot.palette = {0x000000, 0xFFFFFF};
    dot.indices.assign(48, 1);
    dot.indices[2 * 8 + 5] = 0; // (5, 2)
    const PalettePicture doubled = ui::ScaleKeepingLines(dot, 16, 12);
    const PalettePicture halved = ui::ScaleKeepingLines(dot, 4, 3);
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 16; ++x) {
            EXPECT_EQ(doubled.At(x, y), (x / 2 == 5 && y / 2 == 2) ? 0 : 1) << x << "," << y;
        }
    }
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(halved.At(x, y), (x == 2 && y == 1) ? 0 : 1) << x << "," << y;
        }
    }
    EXPECT_EQ(IndicesOf(ui::ScaleKeepingLines(dot, 8, 6)), IndicesOf(dot));
}

} // namespace
