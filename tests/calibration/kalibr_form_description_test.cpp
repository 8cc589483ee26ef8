// The calibration window's description against its control table, and the two wiring diagrams
// built into the program.

#include "calibration/diagram_bitmaps.h"
#include "calibration/kalibr_form_description.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using ui::ControlKind;

struct Row {
    const char* name;
    ControlKind kind;
    const char* parent;
    int left, top, width, height;
    const char* text;
    int tab;
    bool enabled;
    int fontHeight; // 0: the window's 11
};

const Row kTable[] = {
    {"PageControl1", ControlKind::PageControl, "", 8, 8, 545, 649, "", -1, true, 0},
    {"TabSheet1", ControlKind::TabSheet, "PageControl1", 0, 0, 0, 0, "Калибровка входа", -1, true,
     0},
    {"Image1", ControlKind::Picture, "TabSheet1", 32, 40, 483, 437, "", -1, true, 0},
    {"Label1", ControlKind::Label, "TabSheet1", 152, 8, 200, 29, "Калибровка нуля", -1, true, 24},
    {"Label2", ControlKind::Label, "TabSheet1", 120, 496, 292, 24, "Для калибровки соберите схему",
     -1, true, 19},
    {"Label3", ControlKind::Label, "TabSheet1", 128, 176, 113, 24, "R=0,0 Om", -1, true, 21},
    {"ButtonExit", ControlKind::Button, "TabSheet1", 232, 580, 75, 25, "Отмена", 0, true, 0},
    {"Button1", ControlKind::Button, "TabSheet1", 136, 536, 113, 25, "Калибровать", 1, true, 0},
    {"Button2", ControlKind::Button, "TabSheet1", 292, 536, 121, 25, "Продолжить", 2, false, 0},
    {"TabSheet2", ControlKind::TabSheet, "PageControl1", 0, 0, 0, 0, "Калибровка выхода", -1, true,
     0},
    {"Image2", ControlKind::Picture, "TabSheet2", 32, 32, 483, 437, "", -1, true, 0},
    {"Label4", ControlKind::Label, "TabSheet2", 120, 488, 292, 24, "Для калибровки соберите схему",
     -1, true, 19},
    {"Label5", ControlKind::Label, "TabSheet2", 204, 194, 29, 24, "mA", -1, true, 21},
    {"Button3", ControlKind::Button, "TabSheet2", 104, 552, 97, 25, "Калибровать", 0, true, 0},
    {"Button4", ControlKind::Button, "TabSheet2", 344, 552, 97, 25, "Выход", 1, true, 0},
};

TEST(KalibrFormDescription, EveryControlAsTheTableGivesIt) {
    const ui::FormSpec& form = calibration::KalibrFormDescription();
    ASSERT_EQ(form.controls.size(), std::size(kTable));
    for (const Row& row : kTable) {
        SCOPED_TRACE(row.name);
        const ui::ControlSpec& control = form.Control(row.name);
        EXPECT_EQ(control.kind, row.kind);
        EXPECT_EQ(control.parent, row.parent);
        EXPECT_EQ(control.left, row.left);
        EXPECT_EQ(control.top, row.top);
        EXPECT_EQ(control.width, row.width);
        EXPECT_EQ(control.height, row.height);
        EXPECT_EQ(control.text, row.text);
        EXPECT_EQ(control.tabOrder, row.tab);
        EXPECT_EQ(control.enabled, row.enabled);
        EXPECT_EQ(control.fontHeight, row.fontHeight);
        EXPECT_TRUE(control.visible);
    }
}

TEST(KalibrFormDescription, FrameLabelsAndPictures) {
    const ui::FormSpec& form = calibration::KalibrFormDescription();
    EXPECT_EQ(form.name, "KalibrForm");
    EXPECT_EQ(form.caption, "Калибровка прибора");
    EXPECT_EQ(form.clientWidth, 562);
    EXPECT_EQ(form.clientHeight, 665);
    EXPECT_EQ(form.frame, ui::FrameKind::FixedDialogWithCloseBox);
    EXPECT_EQ(form.fontHeight, 11);
    EXPECT_EQ(form.Control("PageControl1").itemIndex, 0) << "the first page is active";
    // Label3 has a fixed box and hides the picture under it; Label5 is written onto it.
    EXPECT_FALSE(form.Control("Label3").autoSize);
    EXPECT_FALSE(form.Control("Label3").transparent);
    EXPECT_TRUE(form.Control("Label5").autoSize);
    EXPECT_TRUE(form.Control("Label5").transparent);
    EXPECT_TRUE(form.Control("Image1").transparent);
    EXPECT_TRUE(form.Control("Image2").transparent);
    // The labels over a picture come after it, so they are drawn above it.
    const auto position = [&form](const std::string& name) {
        return std::find_if(form.controls.begin(), form.controls.end(),
                            [&name](const ui::ControlSpec& c) { return c.name == name; }) -
               form.controls.begin();
    };
    EXPECT_LT(position("Image1"), position("Label3"));
    EXPECT_LT(position("Image2"), position("Label5"));
}

std::uint32_t Le32(const std::span<const std::uint8_t>& bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

// Uncompressed Windows bitmaps of 483 x 437 pixels at 1 bit per pixel with a two-colour palette
// (black and white), 28030 bytes each; the input and output diagrams differ.
TEST(KalibrFormDescription, DiagramsAreTheTwoBitmapsOfThePictures) {
    const ui::FormSpec& form = calibration::KalibrFormDescription();
    std::vector<std::span<const std::uint8_t>> pictures;
    for (const char* image : {"Image1", "Image2"}) {
        SCOPED_TRACE(image);
        const auto bytes = calibration::DiagramBitmap(form.Control(image).picture);
        ASSERT_EQ(bytes.size(), 28030U);
        EXPECT_EQ(bytes[0], 'B');
        EXPECT_EQ(bytes[1], 'M');
        EXPECT_EQ(Le32(bytes, 2), 28030U);        // file size
        EXPECT_EQ(Le32(bytes, 18), 483U);         // width
        EXPECT_EQ(Le32(bytes, 22), 437U);         // height, bottom-up
        EXPECT_EQ(bytes[28] | bytes[29] << 8, 1); // bits per pixel
        EXPECT_EQ(Le32(bytes, 30), 0U);           // no compression
        EXPECT_EQ(Le32(bytes, 54), 0x000000U);    // palette: black
        EXPECT_EQ(Le32(bytes, 58), 0xFFFFFFU);    //          white
        pictures.push_back(bytes);
    }
    EXPECT_FALSE(std::equal(pictures[0].begin(), pictures[0].end(), pictures[1].begin()));
    EXPECT_TRUE(calibration::DiagramBitmap("no_such_picture").empty());
}

} // namespace
