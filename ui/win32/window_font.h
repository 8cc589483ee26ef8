#pragma once
// The windows' fonts: one face at a character height in pixels, as the window descriptions give
// them. Each font is made once and kept for the program's run, like the stock objects, so the
// controls that share it never hold a deleted one.

#include <windows.h>

#include <string>

namespace ui {
struct FormSpec;
}

namespace ui::win32 {

// The face at `characterHeight` pixels (a negative LOGFONT height: the character, not the cell),
// narrowed to `stretch` per cent of its own width.
HFONT FaceFont(const std::string& family, int characterHeight, int stretch = 100);

// How far the face must be narrowed (per cent, 60 to 100) for the labels of `spec` that size
// themselves to be as wide as the layout drew them: the layout's widths are those of MS Sans
// Serif, and a system without that face (Wine, a substitute face) offers a wider one.

int FaceStretch(const FormSpec& spec);

// Width and height of one line of `text` in `font`.
SIZE TextExtent(HFONT font, const std::wstring& text);

// The largest character height from `characterHeight` down to `smallest` at which `text` fits
// `room` pixels (the smallest when none does).
int FittingHeight(const std::string& family, int characterHeight, int stretch, int smallest,
                  const std::wstring& text, int room);

} // namespace ui::win32
