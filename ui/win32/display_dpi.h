#pragma once
// The resolution and the work area of the monitor a window is on, and what its frame adds to
// its client area, on every Windows from 7 SP1 on. The per-monitor functions came with later
// versions (GetDpiForMonitor with 8.1, GetDpiForWindow and AdjustWindowRectExForDpi with 10
// 1607): they are looked up at run time, never imported, so the program starts where they are
// missing, and there the system's resolution (which is every monitor's on Windows 7) stands in.

#include "ui/window_scale.h"

#include <windows.h>

namespace ui::win32 {

// The messages of a monitor change, from the headers of later versions.
constexpr UINT kDpiChangedMessage = 0x02E0;       // WM_DPICHANGED, Windows 8.1
constexpr UINT kGetDpiScaledSizeMessage = 0x02E4; // WM_GETDPISCALEDSIZE, Windows 10 1703

// The resolution (dots per inch) the monitor of `window` is drawn at for this process.
int MonitorDpi(HWND window);

// The work area (the screen without the task bar) of the monitor that holds most of `rect`,
// or of the nearest one.
ScreenRect WorkAreaAt(const RECT& rect);

// What a frame of `style` adds to the client area at `dpi`; Windows before 10 1607 draw every
// frame at the system's resolution.
FrameSize FrameAt(DWORD style, DWORD exStyle, int dpi);

// Lets the system scale the title bar and borders of `window` with its monitor where only
// per-monitor awareness of Windows 8.1 is in force (Windows 10 1607 to 1703); later versions
// do it by themselves. Called while the window is being created (WM_NCCREATE).
void ScaleFrameWithMonitor(HWND window);

} // namespace ui::win32
