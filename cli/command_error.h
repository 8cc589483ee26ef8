#pragma once
// A command that cannot go on: the message the user reads and the exit status the program
// ends with. Commands throw it; Run prints the message on standard error.

#include "cli/exit_status.h"

#include <stdexcept>
#include <string>

namespace cli {

class CommandError : public std::runtime_error {
public:
    CommandError(ExitStatus status, const std::string& message)
        : std::runtime_error(message), status_(status) {}
    ExitStatus Status() const { return status_; }

private:
    ExitStatus status_;
};

} // namespace cli
