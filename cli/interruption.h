#pragma once
// The message that tells the technician, after Ctrl+C (or another request to stop), where the
// run stopped and what the transducer got of the transaction under way: the commands it
// answered (for a write, the values it now holds), the one sent whose answer was not waited
// for, and those that never went out.

#include "cli/cli_engine_view.h"
#include "cli/phase.h"

#include <string>
#include <vector>

namespace cli {

// `exchanges` are the transaction's own, oldest first; `cause` names what asked to stop.
std::string InterruptionText(const Phase& phase,
                             const std::vector<CliEngineView::Exchange>& exchanges,
                             const char* cause);

} // namespace cli
