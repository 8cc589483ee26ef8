#pragma once
// Profiles: a transducer's configuration kept in a private-profile file that the settings-file
// code of the serial component reads and writes, so a technician can also edit one by hand:
//
//   [Configuration]
//   RangeIndex=10
//   Upper=180.0
//   Lower=-20.0
//   BreakPercent=25.0
//   OutputType=1
//   SensorType=TСМ 100 W=1,426)
//   SensorRange=-50 +200
//
// SensorType and SensorRange are written for the reader only and never read. Writing a
// profile changes only these keys: other keys, sections and comments of the file stay.

#include "cli/configuration.h"

#include <string>

namespace cli {

inline constexpr const char* ProfileSection = "Configuration";

// The five values as a write takes them: texts the window's checks will judge.
struct ProfileValues {
    int rangeIndex = 0;
    std::string upper;
    std::string lower;
    std::string breakPercent;
    int outputType = 0;
};

// Throws CommandError: FileError for a missing or unreadable file, InvalidValue naming the
// key for a missing key or a value that is not a number of the key's kind.
ProfileValues LoadProfile(const std::string& path);

// Throws CommandError (FileError) when the file cannot be written; the file then stays as it
// was.
void SaveProfile(const std::string& path, const Configuration& configuration);

} // namespace cli
