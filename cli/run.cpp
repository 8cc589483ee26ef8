#include "cli/run.h"

#include "cli/arguments.h"
#include "cli/cli_texts.h"
#include "cli/command_error.h"
#include "cli/commands.h"
#include "cli/help_text.h"
#include "protocol/number_text.h"

#include <exception>

namespace cli {
namespace {

ExitStatus Dispatch(const Options& options, Console& console, const std::string& commandLine) {
    // Checked before any value, so a call without a port is a usage mistake whatever else is
    // wrong with it.
    if (TalksToDevice(options.command) && !options.port && !options.settings) {
        throw CommandError(ExitStatus::Usage, texts::NoPort);
    }
    switch (options.command) {
    case Command::Help:
        console.Out(HelpText());
        return ExitStatus::Done;
    case Command::Ports:
        return RunPorts(console);
    case Command::Read:
        return RunRead(options, console, commandLine);
    case Command::Write:
        return RunWrite(options, console, commandLine);
    case Command::Temp:
        return RunTemp(options, console, commandLine);
    case Command::Reset:
        return RunReset(options, console, commandLine);
    case Command::CalibrateInput:
        return RunCalibrateInput(options, console, commandLine);
    case Command::CalibrateOutput:
        return RunCalibrateOutput(options, console, commandLine);
    }
    return ExitStatus::Usage;
}

} // namespace

int Run(const std::vector<std::string>& args, Console& console) {
    // Numbers on the command line, in profiles and on the wire all use a point, whatever the
    // user's locale says; a comma typed instead is turned into one.
    protocol::OverrideSystemDecimalSeparator('.');
    protocol::DecimalSeparatorText = ".";

    const ParsedArguments parsed = ParseArguments(args);
    if (!parsed.options) {
        console.Err(parsed.error + "\n" + texts::SeeHelp + "\n");
        return Code(ExitStatus::Usage);
    }
    std::string commandLine = texts::Program;
    for (const std::string& arg : args) {
        commandLine += " " + arg;
    }
    try {
        return Code(Dispatch(*parsed.options, console, commandLine));
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

} // namespace cli
