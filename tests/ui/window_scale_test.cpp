// A description drawn at another resolution, and where a window of it goes: the monitor's
// resolution where the window fits its work area, the highest that fits where not (down to the
// smallest legible one), and always inside the work area when it can be.

#include "ui/window_scale.h"

#include "ui/form_spec.h"

#include <gtest/gtest.h>

namespace {

using ui::FrameSize;
using ui::ScreenRect;

TEST(WindowScale, LengthsRoundToTheNearestPixelAndFontsDown) {
    const struct {
        int value, dpi, length, font;
    } rows[] = {
        {11, 96, 11, 11},  {11, 120, 14, 13},    {11, 144, 17, 16}, {11, 192, 22, 22},
        {25, 144, 38, 37}, {665, 144, 998, 997}, {11, 72, 8, 8},    {-5, 144, -8, 1},
        {1, 48, 1, 1},     {0, 144, 0, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.value << " at " << row.dpi);
        EXPECT_EQ(ui::ScaleLength(row.value, row.dpi), row.length);
        EXPECT_EQ(ui::ScaleFontHeight(row.value, row.dpi), row.font);
    }
}

TEST(WindowScale, AFormScalesPlacesSizesFontsAndPanelsAndKeepsTheRest) {
    ui::FormSpec design;
    design.name = "Form1";
    design.clientWidth = 541;
    design.clientHeight = 442;
    design.fontHeight = 11;
    design.controls = {
        {.name = "Label3",
         .kind = ui::ControlKind::Label,
         .left = 128,
         .top = 176,
         .width = 113,
         .height = 24,
         .text = "R=0,0 Om",
         .autoSize = false,
         .fontHeight = 21},
        {.name = "StatusBar",
         .kind = ui::ControlKind::StatusBar,
         .left = 0,
         .top = 417,
         .width = 541,
         .height = 25,
         .panels = {{"Передано:", 170}, {"Принято:", 50}}},
        {.name = "Button1",
         .kind = ui::ControlKind::Button,
         .parent = "GroupBox4",
         .left = 8,
         .top = 112,
         .width = 201,
         .height = 25,
         .tabOrder = 2},
    };
    const ui::FormSpec scaled = ui::ScaleForm(design, 144);
    EXPECT_EQ(scaled.clientWidth, 812);
    EXPECT_EQ(scaled.clientHeight, 663);
    EXPECT_EQ(scaled.fontHeight, 16);
    const ui::ControlSpec& label = scaled.Control("Label3");
    EXPECT_EQ((ScreenRect{label.left, label.top, label.width, label.height}),
              (ScreenRect{192, 264, 170, 36}));
    EXPECT_EQ(label.fontHeight, 31);
    EXPECT_EQ(label.text, "R=0,0 Om");
    EXPECT_FALSE(label.autoSize);
    const ui::ControlSpec& bar = scaled.Control("StatusBar");
    EXPECT_EQ(bar.top, 626);
    EXPECT_EQ(bar.panels[0].width, 255);
    EXPECT_EQ(bar.panels[1].width, 75);
    EXPECT_EQ(bar.panels[1].text, "Принято:");
    const ui::ControlSpec& button = scaled.Control("Button1");
    EXPECT_EQ(button.fontHeight, 0); // the window's face, whatever its size
    EXPECT_EQ(button.parent, "GroupBox4");
    EXPECT_EQ(button.tabOrder, 2);
}

// Frames as Windows 10 draws a fixed dialog with a title bar at 96, 144 and 192 dots per inch.
constexpr FrameSize kFrame96{6, 29};
constexpr FrameSize kFrame144{9, 44};
constexpr FrameSize kFrame192{12, 58};

struct ClientSize {
    int width, height;
};
constexpr ClientSize kMainWindow{541, 442};
constexpr ClientSize kCalibrationWindow{562, 665};

struct PlacementRow {
    ClientSize client;
    int monitorDpi;
    FrameSize frame;
    ScreenRect workArea;
    int dpi;              // drawn at
    ScreenRect frameRect; // the window with its frame, centred
};

class PlacementTest : public testing::TestWithParam<PlacementRow> {};

TEST_P(PlacementTest, TheWindowIsDrawnAtTheHighestFittingDpiAndCentredInside) {
    const PlacementRow& row = GetParam();
    const int dpi = ui::FittingDpi(row.client.width, row.client.height, row.monitorDpi, row.frame,
                                   row.workArea);
    EXPECT_EQ(dpi, row.dpi);
    const int width = ui::ScaleLength(row.client.width, dpi) + row.frame.width;
    const int height = ui::ScaleLength(row.client.height, dpi) + row.frame.height;
    const ScreenRect placed = ui::CentreInside(width, height, row.workArea);
    EXPECT_EQ(placed, row.frameRect);
    if (width <= row.workArea.width && height <= row.workArea.height) {
        EXPECT_GE(placed.left, row.workArea.left);
        EXPECT_GE(placed.top, row.workArea.top);
        EXPECT_LE(placed.Right(), row.workArea.Right());
        EXPECT_LE(placed.Bottom(), row.workArea.Bottom());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Windows, PlacementTest,
    testing::Values(
        // Both windows fit at their monitor's resolution.
        PlacementRow{kMainWindow, 96, kFrame96, {0, 0, 1280, 1024}, 96, {366, 276, 547, 471}},
        PlacementRow{kMainWindow, 120, kFrame96, {0, 0, 1366, 728}, 120, {342, 73, 682, 582}},
        // The calibration window that once stood at y = -5: 665 + 29 lines do not fit 680; at
        // 94 dpi its 651.15 lines round to the 651 there are.
        PlacementRow{kCalibrationWindow, 96, kFrame96, {0, 0, 1280, 680}, 94, {362, 0, 556, 680}},
        // 150 % on a 1080-line laptop screen with its task bar: 998 + 44 lines do not fit 1040.
        PlacementRow{
            kCalibrationWindow, 144, kFrame144, {0, 0, 1920, 1040}, 143, {537, 2, 846, 1035}},
        PlacementRow{
            kCalibrationWindow, 192, kFrame192, {0, 0, 1366, 768}, 102, {378, 1, 609, 765}},
        // A monitor left of and below the primary one.
        PlacementRow{
            kMainWindow, 96, kFrame96, {-1920, 40, 1920, 1040}, 96, {-1234, 324, 547, 471}},
        // Below 72 dots per inch nobody reads the face: the window keeps its title bar inside.
        PlacementRow{kCalibrationWindow, 96, kFrame96, {0, 0, 800, 480}, 72, {186, 0, 428, 528}},
        // A monitor of less than 72 keeps its own.
        PlacementRow{kMainWindow, 60, kFrame96, {0, 0, 1024, 768}, 60, {340, 231, 344, 305}}));

TEST(WindowScale, ASuggestedPlaceIsKeptOrPulledInsideTheWorkArea) {
    const ScreenRect work{0, 0, 1280, 1024};
    const struct {
        int left, top;
        ScreenRect expected;
    } rows[] = {
        {100, 100, {100, 100, 600, 500}}, // inside: kept
        {900, 700, {680, 524, 600, 500}}, // over the right and bottom edges
        {-50, -20, {0, 0, 600, 500}},     // over the left and top edges
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ui::KeepInside(row.left, row.top, 600, 500, work), row.expected);
    }
    // Larger than the work area: its top left corner stays inside, the title bar reachable.
    EXPECT_EQ(ui::KeepInside(300, 300, 1400, 1100, work), (ScreenRect{0, 0, 1400, 1100}));
}

} // namespace
