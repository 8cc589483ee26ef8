#include "cli/port_runs.h"

#include "cli/batch_display.h"
#include "cli/cli_texts.h"
#include "cli/command_error.h"
#include "cli/command_table.h"
#include "cli/file_names.h"
#include "cli/interrupt.h"
#include "cli/json_output.h"
#include "cli/option_table.h"
#include "cli/port_console.h"
#include "cli/port_devices.h"
#include "cli/port_probe.h"
#include "cli/report_text.h"
#include "cli/user_files.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

namespace cli {
namespace {

struct PortResult {
    ExitStatus status = ExitStatus::Done;
    double seconds = 0.0;
};

// The ports named, with "all" standing for those a scan finds answering.
std::vector<std::string> PortsOfRun(const Options& options, Console& console) {
    if (std::find(options.ports.begin(), options.ports.end(), AllPorts) == options.ports.end()) {
        return options.ports;
    }
    const std::vector<ProbeResult> results = ProbePorts(PortsToScan(options.ports));
    std::vector<std::string> ports;
    for (const ProbeResult& result : results) {
        if (result.state == ProbeState::Answered) {
            ports.push_back(result.port);
        }
    }
    if (ports.empty()) {
        throw CommandError(ExitStatus::DeviceError, texts::ScanNone);
    }
    std::string found;
    for (const std::string& port : ports) {
        found += (found.empty() ? "" : ", ") + port;
    }
    console.Err(std::string(texts::ScanFound) + std::to_string(ports.size()) + " из " +
                std::to_string(results.size()) + ": " + found + "\n");
    return ports;
}

// Two names of one device would have two threads take turns at it.
void RefuseOneDeviceTwice(const std::vector<std::string>& ports) {
    std::vector<std::string> devices;
    for (const std::string& port : ports) {
        devices.push_back(DeviceOfPort(port));
    }
    for (std::size_t i = 0; i < ports.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (devices[i] == devices[j]) {
                throw CommandError(ExitStatus::Usage, std::string(texts::OneDeviceTwice) +
                                                          ports[j] + ", " + ports[i] + " (" +
                                                          devices[i] + ")");
            }
        }
    }
}

// The options of one port of several: its port, its unit, and files of its own for those the
// command writes; a profile to write is only read, and shared.
Options OptionsOfPort(const Options& options, const std::string& port, std::size_t index) {
    Options own = options;
    own.port = port;
    own.ports = {port};
    if (!options.units.empty()) {
        own.units = {options.units[index]};
    }
    for (const OptionRow* file : FilesWritten(own)) {
        std::optional<std::string>& path = own.*(file->value);
        path = PortFileName(*path, port);
    }
    return own;
}

// The options of each port of the run: for a run of one, those given. A command that does not
// talk to the transducer is a run of one whatever ports it names (scan asks them all itself).
std::vector<Options> RunsOfPorts(const Options& options, Console& console) {
    if (!options.command->talksToDevice || !ManyPorts(options)) {
        return {options};
    }
    const std::vector<std::string> ports = PortsOfRun(options, console);
    RefuseOneDeviceTwice(ports);
    std::vector<Options> runs;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        runs.push_back(OptionsOfPort(options, ports[i], i));
    }
    // Every port's files before any port is talked to: a file that cannot be written stops the
    // whole run with nothing sent anywhere. (A run of one checks its own before it sends.)
    for (const Options& run : runs) {
        CheckOutputs(run);
    }
    return runs;
}

// Runs `run` and shows on `console` the message of a CommandError or other exception that
// ends it; the exit status either way.
ExitStatus ReportedRun(const std::function<ExitStatus()>& run, Console& console) {
    try {
        return run();
    } catch (const CommandError& error) {
        console.Err(std::string(error.what()) + "\n");
        if (error.Status() == ExitStatus::Usage) {
            console.Err(std::string(texts::SeeHelp) + "\n");
        }
        return error.Status();
    } catch (const std::exception& error) {
        console.Err(std::string("Ошибка: ") + error.what() + "\n");
        return ExitStatus::DeviceError;
    }
}

std::string ResultText(ExitStatus status) {
    const int code = Code(status);
    return code >= 0 && code < static_cast<int>(std::size(texts::ResultNames))
               ? texts::ResultNames[code]
               : std::to_string(code);
}

std::string Seconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", seconds);
    return text;
}

