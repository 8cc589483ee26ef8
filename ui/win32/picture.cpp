#include "ui/win32/picture.h"

#include <cstring>
#include <vector>

namespace ui::win32 {

HBITMAP PictureBitmap(std::string_view bmpFile, COLORREF background) {
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER header{};
    if (bmpFile.size() < sizeof file + sizeof header) {
        return nullptr;
    }
    std::memcpy(&file, bmpFile.data(), sizeof file);
    std::memcpy(&header, bmpFile.data() + sizeof file, sizeof header);
    const int bits = header.biBitCount;
    if (file.bfType != 0x4D42 || header.biCompression != BI_RGB ||
        (bits != 1 && bits != 4 && bits != 8) || header.biWidth <= 0 || header.biHeight == 0) {
        return nullptr;
    }
    const std::size_t colours = header.biClrUsed != 0 ? header.biClrUsed : (1u << bits);
    const std::size_t infoSize = header.biSize + colours * sizeof(RGBQUAD);
    const std::size_t stride = ((static_cast<std::size_t>(header.biWidth) * bits + 31) / 32) * 4;
    const std::size_t rows =
        static_cast<std::size_t>(header.biHeight > 0 ? header.biHeight : -header.biHeight);
    if (header.biSize < sizeof header || sizeof file + infoSize > bmpFile.size() ||
        file.bfOffBits + stride * rows > bmpFile.size()) {
        return nullptr;
    }
    std::vector<unsigned char> info(bmpFile.begin() + sizeof file,
                                    bmpFile.begin() +
                                        static_cast<std::ptrdiff_t>(sizeof file + infoSize));
    const auto* pixels = reinterpret_cast<const unsigned char*>(bmpFile.data() + file.bfOffBits);
    // A bottom-up bitmap stores its bottom row first.
    const unsigned char* bottomRow = header.biHeight > 0 ? pixels : pixels + stride * (rows - 1);
    const unsigned index = (bottomRow[0] >> (8 - bits)) & ((1u << bits) - 1);
    if (index < colours) {
        RGBQUAD face{GetBValue(background), GetGValue(background), GetRValue(background), 0};
        std::memcpy(info.data() + header.biSize + index * sizeof(RGBQUAD), &face, sizeof face);
    }
    // A section keeps the picture at its own depth, a few kilobytes for a 1-bit diagram: a
    // bitmap at the screen's depth would take 32 bits a pixel from the program's memory
    // (under Wine) for the program's whole life.
    void* section = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(info.data()),
                                        DIB_RGB_COLORS, &section, nullptr, 0);
    if (bitmap != nullptr) {
        std::memcpy(section, pixels, stride * rows);
    }
    return bitmap;
}

} // namespace ui::win32
