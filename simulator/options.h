#pragma once
// The command line of lirat5-sim.

#include "simulator/fault.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

enum class Verbosity { Quiet, Normal, Verbose };

struct ProgramOptions {
    bool help = false;
    std::optional<int> comNumber;  // --com N: register as COMN (1 to 100)
    int delayMs = 20;              // --delay MS: processing delay before each reply
    bool drift = false;            // --drift / --no-drift
    std::optional<double> value;   // --value X: initial measured value
    std::optional<int> rangeIndex; // --range N: initial range (0 to 25) and its limits
    std::vector<FaultRule> faults; // --fault SPEC, repeatable
    Verbosity verbosity = Verbosity::Normal;
};

struct OptionsResult {
    std::optional<ProgramOptions> options; // set when the command line is valid
    std::string error;                     // otherwise what is wrong with it
};

// Parses the arguments after the program name. Options take their value as the next argument
// or after "=" (--delay 50, --delay=50).
OptionsResult ParseOptions(const std::vector<std::string>& args);

// The text of --help.
std::string HelpText(std::string_view program);

} // namespace sim
