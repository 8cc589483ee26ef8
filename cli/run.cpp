#include "cli/run.h"

#include "cli/arguments.h"
#include "cli/batch.h"
#include "cli/cli_texts.h"
#include "cli/command_error.h"
#include "cli/commands.h"
#include "cli/help_text.h"
#include "cli/interrupt.h"
#include "protocol/number_text.h"

#include <algorithm>
#include <exception>

namespace cli {
namespace {

// Mistakes of the command line as a whole, found before any port is touched.
void CheckUsage(const Options& options) {
    // Checked before any value, so a call without a port is a usage mistake whatever else is
    // wrong with it.
    if (TalksToDevice(options.command) && options.ports.empty() && !options.settings) {
        throw CommandError(ExitStatus::Usage, texts::NoPort);
    }
    if ((!options.units.empty() || options.operatorName) && !options.record) {
        throw CommandError(ExitStatus::Usage, texts::UnitWithoutRecord);
    }
    // One unit per port, paired in the order given; the ports of a scan are not known before.
    const bool all =
        std::find(options.ports.begin(), options.ports.end(), AllPorts) != options.ports.end();
    if (!options.units.empty() &&
        (all || options.units.size() != std::max<std::size_t>(options.ports.size(), 1))) {
        throw CommandError(ExitStatus::Usage, texts::UnitsPerPort);
    }
}

ExitStatus Dispatch(const Options& options, Console& console, const std::string& commandLine) {
    CheckUsage(options);
    switch (options.command) {
    case Command::Help:
        console.Out(HelpText());
        return ExitStatus::Done;
    case Command::Ports:
        return RunPorts(console);
    case Command::Scan:
        return RunScan(options, console);
    default:
        break;
    }
    // From here on the transducer is talked to: Ctrl+C stops the run at the next safe point
    // instead of ending the program in the middle of a step.
    const InterruptScope interrupt;
    if (ManyPorts(options)) {
        return RunBatch(options, console, commandLine);
    }
    return RunDeviceCommand(options, console, commandLine);
}

} // namespace

ExitStatus RunDeviceCommand(const Options& options, Console& console,
                            const std::string& commandLine) {
    switch (options.command) {
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
    default:
        return ExitStatus::Usage;
    }
}

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
    if (!parsed.options) {
        console.Err(parsed.error + "\n" + texts::SeeHelp + "\n");
        return Code(ExitStatus::Usage);
    }
    std::string commandLine = texts::Program;
    for (const std::string& arg : args) {
        commandLine += " " + arg;
    }
    return ReportedRun([&] { return Dispatch(*parsed.options, console, commandLine); }, console);
}

} // namespace cli
