#include "tests/app/run_program.h"

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace lirat_test {

int RunProgram(const std::string& program, const std::string& argument) {
    std::string name = program;
    std::string arg = argument;
    char* argv[] = {name.data(), arg.data(), nullptr};
    pid_t child = 0;
    if (::posix_spawn(&child, program.c_str(), nullptr, nullptr, argv, environ) != 0) {
        return -1;
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

} // namespace lirat_test
