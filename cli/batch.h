#pragma once
// The same command on several ports at once (--port given more than once, or --port all): one
// thread per port, each with its own port, engine, command tables and window state, so a port
// that hangs or fails holds up and spoils none of the others. While they run, the ports' live
// lines (batch_display.h); at the end each port's results, then a table of one row per port:
// its result, what differed or went wrong, the time it took.

#include "cli/arguments.h"
#include "cli/console.h"
#include "cli/exit_status.h"
#include "cli/file_names.h"

#include <string>
#include <vector>

namespace cli {

ExitStatus RunBatch(const Options& options, Console& console, const std::string& commandLine);

// The exit status of the whole run: that of every port when they all ended the same way,
// otherwise SomePortsDiffer.
ExitStatus BatchStatus(const std::vector<ExitStatus>& statuses);

} // namespace cli
