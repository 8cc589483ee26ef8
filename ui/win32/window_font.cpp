#include "ui/win32/window_font.h"

#include "ui/win32/wide_text.h"

#include <map>
#include <mutex>
#include <utility>

namespace ui::win32 {

HFONT FaceFont(const std::string& family, int characterHeight) {
    static std::mutex mutex;
    static std::map<std::pair<std::string, int>, HFONT> fonts;
    std::lock_guard lock(mutex);
    HFONT& font = fonts[{family, characterHeight}];
    if (font == nullptr) {
        LOGFONTW face{};
        face.lfHeight = -characterHeight;
        face.lfWeight = FW_NORMAL;
        // The texts are Cyrillic: a face without those letters must not be taken for the name.
        face.lfCharSet = RUSSIAN_CHARSET;
        face.lfOutPrecision = OUT_DEFAULT_PRECIS;
        face.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        face.lfQuality = DEFAULT_QUALITY;
        face.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
        const std::wstring name = Wide(family);
        name.copy(face.lfFaceName, LF_FACESIZE - 1);
        font = ::CreateFontIndirectW(&face);
    }
    return font;
}

SIZE TextExtent(HFONT font, const std::wstring& text) {
    SIZE size{};
    HDC dc = ::GetDC(nullptr);
    HGDIOBJ previous = ::SelectObject(dc, font);
    if (text.empty()) {
        TEXTMETRICW metrics{};
        ::GetTextMetricsW(dc, &metrics);
        size.cy = metrics.tmHeight;
    } else {
        ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    }
    ::SelectObject(dc, previous);
    ::ReleaseDC(nullptr, dc);
    return size;
}

int FittingHeight(const std::string& family, int characterHeight, int smallest,
                  const std::wstring& text, int room) {
    int height = characterHeight;
    while (height > smallest && TextExtent(FaceFont(family, height), text).cx > room) {
        --height;
    }
    return height;
}

} // namespace ui::win32
