#pragma once
// The two global tables of the 19 command records. A transaction leaves its parameters in the
// records, and the exchange engine sends them one per reply; a parameter stays in its record
// after the transaction.

#include "protocol/command_record.h"

#include <array>
#include <cstddef>

namespace protocol {

// Positions in ActionCommands, with their codes.
enum ActionIndex : std::size_t {
    ActSetRange,             // "$7": range index as two upper-case hex digits
    ActSetLower,             // "$3": lower working-range value
    ActSetBreakLevel,        // "$G": break-signal level as a fraction
    ActSetUpper,             // "$9": upper working-range value
    ActFactoryReset,         // "$F"
    ActSetOutputType,        // "$K": "0", "1" or "2"
    ActZeroCalibration,      // "$1"
    ActGainCalibration,      // "$2"
    ActEndOutputCalibration, // "$B"
    ActSetGain,              // "$C": gain in scientific notation
    ActOutputTestCode,       // "$A": "0D0" or "CD0"
    ActSetOffset,            // "$D": offset as a decimal integer
};

// Positions in QueryCommands, with their codes. Queries never carry a parameter.
enum QueryIndex : std::size_t {
    QryRange,         // "$8"
    QryUpper,         // "$H"
    QryBreakLevel,    // "#9"
    QryLower,         // "$4"
    QryMeasuredValue, // "#0"
    QryOutputType,    // "#K"
    QryStatus,        // "$0"
};

extern std::array<CommandRecord, 12> ActionCommands;
extern std::array<CommandRecord, 7> QueryCommands;

// Rebuilds both tables to their bare codes, dropping every parameter left by a transaction.
void ResetCommandTables();

} // namespace protocol
