#pragma once
// Starts a program and waits for its end, for tests that need a fresh process.

#include <string>

namespace lirat_test {

// Runs `program` (a UTF-8 path) with one argument; the program's exit code, or -1 when it could
// not be started.
int RunProgram(const std::string& program, const std::string& argument);

} // namespace lirat_test
