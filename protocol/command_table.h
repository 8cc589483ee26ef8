#pragma once
// The two global tables of the 19 command records. A transaction leaves its parameters in the
// records, and the exchange engine sends them one per reply; a parameter stays in its record
// after the transaction. The window's engine uses these; an engine that runs beside others
// (one per port, each on a thread of its own) is given a CommandTables of its own instead, so
// that one port's transaction never sends the parameters another port's transaction left.

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

using ActionTable = std::array<CommandRecord, 12>;
using QueryTable = std::array<CommandRecord, 7>;

extern ActionTable ActionCommands;
extern QueryTable QueryCommands;

// The tables as they are built at start-up: every record holds its bare code.
ActionTable BuildActionCommands();
QueryTable BuildQueryCommands();

// A set of both tables that belongs to one engine.
struct CommandTables {
    ActionTable actions = BuildActionCommands();
    QueryTable queries = BuildQueryCommands();
};

// Rebuilds both tables to their bare codes, dropping every parameter left by a transaction.
void ResetCommandTables();

} // namespace protocol
