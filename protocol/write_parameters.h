#pragma once
// Checking and formatting the configuration that "Записать" sends: the values typed into the
// main window become the parameter texts of "$7", "$3", "$G", "$9" and "$K", or the message of
// the first check that fails.

#include <optional>
#include <string>

namespace protocol {

struct WriteParameters {
    std::string Range;      // "$7": the range index as two upper-case hexadecimal digits
    std::string Lower;      // "$3": pattern "000.0##", decimal point
    std::string BreakLevel; // "$G": the percentage times 0.01, pattern "000.0## " (trailing blank)
    std::string Upper;      // "$9": pattern "###0.0#", decimal point
    std::string OutputType; // "$K": "0", "1" or "2"
};

struct WriteCheck {
    std::optional<WriteParameters> parameters; // set when every check passed
    std::string message;                       // otherwise the message to show
};

// Runs the checks in their fixed order (range selected, upper value, its limits, lower value,
// its limits, break level, its limits) and stops at the first failure. Numbers are read with the
// system's decimal separator; the parameters carry a point.
WriteCheck CheckWriteParameters(std::optional<int> rangeIndex, const std::string& upperText,
                                const std::string& lowerText, const std::string& breakLevelText,
                                int outputType);

} // namespace protocol
