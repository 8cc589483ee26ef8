#include "catalogue/sensor_catalogue.h"
#include "catalogue/sensor_selection.h"
#include "catalogue/windows1251.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace catalogue {
namespace {

std::string Bytes(std::initializer_list<std::uint8_t> bytes) {
    return std::string(bytes.begin(), bytes.end());
}

std::string Cp1251(std::string_view utf8) {
    const std::optional<std::string> bytes = Utf8ToWindows1251(utf8);
    EXPECT_TRUE(bytes.has_value()) << utf8;
    return bytes.value_or("");
}

// The type names mix Latin and Cyrillic look-alikes; the transducer's documentation fixes their
// Windows-1251 bytes, which is what the user sees on a Cyrillic Windows.
TEST(SensorTypes, NamesHaveTheDocumentedWindows1251Bytes) {
    const std::vector<std::string> expected{
        Bytes({0x54, 0xD1, 0xCC, 0x20, 0x28, 0x52, 0x3D, 0x35, 0x33, 0xCE, 0xEC, 0x29}),
        Bytes({0x54, 0xD1, 0xCC, 0x20, 0x35, 0x30, 0xCC, 0x20, 0x28, 0x57, 0x3D, 0x31, 0x2C, 0x34,
               0x32, 0x38, 0x29}),
        Bytes({0xD2, 0xD1, 0xCC, 0x20, 0x31, 0x30, 0x30, 0xCC, 0x20, 0x57, 0x3D, 0x31, 0x2C, 0x34,
               0x32, 0x38, 0x29}),
        Bytes({0x54, 0xD1, 0xCC, 0x20, 0x35, 0x30, 0x20, 0x57, 0x3D, 0x31, 0x2C, 0x34, 0x32, 0x36,
               0x29}),
        Bytes({0x54, 0xD1, 0xCC, 0x20, 0x31, 0x30, 0x30, 0x20, 0x57, 0x3D, 0x31, 0x2C, 0x34, 0x32,
               0x36, 0x29}),
        Bytes({0x54, 0xD1, 0xCF, 0x20, 0x28, 0x52, 0x3D, 0x34, 0x36, 0x20, 0xCE, 0xEC, 0x29}),
        Bytes({0x54, 0xD1, 0xCF, 0x20, 0x35, 0x30, 0xCF, 0x20, 0x57, 0x3D, 0x31, 0x2C, 0x33, 0x39,
               0x31, 0x29}),
        Bytes({0x54, 0xD1, 0xCF, 0x20, 0x31, 0x30, 0x30, 0xCF, 0x20, 0x57, 0x3D, 0x31, 0x2C, 0x33,
               0x39, 0x31, 0x29}),
        Bytes({0x54, 0xD1, 0xCF, 0x20, 0x31, 0x30, 0x30}),
        Bytes({0x52}),
    };
    ASSERT_EQ(expected.size(), SensorTypes.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(expected[i], Cp1251(SensorTypes[i].Name)) << "type " << i;
    }
}

TEST(SensorTypes, BlocksOfRangesAreConsecutiveAndCoverTheTable) {
    const std::vector<std::pair<int, int>> firstAndCount{
        {0, 3}, {3, 3}, {6, 3}, {9, 1}, {10, 1}, {11, 2}, {13, 3}, {16, 3}, {19, 2}, {21, 5}};
    int total = 0;
    for (int t = 0; t < SensorTypeCount; ++t) {
        const SensorType& type = SensorTypes[static_cast<std::size_t>(t)];
        EXPECT_EQ(firstAndCount[static_cast<std::size_t>(t)],
                  std::make_pair(type.FirstRange, type.RangeCount))
            << "type " << t;
        EXPECT_EQ(total, type.FirstRange) << "type " << t;
        for (const SensorRange& range : RangesOfType(t)) {
            EXPECT_EQ(t, range.TypeIndex) << range.RangeText;
        }
        total += type.RangeCount;
    }
    EXPECT_EQ(SensorRangeCount, total);
}

TEST(SensorRanges, LimitsAreWholeNumbersInOrder) {
    for (const SensorRange& range : SensorRanges) {
        EXPECT_LT(range.Min, range.Max) << range.RangeText;
        EXPECT_EQ(std::trunc(range.Min), range.Min) << range.RangeText;
        EXPECT_EQ(std::trunc(range.Max), range.Max) << range.RangeText;
    }
}

// Calibration texts use the Latin "Om"/"kOm"; the resistance ranges the Cyrillic "Ом"/"кОм".
TEST(SensorRanges, TextsKeepTheirLookAlikeLettersAndBlanks) {
    for (const SensorRange& range : SensorRanges) {
        const std::string calib = Cp1251(range.CalibText);
        EXPECT_EQ(calib, std::string(range.CalibText)) << "calibration text must be ASCII";
        EXPECT_EQ(calib.substr(calib.size() - 2), "Om");
    }
    EXPECT_EQ(Bytes({0x30, 0x20, 0xE4, 0xEE, 0x20, 0x31, 0x20, 0xEA, 0xCE, 0xEC}),
              Cp1251(SensorRanges[23].RangeText));
    EXPECT_EQ(Bytes({0x30, 0x20, 0xE4, 0xEE, 0x20, 0x31, 0x30, 0x30, 0x20, 0xCE, 0xEC}),
              Cp1251(SensorRanges[21].RangeText));
    EXPECT_EQ("R=1,0 kOm", SensorRanges[23].CalibText);
    EXPECT_EQ(" -200 +1100", SensorRanges[15].RangeText); // leading blank kept
    EXPECT_EQ("-200 +1100", SensorRanges[18].RangeText);  // and none here
    EXPECT_EQ(1000.0, SensorRanges[23].Max);
    EXPECT_EQ(2500.0, SensorRanges[24].Max);
}

TEST(SensorSelection, RangeIndexFromTypeAndItem) {
    struct Row {
        int type;
        int item;
        std::optional<int> range;
    };
    const Row rows[] = {
        {0, 0, 0},
        {0, 2, 2},
        {0, 3, std::nullopt},
        {3, 0, 9},
        {3, 1, std::nullopt},
        {4, 0, 10},
        {6, 2, 15},
        {8, 1, 20},
        {9, 4, 25},
        {9, 5, std::nullopt},
        {-1, 0, std::nullopt},
        {10, 0, std::nullopt},
        {0, -1, std::nullopt},
        {9, -1, std::nullopt},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.range, RangeIndexOf(row.type, row.item))
            << "type " << row.type << " item " << row.item;
    }
}

