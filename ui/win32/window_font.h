#pragma once
// The windows' fonts: one face at a character height in pixels, as the window descriptions give
// them. Each font is made once and kept for the program's run, like the stock objects, so the
// controls that share it never hold a deleted one.

#include <windows.h>

#include <string>

namespace ui::win32 {

// The face at `characterHeight` pixels (a negative LOGFONT height: the character, not the cell).
HFONT FaceFont(const std::string& family, int characterHeight);

// Width and height of one line of `text` in `font`.
SIZE TextExtent(HFONT font, const std::wstring& text);

// The largest character height from `characterHeight` down to `smallest` at which `text` fits
// `room` pixels (the smallest when none does).
int FittingHeight(const std::string& family, int characterHeight, int smallest,
                  const std::wstring& text, int room);

} // namespace ui::win32
