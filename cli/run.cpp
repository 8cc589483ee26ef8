#include "cli/run.h"

#include "cli/arguments.h"
#include "cli/cli_texts.h"
#include "cli/exit_status.h"
#include "cli/help_text.h"
#include "cli/port_runs.h"
#include "protocol/number_text.h"

namespace cli {

int Run(const std::vector<std::string>& args, Console& console) {
    // Numbers on the command line, in profiles and on the wire all use a point, whatever the
    // user's locale says; a comma typed instead is turned into one.
    protocol::OverrideSystemDecimalSeparator('.');
    protocol::DecimalSeparatorText = ".";

    const ParsedArguments parsed = ParseArguments(args);
    if (parsed.help) {
        console.Out(HelpText());
        return Code(ExitStatus::Done);
    }
    if (!parsed.options) {
        console.Err(parsed.error + "\n" + texts::SeeHelp + "\n");
        return Code(ExitStatus::Usage);
    }
    std::string commandLine = texts::Program;
    for (const std::string& arg : args) {
        commandLine += " " + arg;
    }
    return Code(RunOnPorts(*parsed.options, console, commandLine));
}

} // namespace cli