TEST(SensorSelection, RangeIndexRoundTripsThroughTypeAndItem) {
    for (int r = 0; r < SensorRangeCount; ++r) {
        const std::optional<int> type = TypeOfRange(r);
        const std::optional<int> item = RangeItemOf(r);
        ASSERT_TRUE(type && item) << r;
        EXPECT_EQ(r, RangeIndexOf(*type, *item));
    }
    // A range reported by the transducer: 20 belongs to "TСП 100" as its second range.
    EXPECT_EQ(8, TypeOfRange(20));
    EXPECT_EQ(1, RangeItemOf(20));
    EXPECT_EQ(9, TypeOfRange(21));
    EXPECT_EQ(0, RangeItemOf(21));
}

TEST(SensorSelection, OutOfTableIndexesGiveNothing) {
    for (const int bad : {-1, 26, 255, -2147483647 - 1, 2147483647}) {
        EXPECT_EQ(std::nullopt, TypeOfRange(bad)) << bad;
        EXPECT_EQ(std::nullopt, RangeItemOf(bad)) << bad;
        EXPECT_EQ(nullptr, FindSensorRange(bad)) << bad;
        EXPECT_EQ(nullptr, FindSensorType(bad)) << bad;
        EXPECT_TRUE(RangesOfType(bad).empty()) << bad;
    }
    EXPECT_EQ(&SensorRanges[25], FindSensorRange(25));
    EXPECT_EQ(&SensorTypes[9], FindSensorType(9));
}

TEST(SensorSelection, RangeListsOfTypes) {
    EXPECT_EQ(1u, RangesOfType(3).size());
    EXPECT_EQ(1u, RangesOfType(4).size());
    const auto ohms = RangesOfType(9);
    ASSERT_EQ(5u, ohms.size());
    EXPECT_EQ("0 до 100 Ом", ohms.front().RangeText);
    EXPECT_EQ("0 до 5 кОм", ohms.back().RangeText);
    const auto type6 = RangesOfType(6);
    ASSERT_EQ(3u, type6.size());
    EXPECT_EQ(-200.0, type6[2].Min);
    EXPECT_EQ(1100.0, type6[2].Max);
}

TEST(SensorSelection, ResistanceTypeSwitchesTheCaptions) {
    for (int t = 0; t <= LastThermometerType; ++t) {
        EXPECT_FALSE(IsResistanceType(t));
        EXPECT_EQ(DegreesSensorRangeCaption, SensorRangeCaption(t));
        EXPECT_EQ(DegreesWorkingRangeCaption, WorkingRangeCaption(t));
    }
    EXPECT_TRUE(IsResistanceType(9));
    EXPECT_EQ(OhmsSensorRangeCaption, SensorRangeCaption(9));
    EXPECT_EQ(OhmsWorkingRangeCaption, WorkingRangeCaption(9));
}

TEST(SensorSelection, OhmCaptionsDifferOnlyInTheLatinO) {
    // "(Oм)" with a Latin O in the sensor caption, "(Ом)" all Cyrillic in the working caption.
    EXPECT_NE(std::string::npos, Cp1251(OhmsSensorRangeCaption).find(Bytes({0x28, 0x4F, 0xEC})));
    EXPECT_NE(std::string::npos, Cp1251(OhmsWorkingRangeCaption).find(Bytes({0x28, 0xCE, 0xEC})));
    EXPECT_EQ(
        Bytes({0xC4, 0xE8, 0xE0, 0xEF, 0xE0, 0xE7, 0xEE, 0xED, 0x20, 0xE4, 0xE0, 0xF2, 0xF7, 0xE8,
               0xEA, 0xE0, 0x20, 0x28, 0xE3, 0xF0, 0xE0, 0xE4, 0x2E, 0x20, 0xD1, 0x29, 0x3A, 0x20}),
        Cp1251(DegreesSensorRangeCaption));
    for (const std::string_view caption :
         {DegreesSensorRangeCaption, DegreesWorkingRangeCaption, OhmsWorkingRangeCaption}) {
        EXPECT_EQ(std::string::npos, Cp1251(caption).find('O')) << caption;
    }
}

} // namespace
} // namespace catalogue
