#pragma once
// The Qt calibration window in the surroundings of tests/calibration/linked_engine.h.

#include "calibration/qt/kalibr_form.h"
#include "tests/calibration/linked_engine.h"

namespace calibration_test {

struct KalibrRig : LinkedEngine {
    calibration::TKalibrForm form{engine, view, ui};

    KalibrRig() { view.link = &form.Logic(); }
};

} // namespace calibration_test
