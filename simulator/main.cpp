// lirat5-sim: the transducer simulator as a program. Creates the pseudo-terminal, prints its
// device path, optionally registers it under a COM name, prints the log as it grows and runs
// until SIGINT or SIGTERM (or until a hang-up fault has closed the line).

#include "catalogue/sensor_catalogue.h"
#include "serial/port_names.h"
#include "simulator/com_registration.h"
#include "simulator/options.h"
#include "simulator/simulator.h"

#include <csignal>
#include <cstdio>
#include <ctime>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

std::mutex outputMutex;

void PrintLine(std::FILE* stream, const std::string& text) {
    std::lock_guard lock(outputMutex);
    std::fputs(text.c_str(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

sim::SimulatorConfig ConfigFrom(const sim::ProgramOptions& options) {
    sim::SimulatorConfig config;
    if (options.rangeIndex) {
        const auto& range = catalogue::SensorRanges[static_cast<std::size_t>(*options.rangeIndex)];
        config.state.rangeIndex = *options.rangeIndex;
        config.state.lowerValue = range.Min;
        config.state.upperValue = range.Max;
    }
    if (options.value) {
        config.measuredValue = *options.value;
    }
    config.drift = options.drift;
    config.processingDelay = std::chrono::milliseconds(options.delayMs);
    config.faults = options.faults;
    return config;
}

} // namespace

int main(int argc, char** argv) {
    const std::string program = "lirat5-sim";
    std::vector<std::string> args(argv + 1, argv + argc);
    sim::OptionsResult parsed = sim::ParseOptions(args);
    if (!parsed.options) {
        PrintLine(stderr, program + ": " + parsed.error);
        return 2;
    }
    const sim::ProgramOptions& options = *parsed.options;
    if (options.help) {
        std::fputs(sim::HelpText(program).c_str(), stdout);
        return 0;
    }

    // The signals are taken with sigtimedwait below; blocked before any thread starts so that
    // every thread inherits the mask and none is interrupted by them.
    // Output may go to a pipe whose reader has gone (`lirat5-sim | head -1`); the simulator
    // keeps serving then, and still removes its COM name when it is stopped.
    std::signal(SIGPIPE, SIG_IGN);

    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    sim::Simulator simulator(ConfigFrom(options));
    try {
        simulator.Start();
    } catch (const std::exception& e) {
        PrintLine(stderr, program + ": cannot create the pseudo-terminal: " + e.what());
        return 1;
    }
    const std::string path = simulator.DevicePath();
    PrintLine(stdout, path);

    std::unique_ptr<sim::ComRegistration> registration;
    if (options.comNumber) {
        try {
            registration = std::make_unique<sim::ComRegistration>(serial::PortMappingFolder(),
                                                                  *options.comNumber, path);
        } catch (const std::exception& e) {
            simulator.Stop();
            PrintLine(stderr, program + ": cannot register COM" +
                                  std::to_string(*options.comNumber) + ": " + e.what());
            return 1;
        }
        // Printed even when quiet: scripts read the name the line is reachable under.
        PrintLine(stdout, "COM" + std::to_string(*options.comNumber) + " -> " + path + " (" +
                              registration->LinkPath().string() + ")" +
                              (registration->ReplacedStale() ? ", stale link replaced" : ""));
    }

    if (options.verbosity != sim::Verbosity::Quiet) {
        const auto start = simulator.Log().Start();
        const bool notes = options.verbosity == sim::Verbosity::Verbose;
        simulator.Log().SetSink([start, notes](const sim::LogEntry& entry) {
            if (entry.kind != sim::LogEntry::Kind::Note || notes) {
                PrintLine(stdout, sim::FormatLogEntry(entry, start));
            }
        });
    }

    // Until a signal arrives, checking now and then whether a hang-up fault closed the line.
    int signal = 0;
    while (signal <= 0) {
        timespec wait{0, 200 * 1000 * 1000};
        signal = sigtimedwait(&signals, nullptr, &wait);
        if (signal <= 0 && simulator.HungUp()) {
            PrintLine(stdout, "line hung up; stopping");
            break;
        }
    }

    simulator.Log().SetSink(nullptr);
    simulator.Stop();
    if (registration) {
        registration->Remove();
    }
    return 0;
}
