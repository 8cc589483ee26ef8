#include "cli/run.h"

#include "cli/arguments.h"
#include "cli/cli_texts.h"
#include "cli/command_error.h"
#include "cli/command_table.h"
#include "cli/help_text.h"
#include "cli/interrupt.h"
#include "cli/port_runs.h"
#include "protocol/number_text.h"

#include <exception>

namespace cli {
namespace {

ExitStatus RunCommand(const Options& options, Console& console, const std::string& commandLine) {
    if (!options.command->talksToDevice) {
        return options.command->run(options, console, commandLine);
    }
    // From here on the transducer is talked to: Ctrl+C stops the run at the next safe point
    // instead of ending the program in the middle of a step.
    const InterruptScope interrupt;
    return RunOnPorts(options, console, commandLine);
}

} // namespace

int ReportedRun(const std::function<ExitStatus()>& run, Console& console) {
    try {
        return Code(run());
    } catch (const CommandError& error) {
        console.Err(std::string(error.what()) + "\n");
        if (error.Status() == ExitStatus::Usage) {
            console.Err(std::string(texts::SeeHelp) + "\n");
        }
        return Code(error.Status());
    } catch (const std::exception& error) {
        console.Err(std::string("Ошибка: ") + error.what() + "\n");
        return Code(ExitStatus::DeviceError);
    }
}

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
    return ReportedRun([&] { return RunCommand(*parsed.options, console, commandLine); }, console);
}

} // namespace cli
