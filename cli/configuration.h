#pragma once
// The transducer's configuration as a read found it, with the values at the precision the
// transducer sent them (the window rounds them to one decimal for its fields), and the
// comparison of a read-back with the parameters a write sent.

#include "protocol/write_parameters.h"

#include <optional>
#include <string>
#include <vector>

namespace cli {

struct Configuration {
    int rangeIndex = 0;
    double upper = 0.0;
    double lower = 0.0;
    double breakFraction = 0.0; // as the transducer keeps it; the window shows it times 100
    int outputType = 0;
};

// The configuration from a finished read: the range and output type as the engine chose them
// for the window, the numbers from the payloads of "$H", "#9" and "$4". nullopt when the
// payloads are not those of a whole read.
std::optional<Configuration> ConfigurationFromRead(int rangeIndex, int outputType,
                                                   const std::vector<std::string>& payloads);

// Texts of the values for people, files and JSON: a point, one to four decimals.
std::string ValueText(double value);
std::string BreakPercentText(const Configuration& configuration);

struct Difference {
    std::string quantity; // e.g. "Верхнее значение диапазона"
    std::string written;
    std::string read;
};

// The quantities whose read-back differs from what the write sent, in the write's order. A
// value counts as kept when it gives the very parameter text that was sent, formatted with the
// same pattern: the transducer may answer 100 for 100.0.
std::vector<Difference> CompareWithWritten(const protocol::WriteParameters& written,
                                           const Configuration& read);

} // namespace cli
