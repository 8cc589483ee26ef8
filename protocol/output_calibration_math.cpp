#include "protocol/output_calibration_math.h"

#include <cmath>
#include <limits>

namespace protocol {

std::optional<double> FullScale(int outputType) {
    switch (outputType) {
    case 0:
        return 10.0;
    case 1:
        return 5.0;
    case 2:
        return 20.0;
    default:
        return std::nullopt;
    }
}

std::string FullScaleText(int outputType) {
    switch (outputType) {
    case 0:
        return "10";
    case 1:
        return "5";
    case 2:
        return "20";
    default:
        return {};
    }
}

std::optional<double> GainCoefficient(double fullScale, double measuredMinimum,
                                      double measuredMaximum) {
    const double span = measuredMaximum - measuredMinimum;
    if (!(span > 0.0) || !std::isfinite(span)) {
        return std::nullopt;
    }
    const double gain = TestCodeSpan * fullScale / span;
    // A gain of zero (full scale 0) would make every output code the offset alone.
    if (!std::isfinite(gain) || gain == 0.0) {
        return std::nullopt;
    }
    return gain;
}

std::optional<std::int32_t> OffsetCode(double gainCoefficient, double measuredMinimum,
                                       double fullScale) {
    const double offset = LowTestCode - gainCoefficient * measuredMinimum / fullScale;
    if (!std::isfinite(offset)) {
        return std::nullopt;
    }
    const double truncated = std::trunc(offset);
    if (truncated < static_cast<double>(std::numeric_limits<std::int32_t>::min()) ||
        truncated > static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(truncated);
}

} // namespace protocol
