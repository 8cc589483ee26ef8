// lirat5-cli: the tool's transactions from a command line.
#include "cli/console.h"
#include "cli/program_arguments.h"
#include "cli/run.h"

#include <string>
#include <vector>

int main(int argc, char** argv) {
    const auto console = cli::MakeSystemConsole();
    return cli::Run(cli::ProgramArguments(argc, argv), *console);
}
