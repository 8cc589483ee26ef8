#pragma once
// Every command runs here, from its parsed command line to its exit status. One that talks to
// the transducer runs on the ports of its command line: the one given (or that of --settings),
// or several at once (--port given more than once, or --port all); any other is a run of one.
// A run of one talks straight to the terminal, as a command on one port always has.
// A run of several gives each port a thread, port, engine, command tables and window state of
// its own, so a port that hangs or fails holds up and spoils none of the others; while they
// run, the ports' live lines (batch_display.h); at the end each port's results, then a table of
// one row per port: its result, what differed or went wrong, the time it took.

#include "cli/arguments.h"
#include "cli/console.h"
#include "cli/exit_status.h"

#include <string>
#include <vector>

namespace cli {

ExitStatus RunOnPorts(const Options& options, Console& console, const std::string& commandLine);

// The exit status of the whole run: that of every port when they all ended the same way,
// otherwise SomePortsDiffer.
ExitStatus BatchStatus(const std::vector<ExitStatus>& statuses);

} // namespace cli
