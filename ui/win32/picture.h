#pragma once
// Pictures of the windows come as the bytes of a Windows bitmap file, the same bytes the Qt
// front end shows. They are drawn transparent: the colour of the bottom-left pixel (the
// background) becomes the button face, so the page shows through and the lines stay. A window
// drawn at another resolution gets its pictures scaled without losing a line.

#include <windows.h>

#include <string_view>

namespace ui::win32 {

// A bitmap of `width` × `height` for a static picture control, or nullptr when the bytes are not
// an uncompressed bitmap file with a palette (1, 4 or 8 bits per pixel) or a size is not
// positive.
HBITMAP PictureBitmap(std::string_view bmpFile, COLORREF background, int width, int height);

} // namespace ui::win32
