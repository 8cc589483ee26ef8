#pragma once
// The calibration window (TKalibrForm) as data: its frame and every control with kind, parent,
// place, size, caption, tab order, initial state and font. Every toolkit's front end builds the
// window from it, and every front end's layout tests check what was built against it.

#include "ui/form_spec.h"

namespace calibration {

const ui::FormSpec& KalibrFormDescription();

} // namespace calibration
