#pragma once
// The keys of both windows, as on a standard dialog of the system the tool comes from: Enter
// presses the focused push button (Space already does), and Escape closes nothing, since neither
// window has a Cancel button and a stray Escape in the middle of a calibration must not end it.

class QKeyEvent;
class QWidget;

namespace ui::qt {

// Handles Enter and Escape for `window`; true when the key was one of them (and is used up).
bool HandleWindowKey(QWidget& window, QKeyEvent& event);

} // namespace ui::qt
