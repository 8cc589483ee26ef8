#pragma once
// Arithmetic of the output calibration: the transducer drives two fixed test codes, the
// technician measures the output at both, and the gain and offset that make the output match
// its nominal full scale are computed from the two measured values.

#include <cstdint>
#include <optional>
#include <string>

namespace protocol {

// The two test codes sent with "$A": 0x0D0 and 0xCD0.
inline constexpr int LowTestCode = 0x0D0;                       // 208
inline constexpr int HighTestCode = 0xCD0;                      // 3280
inline constexpr int TestCodeSpan = HighTestCode - LowTestCode; // 3072

// Nominal full-scale output of the output type (item of TipOut): 10 for 0-10 V, 5 for 0-5 mA,
// 20 for 0-20 mA; nullopt for any other item.
std::optional<double> FullScale(int outputType);

// The text the maximum prompt offers ("10", "5" or "20"); empty for an unknown type.
std::string FullScaleText(int outputType);

// 3072 x fullScale / (measuredMaximum - measuredMinimum). nullopt when the measured maximum is
// not above the minimum (equal values, values typed the wrong way round, a meter connected in
// reverse) or the result is infinite or not a number: a zero, negative or endless gain would
// leave the transducer's output unusable, and it is refused as a wrong measurement.
std::optional<double> GainCoefficient(double fullScale, double measuredMinimum,
                                      double measuredMaximum);

// 208 - gain x measuredMinimum / fullScale, truncated toward zero. nullopt when the value is not
// a finite number or does not fit a 32-bit signed integer.
std::optional<std::int32_t> OffsetCode(double gainCoefficient, double measuredMinimum,
                                       double fullScale);

} // namespace protocol
