#include "ui/win32/window_font.h"

#include "ui/form_spec.h"
#include "ui/win32/wide_text.h"

#include <algorithm>
#include <cmath>

#include <map>
#include <mutex>
#include <tuple>
#include <utility>

namespace ui::win32 {

namespace {

constexpr int NarrowestStretch = 60;

LOGFONTW FaceRecord(const std::string& family, int characterHeight) {
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
    return face;
}

LONG AverageWidth(const LOGFONTW& face) {
    HFONT font = ::CreateFontIndirectW(&face);
    HDC dc = ::GetDC(nullptr);
    HGDIOBJ previous = ::SelectObject(dc, font);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    ::SelectObject(dc, previous);
    ::ReleaseDC(nullptr, dc);
    ::DeleteObject(font);
    return metrics.tmAveCharWidth;
}

} // namespace

HFONT FaceFont(const std::string& family, int characterHeight, int stretch) {
    static std::mutex mutex;
    static std::map<std::tuple<std::string, int, int>, HFONT> fonts;
    std::lock_guard lock(mutex);
    HFONT& font = fonts[{family, characterHeight, stretch}];
    if (font == nullptr) {
        LOGFONTW face = FaceRecord(family, characterHeight);
        if (stretch < 100) {
            // A narrower average character width scales the outline face horizontally.
            face.lfWidth = std::max<LONG>(1, AverageWidth(face) * stretch / 100);
        }
        font = ::CreateFontIndirectW(&face);
    }
    return font;
}

int FaceStretch(const FormSpec& spec) {
    double ratio = 1.0;
    for (const ControlSpec& control : spec.controls) {
        if (control.kind != ControlKind::Label || !control.autoSize || control.text.empty()) {
            continue;
        }
        const int height = control.fontHeight > 0 ? control.fontHeight : spec.fontHeight;
        const LONG width = TextExtent(FaceFont(spec.fontFamily, height), Wide(control.text)).cx;
        if (width > 0) {
            ratio = std::min(ratio, static_cast<double>(control.width) / width);
        }
    }
    // Rounded down, so the narrowed captions end within the layout's widths.
    return std::clamp(static_cast<int>(std::floor(ratio * 100.0)), NarrowestStretch, 100);
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

int FittingHeight(const std::string& family, int characterHeight, int stretch, int smallest,
                  const std::wstring& text, int room) {
    int height = characterHeight;
    while (height > smallest && TextExtent(FaceFont(family, height, stretch), text).cx > room) {
        --height;
    }
    return height;
}

} // namespace ui::win32
