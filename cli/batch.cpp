#include "cli/batch.h"

#include "cli/cli_texts.h"
#include "cli/command_error.h"
#include "cli/json_output.h"
#include "cli/port_console.h"
#include "cli/port_devices.h"
#include "cli/port_probe.h"
#include "cli/report_text.h"
#include "cli/run.h"
#include "cli/user_files.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

namespace cli {
namespace {

struct PortRun {
    std::unique_ptr<PortConsole> console;
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

Options OptionsOfPort(const Options& options, const std::string& port, std::size_t index) {
    Options own = options;
    own.port = port;
    own.ports = {port};
    if (!options.units.empty()) {
        own.units = {options.units[index]};
    }
    // Files the command writes belong to one port each; a profile to write is only read.
    for (std::optional<std::string>* file : {&own.log, &own.csv, &own.html}) {
        if (*file) {
            **file = PortFileName(**file, port);
        }
    }
    if (own.profile && own.command == Command::Read) {
        *own.profile = PortFileName(*own.profile, port);
    }
    return own;
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

std::string Results(const Options& options, const std::vector<std::string>& ports,
                    const std::vector<PortRun>& runs) {
    std::string text;
    if (options.json) {
        text = "[\n";
        for (std::size_t i = 0; i < runs.size(); ++i) {
            const std::string& out = runs[i].console->Output();
            text += "{\"port\": " + JsonString(ports[i]) +
                    ", \"exitStatus\": " + std::to_string(Code(runs[i].status)) +
                    ", \"configuration\": " + (out.empty() ? "null\n" : out) + "}" +
                    (i + 1 < runs.size() ? ",\n" : "\n");
        }
        return text + "]\n";
    }
    for (std::size_t i = 0; i < runs.size(); ++i) {
        if (!runs[i].console->Output().empty()) {
            text += "== " + ports[i] + " ==\n" + runs[i].console->Output();
        }
    }
    return text;
}

std::string Table(const std::vector<std::string>& ports, const std::vector<PortRun>& runs) {
    std::size_t width = 10;
    for (const std::string& port : ports) {
        width = std::max(width, port.size() + 2);
    }
    std::string table = Padded(texts::PortHeading, width) + Padded(texts::ResultHeading, 21) +
                        Padded(texts::SecondsHeading, 10) + texts::DetailHeading + "\n";
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const PortConsole& console = *runs[i].console;
        const std::string detail = console.OutcomeText()                ? *console.OutcomeText()
                                   : runs[i].status != ExitStatus::Done ? console.LastMessage()
                                                                        : std::string();
        table += Padded(ports[i], width) + Padded(ResultText(runs[i].status), 21) +
                 Padded(Seconds(runs[i].seconds), 10) + detail + "\n";
    }
    return table;
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

ExitStatus RunBatch(const Options& options, Console& console, const std::string& commandLine) {
    const std::vector<std::string> ports = PortsOfRun(options, console);
    RefuseOneDeviceTwice(ports);
    // Every port's files before any port is talked to: a file that cannot be written stops the
    // whole run with nothing sent anywhere.
    for (std::size_t i = 0; i < ports.size(); ++i) {
        CheckOutputs(OptionsOfPort(options, ports[i], i));
    }

    BatchDisplay display(console, ports);
    std::vector<PortRun> runs(ports.size());
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        runs[i].console = std::make_unique<PortConsole>(display, i);
        threads.emplace_back([&, i] {
            const Options own = OptionsOfPort(options, ports[i], i);
            PortConsole& portConsole = *runs[i].console;
            const auto start = std::chrono::steady_clock::now();
            runs[i].status = static_cast<ExitStatus>(ReportedRun(
                [&] { return RunDeviceCommand(own, portConsole, commandLine); }, portConsole));
            runs[i].seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            display.Show(i, ResultText(runs[i].status));
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }

    std::vector<ExitStatus> statuses;
    for (const PortRun& run : runs) {
        statuses.push_back(run.status);
    }
    console.Out(Results(options, ports, runs) + (options.json ? "" : Table(ports, runs)));
    if (options.json) {
        console.Err(Table(ports, runs));
    }
    return BatchStatus(statuses);
}

} // namespace cli
