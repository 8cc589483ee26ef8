#pragma once
// The main window's side of the calibration window: the controls of that window that the
// exchange engine switches, and showing it. The main window knows the calibration window only
// through this interface; the start-up code connects the two.

namespace calibration {

class CalibrationLink {
public:
    virtual ~CalibrationLink() = default;

    // Its "Калибровать" (Button1) and "Продолжить" (Button2).
    virtual void SetCalibrationButtonsEnabled(bool enabled) = 0;
    // Its "Продолжить" alone.
    virtual void SetContinueButtonEnabled(bool enabled) = 0;
    // Its flag for an output calibration that has not ended through success or recovery.
    virtual void SetCalibrationUnfinished(bool unfinished) = 0;
    // Shows the window modally; returns when it is hidden again.
    virtual void ShowModal() = 0;
};

} // namespace calibration
