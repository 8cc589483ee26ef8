#pragma once
// The fixed catalogue of the sensor types the transducer accepts and of their measuring ranges.
// A range's position in SensorRanges (0 to 25) is its identity on the serial line: the write
// sends it and the read receives it.
//
// Texts are UTF-8 here; catalogue/windows1251.h gives their Windows-1251 bytes. Several names
// mix Latin and Cyrillic letters of the same shape (the Latin "T" in most type names, the
// Cyrillic "Т" in entry 2, the Latin "Om" of the calibration texts against the Cyrillic "Ом" of
// the resistance ranges). They are kept exactly as the transducer's documentation prints them,
// so do not "fix" them.
//
// The tables are constexpr: they are constant-initialised and exist before any code runs.

#include <array>
#include <string_view>

namespace catalogue {

struct SensorType {
    std::string_view Name; // shown in the sensor-type list
    int FirstRange;        // index in SensorRanges of the type's first range
    int RangeCount;        // number of consecutive ranges of the type
};

struct SensorRange {
    int TypeIndex;              // index in SensorTypes of the owning type
    std::string_view RangeText; // shown in the range list
    std::string_view CalibText; // resistance standard for the input gain calibration
    double Min;                 // degrees Celsius for thermometers, ohms for the resistance type
    double Max;
};

inline constexpr int SensorTypeCount = 10;
inline constexpr int SensorRangeCount = 26;
// Types 0 to 8 are thermometers; every type above is the plain resistance input.
inline constexpr int LastThermometerType = 8;

inline constexpr std::array<SensorRange, SensorRangeCount> SensorRanges{{
    {0, " -50 +50", "R=50,0 Om", -50, 50},       {0, "0 +180", "R=100,0 Om", 0, 180},
    {0, " -50 +200", "R=100,0 Om", -50, 200},    {1, "-200 +50", "R=50,0 Om", -200, 50},
    {1, "-50 +200", "R=100,0 Om", -50, 200},     {1, "-200 +200", "R=100,0 Om", -200, 200},
    {2, " -200 +50", "R=100,0 Om", -200, 50},    {2, "-50 +200", "R=250,0 Om", -50, 200},
    {2, "-200 +200", "R=250,0 Om", -200, 200},   {3, " -50 +200", "R=100,0 Om", -50, 200},
    {4, " -50 +200", "R=250,0 Om", -50, 200},    {5, " -200 +100", "R=50,0 Om", -200, 100},
    {5, " -200 +500", "R=100,0 Om", -200, 500},  {6, " -200 +50", "R=50,0 Om", -200, 50},
    {6, " -200 +450", "R=100,0 Om", -200, 450},  {6, " -200 +1100", "R=250,0 Om", -200, 1100},
    {7, "-200 +50", "R=100,0 Om", -200, 50},     {7, " -200 +450", "R=250,0 Om", -200, 450},
    {7, "-200 +1100", "R=500,0 Om", -200, 1100}, {8, " -200 +450", "R=250,0 Om", -200, 450},
    {8, "-200 +850", "R=500,0 Om", -200, 850},   {9, "0 до 100 Ом", "R=100,0 Om", 0, 100},
    {9, "0 до 500 Ом", "R=500,0 Om", 0, 500},    {9, "0 до 1 кОм", "R=1,0 kOm", 0, 1000},
    {9, "0 до 2,5 кОм", "R=2,5 kOm", 0, 2500},   {9, "0 до 5 кОм", "R=5,0 kOm", 0, 5000},
}};

inline constexpr std::array<SensorType, SensorTypeCount> SensorTypes{{
    {"TСМ (R=53Ом)", 0, 3},
    {"TСМ 50М (W=1,428)", 3, 3},
    {"ТСМ 100М W=1,428)", 6, 3},
    {"TСМ 50 W=1,426)", 9, 1},
    {"TСМ 100 W=1,426)", 10, 1},
    {"TСП (R=46 Ом)", 11, 2},
    {"TСП 50П W=1,391)", 13, 3},
    {"TСП 100П W=1,391)", 16, 3},
    {"TСП 100", 19, 2},
    {"R", 21, 5},
}};

} // namespace catalogue
