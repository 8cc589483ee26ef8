#include "protocol/command_table.h"

namespace protocol {

ActionTable BuildActionCommands() {
    return {
        MakeCommandRecord("$7"), MakeCommandRecord("$3"), MakeCommandRecord("$G"),
        MakeCommandRecord("$9"), MakeCommandRecord("$F"), MakeCommandRecord("$K"),
        MakeCommandRecord("$1"), MakeCommandRecord("$2"), MakeCommandRecord("$B"),
        MakeCommandRecord("$C"), MakeCommandRecord("$A"), MakeCommandRecord("$D"),
    };
}

QueryTable BuildQueryCommands() {
    return {
        MakeCommandRecord("$8"), MakeCommandRecord("$H"), MakeCommandRecord("#9"),
        MakeCommandRecord("$4"), MakeCommandRecord("#0"), MakeCommandRecord("#K"),
        MakeCommandRecord("$0"),
    };
}

// Built during start-up in this order (actions, then queries), before any window exists.
ActionTable ActionCommands = BuildActionCommands();
QueryTable QueryCommands = BuildQueryCommands();

void ResetCommandTables() {
    ActionCommands = BuildActionCommands();
    QueryCommands = BuildQueryCommands();
}

} // namespace protocol
