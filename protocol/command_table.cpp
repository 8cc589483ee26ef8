#include "protocol/command_table.h"

namespace protocol {

namespace {

std::array<CommandRecord, 12> BuildActionCommands() {
    return {
        MakeCommandRecord("$7"), MakeCommandRecord("$3"), MakeCommandRecord("$G"),
        MakeCommandRecord("$9"), MakeCommandRecord("$F"), MakeCommandRecord("$K"),
        MakeCommandRecord("$1"), MakeCommandRecord("$2"), MakeCommandRecord("$B"),
        MakeCommandRecord("$C"), MakeCommandRecord("$A"), MakeCommandRecord("$D"),
    };
}

std::array<CommandRecord, 7> BuildQueryCommands() {
    return {
        MakeCommandRecord("$8"), MakeCommandRecord("$H"), MakeCommandRecord("#9"),
        MakeCommandRecord("$4"), MakeCommandRecord("#0"), MakeCommandRecord("#K"),
        MakeCommandRecord("$0"),
    };
}

} // namespace

// Built during start-up in this order (actions, then queries), before any window exists.
std::array<CommandRecord, 12> ActionCommands = BuildActionCommands();
std::array<CommandRecord, 7> QueryCommands = BuildQueryCommands();

void ResetCommandTables() {
    ActionCommands = BuildActionCommands();
    QueryCommands = BuildQueryCommands();
}

} // namespace protocol
