#pragma once
// The screen cursor of the tool's windows: while the hourglass is on, every window of the tool
// shows it (they answer WM_SETCURSOR with it), whatever control the mouse is over.

namespace ui::win32 {

void ShowHourglass(bool on);
bool HourglassShown();

} // namespace ui::win32
