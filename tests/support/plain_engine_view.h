#pragma once
// An EngineView of plain fields for tests: each control the engine touches is a field the test
// sets up and inspects. Its initial state is the main window's just after it was shown
// (type 0 and range 0 selected, "0 - 10 В" output, the timer off at 2000 ms, "Калибровка" and
// "Считать" of the measurements disabled).

#include "catalogue/sensor_catalogue.h"
#include "catalogue/sensor_selection.h"
#include "protocol/engine_view.h"
#include "protocol/number_text.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

class PlainEngineView : public protocol::EngineView {
public:
    std::array<std::string, 2> statusText{"Передано:", "Принято:"};
    bool timerEnabled = false;
    int timerInterval = 2000;

    // Main window: ButtonRead, ButtonWrite, ButtonZ, ButtonTemp and Button2 ("Калибровка").
    bool readButton = true;
    bool writeButton = true;
    bool zButton = true;
    bool tempButton = false;
    bool calibrationButton = false;
    // Calibration window: Button1 ("Калибровать") and Button2 ("Продолжить").
    bool kalibrButton1 = true;
    bool kalibrButton2 = false;
    bool calibrationUnfinished = false;

    int applyPortNumberCalls = 0;
    // Runs inside ApplyPortNumber (e.g. to raise the settings file's error).
    std::function<void()> onApplyPortNumber;

    // Selected items of TipComboBox and DiapazonComboBox; nullopt when none is selected.
    std::optional<int> typeItem = 0;
    std::optional<int> rangeItem = 0;
    std::vector<int> selectedByIndex; // every SelectRangeByIndex call
    std::string upperText;
    std::string lowerText;
    std::string breakLevelText = "0";
    int outputType = 0;
    std::string measuredValueText = "Температура (град. С): 20";

    std::vector<std::string>* log = nullptr;

    PlainEngineView() { ShowRange(0); }

    void SetStatusText(int panel, const std::string& text) override {
        statusText.at(static_cast<std::size_t>(panel)) = text;
    }
    void SetTimerEnabled(bool enabled) override {
        if (log != nullptr && enabled != timerEnabled) {
            log->push_back(enabled ? "Timer on" : "Timer off");
        }
        timerEnabled = enabled;
    }
    bool TimerEnabled() const override { return timerEnabled; }
    void SetTimerInterval(int milliseconds) override {
        if (log != nullptr) {
            log->push_back("Interval " + std::to_string(milliseconds));
        }
        timerInterval = milliseconds;
    }
    int TimerInterval() const override { return timerInterval; }

    void SetTransactionButtonsEnabled(bool enabled) override {
        readButton = writeButton = zButton = tempButton = enabled;
    }
    void SetCalibrationButtonsEnabled(bool enabled) override {
        calibrationButton = kalibrButton1 = kalibrButton2 = enabled;
    }
    void SetContinueButtonEnabled(bool enabled) override { kalibrButton2 = enabled; }

    void ApplyPortNumber() override {
        if (log != nullptr) {
            log->push_back("ApplyPortNumber");
        }
        ++applyPortNumberCalls;
        if (onApplyPortNumber) {
            onApplyPortNumber();
        }
    }

    std::optional<int> SelectedTypeIndex() const override { return typeItem; }
    std::optional<int> SelectedRangeIndex() const override {
        if (!typeItem || !rangeItem) {
            return std::nullopt;
        }
        return catalogue::RangeIndexOf(*typeItem, *rangeItem);
    }
    void SelectRangeByIndex(int rangeIndex) override {
        selectedByIndex.push_back(rangeIndex);
        ShowRange(rangeIndex);
    }

    std::string UpperText() const override { return upperText; }
    void SetUpperText(const std::string& text) override { upperText = text; }
    std::string LowerText() const override { return lowerText; }
    void SetLowerText(const std::string& text) override { lowerText = text; }
    std::string BreakLevelText() const override { return breakLevelText; }
    void SetBreakLevelText(const std::string& text) override { breakLevelText = text; }

    int OutputTypeIndex() const override { return outputType; }
    void SetOutputTypeIndex(int index) override { outputType = index; }

    void SetMeasuredValueText(const std::string& text) override { measuredValueText = text; }

    void SetCalibrationUnfinished(bool unfinished) override { calibrationUnfinished = unfinished; }

    // Selects the range's type and item and puts its limits into the working-range fields, as
    // the window's selection by range index does.
    void ShowRange(int rangeIndex) {
        const catalogue::SensorRange* range = catalogue::FindSensorRange(rangeIndex);
        if (range == nullptr) {
            return;
        }
        typeItem = catalogue::TypeOfRange(rangeIndex);
        rangeItem = catalogue::RangeItemOf(rangeIndex);
        const char separator = protocol::SystemDecimalSeparator();
        lowerText = protocol::FormatNumber(range->Min, "###0.0", separator);
        upperText = protocol::FormatNumber(range->Max, "###0.0", separator);
    }
};

} // namespace testing_support
