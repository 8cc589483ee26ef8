#pragma once
// How large a window described as data is drawn, and where it goes, on a display of any
// resolution. The descriptions give pixels at 96 dots per inch; a window is drawn at the
// resolution of its monitor, unless it would not fit the monitor's work area there (the
// calibration window at 150 % on a 1080-line laptop screen): then at the highest resolution at
// which it fits, and it is placed inside the work area. Both front ends and their tests share
// these rules; a front end only measures its monitor, work area and frame.

namespace ui {

struct FormSpec;

// The resolution the descriptions are drawn for.
constexpr int kDesignDpi = 96;
// A window is not shrunk below this to fit a small work area: its 11-pixel face would be
// smaller than 8 pixels, which nobody reads. A work area too small even then gets the window at
// its top left, title bar reachable.
constexpr int kSmallestLayoutDpi = 72;

// A length of the description at `dpi`, to the nearest pixel (halves away from zero).
int ScaleLength(int length, int dpi);
// A character height at `dpi`, rounded down so that a caption never grows faster than the box
// around it; at least 1.
int ScaleFontHeight(int height, int dpi);
// The description at `dpi`: every place and size, every character height (the window's and the
// controls'), the client area and the status panels' widths. Everything else stays.
FormSpec ScaleForm(const FormSpec& design, int dpi);

struct ScreenRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int Right() const { return left + width; }  // exclusive
    int Bottom() const { return top + height; } // exclusive
    friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

// What a window's frame (title bar and borders) adds to its client area.
struct FrameSize {
    int width = 0;
    int height = 0;
};

// The resolution to draw a window of the description's client size at on a monitor of
// `monitorDpi`: the monitor's own, or the highest one below it at which the window with its
// frame fits `workArea` (not below kSmallestLayoutDpi, unless the monitor's is lower still).
int FittingDpi(int clientWidth, int clientHeight, int monitorDpi, FrameSize frame,
               ScreenRect workArea);

// A window of `width` × `height` (frame included) inside `workArea`: centred, or as near to the
// place whose top left is (`left`, `top`) as the work area allows. A window larger than the
// work area keeps its top left corner (and so its title bar) inside.
ScreenRect CentreInside(int width, int height, ScreenRect workArea);
ScreenRect KeepInside(int left, int top, int width, int height, ScreenRect workArea);

} // namespace ui
