#pragma once
// Strict conversion of the parameters that follow a command code. Each form is exactly the one
// the configurator sends; anything else (blanks, a decimal comma, lower-case hex, an exponent
// where none belongs, a value outside its limits) is rejected with nullopt.

#include <optional>
#include <string_view>

namespace sim {

// "$7": the range index as two upper-case hexadecimal digits, "00" to "19".
std::optional<int> ParseRangeParameter(std::string_view text);

// "$3" and "$9": a decimal number with "." as the separator: an optional "-", digits, and an
// optional "." followed by digits ("-050.0", "012.5", "100.0", "12.5").
std::optional<double> ParseDecimalParameter(std::string_view text);

// "$G": the break level as a fraction of full scale, 0 to 1.2, in the decimal form above and
// followed by at most one blank ("000.5 " as the configurator sends it).
std::optional<double> ParseBreakLevelParameter(std::string_view text);

// "$K": the output type as one digit, "0" to "2".
std::optional<int> ParseOutputTypeParameter(std::string_view text);

// "$C": the output gain in scientific notation: an optional "-", one digit, ".", five digits,
// "E", the exponent's sign and two or three digits ("3.07200E+03").
std::optional<double> ParseGainParameter(std::string_view text);

// "$D": the output offset as a decimal integer with an optional "-" ("54", "-7").
std::optional<int> ParseOffsetParameter(std::string_view text);

// "$A": the output test code, "0D0" (208) or "CD0" (3280).
std::optional<int> ParseTestCodeParameter(std::string_view text);

} // namespace sim
