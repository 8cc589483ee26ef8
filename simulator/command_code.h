#pragma once
// The two-character command codes that the transducer understands.

#include <optional>
#include <string_view>

namespace sim {

enum class CommandCode {
    SetRange,             // "$7"
    SetLower,             // "$3"
    SetBreakLevel,        // "$G"
    SetUpper,             // "$9"
    FactoryReset,         // "$F"
    SetOutputType,        // "$K"
    ZeroCalibration,      // "$1"
    GainCalibration,      // "$2"
    EndOutputCalibration, // "$B"
    SetGain,              // "$C"
    OutputTestCode,       // "$A"
    SetOffset,            // "$D"
    QueryRange,           // "$8"
    QueryUpper,           // "$H"
    QueryBreakLevel,      // "#9"
    QueryLower,           // "$4"
    QueryMeasuredValue,   // "#0"
    QueryOutputType,      // "#K"
    QueryStatus,          // "$0"
};

inline constexpr int kCommandCodeCount = 19;

// The code as it appears on the wire, e.g. "$7".
std::string_view CodeText(CommandCode code);
// The code for a two-character text; nullopt for anything the transducer does not know.
std::optional<CommandCode> CodeFromText(std::string_view text);
// True for the commands that carry a parameter.
bool TakesParameter(CommandCode code);

} // namespace sim
