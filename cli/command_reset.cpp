// reset: the factory reset, always at the window's intervals.
#include "cli/command_table.h"

#include "cli/session.h"

namespace cli {

ExitStatus RunReset(const Options& options, Console& console, const std::string& commandLine) {
    Session session(options, console, commandLine);
    // The transducer's time for restoring its settings is not known; the window's intervals
    // are the only ones known to work.
    const TransactionResult result =
        session.Run([](protocol::ExchangeEngine& engine) { engine.ButtonZClick(); }, Pace::Window,
                    phases::Reset);
    return result.succeeded ? ExitStatus::Done : ExitStatus::DeviceError;
}

} // namespace cli
