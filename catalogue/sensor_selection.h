#pragma once
// The arithmetic behind the two linked lists of the main window (sensor type and range): which
// range an item stands for, which type owns a range, the captions of the two range labels.
// Everything is bounds-checked, so a list without a selected item (-1) or a range index that
// came from the transducer can never index outside the tables.

#include "catalogue/sensor_catalogue.h"

#include <optional>
#include <span>
#include <string_view>

namespace catalogue {

// Captions of the sensor-range label and the working-range label. The "O" of the ohm sensor
// caption is the Latin letter, the rest is Cyrillic throughout.
inline constexpr std::string_view DegreesSensorRangeCaption = "Диапазон датчика (град. С): ";
inline constexpr std::string_view DegreesWorkingRangeCaption = "Рабочий диапазон (град. С): ";
inline constexpr std::string_view OhmsSensorRangeCaption = "Диапазон датчика (Oм): ";
inline constexpr std::string_view OhmsWorkingRangeCaption = "Рабочий диапазон (Ом): ";

// The type at `typeIndex`, or nullptr when there is none.
const SensorType* FindSensorType(int typeIndex);
// The range at `rangeIndex`, or nullptr when there is none.
const SensorRange* FindSensorRange(int rangeIndex);

// The range index of item `rangeItem` in the range list of type `typeIndex`; nullopt when the
// type does not exist or the item is not one of its ranges (including -1, "nothing selected").
std::optional<int> RangeIndexOf(int typeIndex, int rangeItem);
// The type that owns range `rangeIndex`; nullopt for an index outside the table.
std::optional<int> TypeOfRange(int rangeIndex);
// The position of range `rangeIndex` in its type's range list; nullopt outside the table.
std::optional<int> RangeItemOf(int rangeIndex);
// The ranges of type `typeIndex` in list order; empty when the type does not exist.
std::span<const SensorRange> RangesOfType(int typeIndex);

// True for the plain resistance input, false for the thermometers: only the index tells them
// apart.
constexpr bool IsResistanceType(int typeIndex) {
    return typeIndex > LastThermometerType;
}

// The captions that go with the selected type.
constexpr std::string_view SensorRangeCaption(int typeIndex) {
    return IsResistanceType(typeIndex) ? OhmsSensorRangeCaption : DegreesSensorRangeCaption;
}
constexpr std::string_view WorkingRangeCaption(int typeIndex) {
    return IsResistanceType(typeIndex) ? OhmsWorkingRangeCaption : DegreesWorkingRangeCaption;
}

} // namespace catalogue
