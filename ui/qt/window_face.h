#pragma once
// The face of both windows: "MS Sans Serif" where the system has it. Elsewhere the substitute
// face is narrowed until the layout's own captions are as wide as they are in MS Sans Serif, so
// every caption fits the box the layout gives it, whatever sans-serif face the system offers.

#include <QFont>

namespace ui::qt {

// The windows' face at the given character height in pixels. The choice of family and the
// narrowing are made once per run, so both windows and every size agree.
QFont WindowFace(int pixelHeight);

// The horizontal stretch (percent, 100 = none) that WindowFace applies to the system's face.
int WindowFaceStretch();

} // namespace ui::qt
