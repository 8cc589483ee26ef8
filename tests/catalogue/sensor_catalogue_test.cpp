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

// Every field of the catalogue, row by row as the transducer's documentation tables it: a
// changed limit, text or block shows up here and nowhere else.
struct RangeRow {
    int typeIndex;
    const char* rangeText;
    double min, max;
    const char* calibText;
};
constexpr RangeRow kRangeRows[] = {
    {0, " -50 +50", -50, 50, "R=50,0 Om"},        // 0
    {0, "0 +180", 0, 180, "R=100,0 Om"},          // 1
    {0, " -50 +200", -50, 200, "R=100,0 Om"},     // 2
    {1, "-200 +50", -200, 50, "R=50,0 Om"},       // 3
    {1, "-50 +200", -50, 200, "R=100,0 Om"},      // 4
    {1, "-200 +200", -200, 200, "R=100,0 Om"},    // 5
    {2, " -200 +50", -200, 50, "R=100,0 Om"},     // 6
    {2, "-50 +200", -50, 200, "R=250,0 Om"},      // 7
    {2, "-200 +200", -200, 200, "R=250,0 Om"},    // 8
    {3, " -50 +200", -50, 200, "R=100,0 Om"},     // 9
    {4, " -50 +200", -50, 200, "R=250,0 Om"},     // 10
    {5, " -200 +100", -200, 100, "R=50,0 Om"},    // 11
    {5, " -200 +500", -200, 500, "R=100,0 Om"},   // 12
    {6, " -200 +50", -200, 50, "R=50,0 Om"},      // 13
    {6, " -200 +450", -200, 450, "R=100,0 Om"},   // 14
    {6, " -200 +1100", -200, 1100, "R=250,0 Om"}, // 15
    {7, "-200 +50", -200, 50, "R=100,0 Om"},      // 16
    {7, " -200 +450", -200, 450, "R=250,0 Om"},   // 17
    {7, "-200 +1100", -200, 1100, "R=500,0 Om"},  // 18
    {8, " -200 +450", -200, 450, "R=250,0 Om"},   // 19
    {8, "-200 +850", -200, 850, "R=500,0 Om"},    // 20
    {9, "0 до 100 Ом", 0, 100, "R=100,0 Om"},     // 21
    {9, "0 до 500 Ом", 0, 500, "R=500,0 Om"},     // 22
    {9, "0 до 1 кОм", 0, 1000, "R=1,0 kOm"},      // 23
    {9, "0 до 2,5 кОм", 0, 2500, "R=2,5 kOm"},    // 24
    {9, "0 до 5 кОм", 0, 5000, "R=5,0 kOm"},      // 25
};

struct TypeRow {
    const char* name;
    int firstRange, rangeCount;
};
constexpr TypeRow kTypeRows[] = {
    {"TСМ (R=53Ом)", 0, 3},       // 0
    {"TСМ 50М (W=1,428)", 3, 3},  // 1
    {"ТСМ 100М W=1,428)", 6, 3},  // 2
    {"TСМ 50 W=1,426)", 9, 1},    // 3
    {"TСМ 100 W=1,426)", 10, 1},  // 4
    {"TСП (R=46 Ом)", 11, 2},     // 5
    {"TСП 50П W=1,391)", 13, 3},  // 6
    {"TСП 100П W=1,391)", 16, 3}, // 7
    {"TСП 100", 19, 2},           // 8
    {"R", 21, 5},                 // 9
};

TEST(Catalogue, EveryFieldOfEveryEntry) {
    ASSERT_EQ(std::size(kRangeRows), SensorRanges.size());
    for (std::size_t i = 0; i < SensorRanges.size(); ++i) {
        const SensorRange& range = SensorRanges[i];
        const RangeRow& row = kRangeRows[i];
        EXPECT_EQ(row.typeIndex, range.TypeIndex) << "range " << i;
        EXPECT_EQ(row.rangeText, range.RangeText) << "range " << i;
        EXPECT_EQ(row.min, range.Min) << "range " << i;
        EXPECT_EQ(row.max, range.Max) << "range " << i;
        EXPECT_EQ(row.calibText, range.CalibText) << "range " << i;
    }
    ASSERT_EQ(std::size(kTypeRows), SensorTypes.size());
    for (std::size_t i = 0; i < SensorTypes.size(); ++i) {
        EXPECT_EQ(kTypeRows[i].name, SensorTypes[i].Name) << "type " << i;
        EXPECT_EQ(kTypeRows[i].firstRange, SensorTypes[i].FirstRange) << "type " << i;
        EXPECT_EQ(kTypeRows[i].rangeCount, SensorTypes[i].RangeCount) << "type " << i;
    }
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
