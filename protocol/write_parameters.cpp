#include "protocol/write_parameters.h"

#include "catalogue/sensor_selection.h"
#include "protocol/engine_texts.h"
#include "protocol/number_text.h"

#include <cmath>
#include <cstdio>

namespace protocol {
namespace {

// A typed number; infinities and not-a-number count as not a number, because no range check
// could reject them reliably and they cannot be formatted for the transducer.
std::optional<double> TypedNumber(const std::string& text, char separator) {
    const auto value = ParseNumber(text, separator);
    if (!value || !std::isfinite(*value)) {
        return std::nullopt;
    }
    return value;
}

WriteCheck Refuse(const char* message) {
    return WriteCheck{std::nullopt, message};
}

} // namespace

WriteCheck CheckWriteParameters(std::optional<int> rangeIndex, const std::string& upperText,
                                const std::string& lowerText, const std::string& breakLevelText,
                                int outputType) {
    // Text typed into a list's edit field leaves no item selected, and then there is no range
    // whose limits or index could be used.
    const catalogue::SensorRange* range =
        rangeIndex ? catalogue::FindSensorRange(*rangeIndex) : nullptr;
    if (range == nullptr) {
        return Refuse(texts::NoRangeSelected);
    }
    const char separator = SystemDecimalSeparator();

    const auto upper = TypedNumber(upperText, separator);
    if (!upper) {
        return Refuse(texts::BadUpper);
    }
    if (*upper > range->Max || *upper < range->Min) {
        return Refuse(texts::UpperOutOfRange);
    }

    const auto lower = TypedNumber(lowerText, separator);
    if (!lower) {
        return Refuse(texts::BadLower);
    }
    if (*lower > *upper || *lower < range->Min) {
        return Refuse(texts::LowerOutOfRange);
    }

    const auto level = TypedNumber(breakLevelText, separator);
    if (!level) {
        return Refuse(texts::BadBreakLevel);
    }
    if (*level > 120.0 || *level < 0.0) {
        return Refuse(texts::BreakLevelOutOfRange);
    }

    WriteParameters parameters;
    char hex[8];
    std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned>(*rangeIndex));
    parameters.Range = hex;
    parameters.Upper = WireNumber(*upper, "###0.0#");
    parameters.Lower = WireNumber(*lower, "000.0##");
    parameters.BreakLevel = WireNumber(*level * 0.01, "000.0## ");
    parameters.OutputType = std::string(1, static_cast<char>('0' + outputType));
    return WriteCheck{parameters, {}};
}

} // namespace protocol
