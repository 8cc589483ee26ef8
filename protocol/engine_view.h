#pragma once
// The window side that the exchange engine and the transactions reach: the controls of the main
// window (and the two calibration buttons of the calibration window) that they read and set, and
// the main window's timer. The application implements it with the real widgets; tests implement
// it with plain fields, so the engine runs without a display.

#include <optional>
#include <string>

namespace protocol {

class EngineView {
public:
    virtual ~EngineView() = default;

    // Status bar: panel 0 shows the last command sent, panel 1 the last reply received.
    virtual void SetStatusText(int panel, const std::string& text) = 0;

    // The main window's polling timer; while enabled it calls the engine's TimerTimer once per
    // interval on the user-interface thread.
    virtual void SetTimerEnabled(bool enabled) = 0;
    virtual bool TimerEnabled() const = 0;
    virtual void SetTimerInterval(int milliseconds) = 0;
    virtual int TimerInterval() const = 0;

    // ButtonRead, ButtonWrite, ButtonTemp and ButtonZ of the main window.
    virtual void SetTransactionButtonsEnabled(bool enabled) = 0;
    // Button2 ("Калибровка") of the main window and Button1 ("Калибровать") and Button2
    // ("Продолжить") of the calibration window.
    virtual void SetCalibrationButtonsEnabled(bool enabled) = 0;
    // Button2 ("Продолжить") of the calibration window alone.
    virtual void SetContinueButtonEnabled(bool enabled) = 0;

    // First step of every transaction started from the main window: stores a changed port
    // number in the settings file and reloads the port settings. May raise.
    virtual void ApplyPortNumber() = 0;

    // Sensor selection. The selected range index is FirstRange of the selected type plus the
    // selected item of the range list; nullopt while either list has no selected item.
    virtual std::optional<int> SelectedTypeIndex() const = 0;
    virtual std::optional<int> SelectedRangeIndex() const = 0;
    // Selects the type that owns range `rangeIndex` (0 to 25) and then that range, refilling
    // the range list and resetting the working-range fields to the range's limits.
    virtual void SelectRangeByIndex(int rangeIndex) = 0;

    // Edit boxes: UpEdit (upper working-range value), NullEdit (lower), OutEdit (break level, %).
    virtual std::string UpperText() const = 0;
    virtual void SetUpperText(const std::string& text) = 0;
    virtual std::string LowerText() const = 0;
    virtual void SetLowerText(const std::string& text) = 0;
    virtual std::string BreakLevelText() const = 0;
    virtual void SetBreakLevelText(const std::string& text) = 0;

    // TipOut: 0 for "0 - 10 В", 1 for "0 - 5 mA", 2 for "0 - 20 mA".
    virtual int OutputTypeIndex() const = 0;
    virtual void SetOutputTypeIndex(int index) = 0;

    // LabelTemp.
    virtual void SetMeasuredValueText(const std::string& text) = 0;

    // The calibration window's flag: an output calibration was started and has not ended
    // through its success or its recovery step.
    virtual void SetCalibrationUnfinished(bool unfinished) = 0;
};

} // namespace protocol
