#include "ui/win32/picture.h"

#include "ui/palette_picture.h"

#include <cstring>
#include <vector>

namespace ui::win32 {

HBITMAP PictureBitmap(std::string_view bmpFile, COLORREF background, int width, int height) {
    const std::optional<PalettePicture> read = ReadPalettePicture(bmpFile);
    if (!read || width <= 0 || height <= 0) {
        return nullptr;
    }
    const PalettePicture picture = ScaleKeepingLines(*read, width, height);
    // One byte a pixel, rows from the top (a negative height), each padded to four bytes.
    struct Info {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info{};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = picture.width;
    info.header.biHeight = -picture.height;
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    info.header.biCompression = BI_RGB;
    info.header.biClrUsed = static_cast<DWORD>(picture.palette.size());
    for (std::size_t i = 0; i < picture.palette.size(); ++i) {
        const std::uint32_t colour = picture.palette[i];
        info.colours[i] = {static_cast<BYTE>(colour), static_cast<BYTE>(colour >> 8),
                           static_cast<BYTE>(colour >> 16), 0};
    }
    info.colours[picture.Background()] = {GetBValue(background), GetGValue(background),
                                          GetRValue(background), 0};
    const std::size_t stride = (static_cast<std::size_t>(picture.width) + 3) / 4 * 4;
    std::vector<unsigned char> pixels(stride * static_cast<std::size_t>(picture.height), 0);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            pixels[static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x)] =
                picture.At(x, y);
        }
    }
    // A section keeps the picture at its own depth, one byte a pixel: a bitmap at the screen's
    // depth would take 32 bits a pixel from the program's memory (under Wine) for the program's
    // whole life.
    void* section = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&info),
                                        DIB_RGB_COLORS, &section, nullptr, 0);
    if (bitmap != nullptr) {
        std::memcpy(section, pixels.data(), pixels.size());
    }
    return bitmap;
}

} // namespace ui::win32
