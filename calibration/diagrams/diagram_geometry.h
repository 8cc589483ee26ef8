#pragma once
// Where the calibration window's pictures and the labels over them sit, and so which parts of
// each wiring diagram must stay white: the window writes the resistance to set (Label3) into
// the input diagram and the output unit (Label5) onto the meter of the output diagram.
// Shared by the window, the diagram generator and the tests so that all three agree.

namespace calibration::diagrams {

constexpr int kWidth = 483;
constexpr int kHeight = 437;

struct Rect {
    int left;
    int top;
    int width;
    int height;
    constexpr int right() const { return left + width; }  // exclusive
    constexpr int bottom() const { return top + height; } // exclusive
};

// Positions on the tab pages.
constexpr Rect kImage1 = {32, 40, kWidth, kHeight};
constexpr Rect kImage2 = {32, 32, kWidth, kHeight};
constexpr Rect kLabel3 = {128, 176, 113, 24};
// Label5 stands at left 212 for the voltage output ("V") and at 204 for the current outputs.
constexpr int kLabel5LeftVolt = 212;
constexpr int kLabel5LeftCurrent = 204;
constexpr Rect kLabel5 = {kLabel5LeftCurrent, 194, 29, 24};

// The same areas in picture coordinates. The output area covers both positions of Label5.
constexpr Rect kInputLabelArea = {kLabel3.left - kImage1.left, kLabel3.top - kImage1.top,
                                  kLabel3.width, kLabel3.height};
constexpr Rect kOutputLabelArea = {kLabel5LeftCurrent - kImage2.left, kLabel5.top - kImage2.top,
                                   kLabel5LeftVolt - kLabel5LeftCurrent + kLabel5.width,
                                   kLabel5.height};

// The meter of the output diagram is a circle around the unit's area.
struct Point {
    int x;
    int y;
};
constexpr Point kMeterCentre = {kOutputLabelArea.left + kOutputLabelArea.width / 2,
                                kOutputLabelArea.top + kOutputLabelArea.height / 2};
constexpr int kMeterRadius = 40;

} // namespace calibration::diagrams
