#pragma once
// Pictures of the windows come as the bytes of a Windows bitmap file, the same bytes the Qt
// front end shows. They are drawn transparent: the colour of the bottom-left pixel (the
// background) becomes the button face, so the page shows through and the lines stay.

#include <windows.h>

#include <string_view>

namespace ui::win32 {

// A bitmap for a static picture control, or nullptr when the bytes are not an uncompressed
// bitmap file with a palette (1, 4 or 8 bits per pixel).
HBITMAP PictureBitmap(std::string_view bmpFile, COLORREF background);

} // namespace ui::win32
