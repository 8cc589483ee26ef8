#pragma once
// lirat5-cli as a function: the arguments after the program's name and the terminal in, the
// exit status out.

#include "cli/console.h"
#include "cli/exit_status.h"

#include <functional>
#include <string>
#include <vector>

namespace cli {

int Run(const std::vector<std::string>& args, Console& console);

// Runs `run` and shows on `console` the message of a CommandError or other exception that
// ends it; the exit status either way.
int ReportedRun(const std::function<ExitStatus()>& run, Console& console);

} // namespace cli
