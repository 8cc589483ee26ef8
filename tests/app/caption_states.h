#pragma once
// The states in which each window shows its longest captions, entered through the windows'
// logic, whatever toolkit draws them: the renderer conformance suite checks that every caption
// still fits there.

#include "app/main_window_logic.h"
#include "calibration/kalibr_form_logic.h"
#include "tests/ui/rendered_window.h"

#include <vector>

namespace app_test {

inline std::vector<conformance::CaptionState> MainWindowCaptionStates(app::MainWindowLogic& main) {
    return {
        {"ohms, widest range",
         [&main] {
             main.SelectRangeByIndex(24);
             main.SetMeasuredValueText("Сопротивление (Ом): 2500.0");
         }},
        {"degrees, widest range text", [&main] { main.SelectRangeByIndex(15); }},
    };
}

inline std::vector<conformance::CaptionState>
CalibrationCaptionStates(app::MainWindowLogic& main, calibration::KalibrFormLogic& kalibr) {
    const auto stage = [&main, &kalibr](int range, int output, bool gain) {
        return [&main, &kalibr, range, output, gain] {
            main.SelectRangeByIndex(range);
            main.SetOutputTypeIndex(output);
            kalibr.FormShow();
            if (gain) {
                kalibr.Button2Click();
            }
        };
    };
    return {
        {"zero stage, volts", stage(0, 0, false)},
        {"gain stage, kilo-ohms, milliamperes", stage(24, 2, true)},
        {"gain stage, ohms", stage(7, 1, true)},
    };
}

} // namespace app_test
