#pragma once
// The main window (TForm1) as data: its frame and every control with kind, parent, place, size,
// caption or items, tab order, initial state and font. Every toolkit's front end builds the
// window from it, and every front end's layout tests check what was built against it.

#include "ui/form_spec.h"

namespace app {

const ui::FormSpec& MainWindowDescription();

} // namespace app
