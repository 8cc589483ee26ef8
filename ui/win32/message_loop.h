#pragma once
// The message loop of the tool's windows, with the keys of a standard dialog: Tab and the arrow
// keys move the focus through the tab stops and within groups (IsDialogMessageW), Space and
// Enter press the focused push button, Enter and Escape do nothing else (a dropped list still
// takes them to close).

#include <windows.h>

#include <functional>

namespace ui::win32 {

// Handles the keys of a tool window for a message taken from the queue; true when the message
// needs no further translation or dispatch.
bool HandleDialogKeys(MSG& message);

// Runs the loop until `done` is true after a message, or WM_QUIT arrives (which is put back for
// the loops outside). Returns false on WM_QUIT.
bool RunMessageLoopUntil(const std::function<bool()>& done);

// Runs the loop until WM_QUIT; returns its exit code.
int RunMessageLoop();

// Handles every message waiting now, without blocking; false on WM_QUIT (which is put back).
bool PumpWaitingMessages();

} // namespace ui::win32