// What the terminal shows of a run. A run of one port talks to it straight: the command's
// output as it comes, its messages and prompts as they are, no table. A run of several gives
// each port a console of its own, whose output is kept for the end and whose steps and
// messages are the port's live line, and closes with the outputs and the table.
class Presentation {
public:
    Presentation(Console& terminal, const std::vector<Options>& runs)
        : terminal_(terminal), json_(runs.front().json) {
        if (runs.size() == 1) {
            return;
        }
        for (const Options& run : runs) {
            ports_.push_back(*run.port);
        }
        display_.emplace(terminal, ports_);
        for (std::size_t i = 0; i < runs.size(); ++i) {
            consoles_.push_back(std::make_unique<PortConsole>(*display_, i));
        }
    }

    Console& ConsoleOf(std::size_t port) {
        return consoles_.empty() ? terminal_ : *consoles_[port];
    }

    void Ended(std::size_t port, ExitStatus status) {
        if (display_) {
            display_->Show(port, ResultText(status));
        }
    }

    ExitStatus Close(const std::vector<PortResult>& results) {
        std::vector<ExitStatus> statuses;
        for (const PortResult& result : results) {
            statuses.push_back(result.status);
        }
        if (consoles_.empty()) {
            return statuses.front();
        }
        terminal_.Out(Outputs(results) + (json_ ? "" : Table(results)));
        if (json_) {
            terminal_.Err(Table(results));
        }
        return BatchStatus(statuses);
    }

private:
    std::string Outputs(const std::vector<PortResult>& results) const {
        std::string text;
        if (json_) {
            text = "[\n";
            for (std::size_t i = 0; i < results.size(); ++i) {
                const std::string& out = consoles_[i]->Output();
                text += "{\"port\": " + JsonString(ports_[i]) +
                        ", \"exitStatus\": " + std::to_string(Code(results[i].status)) +
                        ", \"configuration\": " + (out.empty() ? "null\n" : out) + "}" +
                        (i + 1 < results.size() ? ",\n" : "\n");
            }
            return text + "]\n";
        }
        for (std::size_t i = 0; i < results.size(); ++i) {
            if (!consoles_[i]->Output().empty()) {
                text += "== " + ports_[i] + " ==\n" + consoles_[i]->Output();
            }
        }
        return text;
    }

    std::string Table(const std::vector<PortResult>& results) const {
        std::size_t width = 10;
        for (const std::string& port : ports_) {
            width = std::max(width, port.size() + 2);
        }
        std::string table = Padded(texts::PortHeading, width) + Padded(texts::ResultHeading, 21) +
                            Padded(texts::SecondsHeading, 10) + texts::DetailHeading + "\n";
        for (std::size_t i = 0; i < results.size(); ++i) {
            const PortConsole& console = *consoles_[i];
            const std::string detail = console.OutcomeText() ? *console.OutcomeText()
                                       : results[i].status != ExitStatus::Done
                                           ? console.LastMessage()
                                           : std::string();
            table += Padded(ports_[i], width) + Padded(ResultText(results[i].status), 21) +
                     Padded(Seconds(results[i].seconds), 10) + detail + "\n";
        }
        return table;
    }

    Console& terminal_;
    const bool json_;
    std::vector<std::string> ports_;
    std::optional<BatchDisplay> display_;
    std::vector<std::unique_ptr<PortConsole>> consoles_;
};

// Runs `work` for each of `count` ports: one on this thread, several on a thread each.
void ForEachPort(std::size_t count, const std::function<void(std::size_t)>& work) {
    if (count == 1) {
        work(0);
        return;
    }
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < count; ++i) {
        threads.emplace_back(work, i);
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
}

} // namespace

ExitStatus BatchStatus(const std::vector<ExitStatus>& statuses) {
    for (ExitStatus status : statuses) {
        if (status != statuses.front()) {
            return ExitStatus::SomePortsDiffer;
        }
    }
    return statuses.empty() ? ExitStatus::Done : statuses.front();
}

ExitStatus RunOnPorts(const Options& options, Console& console, const std::string& commandLine) {
    // While the transducer is talked to, Ctrl+C stops the run at the next safe point instead of
    // ending the program in the middle of a step.
    std::optional<InterruptScope> interrupt;
    if (options.command->talksToDevice) {
        interrupt.emplace();
    }
    std::vector<Options> runs;
    const ExitStatus setUp = ReportedRun(
        [&] {
            runs = RunsOfPorts(options, console);
            return ExitStatus::Done;
        },
        console);
    if (setUp != ExitStatus::Done) {
        return setUp;
    }
    Presentation presentation(console, runs);
    std::vector<PortResult> results(runs.size());
    ForEachPort(runs.size(), [&](std::size_t i) {
        Console& own = presentation.ConsoleOf(i);
        const auto start = std::chrono::steady_clock::now();
        results[i].status =
            ReportedRun([&] { return runs[i].command->run(runs[i], own, commandLine); }, own);
        results[i].seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        presentation.Ended(i, results[i].status);
    });
    return presentation.Close(results);
}

} // namespace cli
