#include "catalogue/sensor_selection.h"

#include <cstddef>

namespace catalogue {

namespace {

// The ranges of a type must form one block that starts right after the previous type's block
// and whose entries all name that type; the selection arithmetic relies on it.
constexpr bool TablesAreConsistent() {
    int next = 0;
    for (int t = 0; t < SensorTypeCount; ++t) {
        const SensorType& type = SensorTypes[static_cast<std::size_t>(t)];
        if (type.FirstRange != next || type.RangeCount < 1) {
            return false;
        }
        for (int r = type.FirstRange; r < type.FirstRange + type.RangeCount; ++r) {
            if (r >= SensorRangeCount || SensorRanges[static_cast<std::size_t>(r)].TypeIndex != t) {
                return false;
            }
        }
        next += type.RangeCount;
    }
    return next == SensorRangeCount;
}
static_assert(TablesAreConsistent(), "sensor ranges must form consecutive blocks per type");

} // namespace

const SensorType* FindSensorType(int typeIndex) {
    if (typeIndex < 0 || typeIndex >= SensorTypeCount) {
        return nullptr;
    }
    return &SensorTypes[static_cast<std::size_t>(typeIndex)];
}

const SensorRange* FindSensorRange(int rangeIndex) {
    if (rangeIndex < 0 || rangeIndex >= SensorRangeCount) {
        return nullptr;
    }
    return &SensorRanges[static_cast<std::size_t>(rangeIndex)];
}

std::optional<int> RangeIndexOf(int typeIndex, int rangeItem) {
    const SensorType* type = FindSensorType(typeIndex);
    if (type == nullptr || rangeItem < 0 || rangeItem >= type->RangeCount) {
        return std::nullopt;
    }
    return type->FirstRange + rangeItem;
}

std::optional<int> TypeOfRange(int rangeIndex) {
    const SensorRange* range = FindSensorRange(rangeIndex);
    if (range == nullptr) {
        return std::nullopt;
    }
    return range->TypeIndex;
}

std::optional<int> RangeItemOf(int rangeIndex) {
    const std::optional<int> type = TypeOfRange(rangeIndex);
    if (!type) {
        return std::nullopt;
    }
    return rangeIndex - SensorTypes[static_cast<std::size_t>(*type)].FirstRange;
}

std::span<const SensorRange> RangesOfType(int typeIndex) {
    const SensorType* type = FindSensorType(typeIndex);
    if (type == nullptr) {
        return {};
    }
    return std::span<const SensorRange>(SensorRanges)
        .subspan(static_cast<std::size_t>(type->FirstRange),
                 static_cast<std::size_t>(type->RangeCount));
}

} // namespace catalogue
