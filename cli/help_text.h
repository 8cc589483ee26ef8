#pragma once

#include <string>

namespace cli {

// The text of --help: every command and option, the paces and the exit statuses.
std::string HelpText();

} // namespace cli
