#pragma once
// lirat5-cli as a function: the arguments after the program's name and the terminal in, the
// exit status out.

#include "cli/console.h"

#include <string>
#include <vector>

namespace cli {

int Run(const std::vector<std::string>& args, Console& console);

} // namespace cli
