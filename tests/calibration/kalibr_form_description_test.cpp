// The calibration window's description holds what every description must, with the figures
// of the calibration window's table, and the two wiring diagrams built into the program.

#include "calibration/diagram_bitmaps.h"
#include "calibration/kalibr_form_description.h"
#include "tests/ui/description_properties.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using description::DescriptionCase;
using description::DescriptionProperties;

INSTANTIATE_TEST_SUITE_P(KalibrForm, DescriptionProperties,
                         testing::Values(DescriptionCase{
                             .form = &calibration::KalibrFormDescription(),
                             .figures = {.name = "KalibrForm",
                                         .caption = "Калибровка прибора",
                                         .clientWidth = 562,
                                         .clientHeight = 665,
                                         .frame = ui::FrameKind::FixedDialogWithCloseBox,
                                         .fontFamily = "MS Sans Serif",
                                         .fontHeight = 11,
                                         .disabled = {"Button2"}},
                             .pictureExists = [](const std::string& picture) {
                                 return !calibration::DiagramBitmap(picture).empty();
                             }}));

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
