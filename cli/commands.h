#pragma once
// The commands of lirat5-cli, one file each. Every command returns its exit status or throws
// CommandError; `commandLine` goes into the exchange log.

#include "cli/arguments.h"
#include "cli/console.h"
#include "cli/exit_status.h"

#include <string>

namespace cli {

ExitStatus RunPorts(Console& console);
ExitStatus RunScan(const Options& options, Console& console);
ExitStatus RunRead(const Options& options, Console& console, const std::string& commandLine);
ExitStatus RunWrite(const Options& options, Console& console, const std::string& commandLine);
ExitStatus RunTemp(const Options& options, Console& console, const std::string& commandLine);
ExitStatus RunReset(const Options& options, Console& console, const std::string& commandLine);
ExitStatus RunCalibrateInput(const Options& options, Console& console,
                             const std::string& commandLine);
ExitStatus RunCalibrateOutput(const Options& options, Console& console,
                              const std::string& commandLine);

} // namespace cli
