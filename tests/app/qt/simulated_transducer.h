#pragma once
// The transducer simulator on a pseudo-terminal for the Qt main window's end-to-end tests,
// reachable under the port names a settings file gives (COM7, and COM1, the one the window
// falls back to) through a private port-name folder, and restartable on a new line after a
// hang-up; with the wait for a whole reply after which a test runs the timer's tick itself, so
// that a step takes milliseconds, not seconds.

#include "serial/com_port.h"
#include "serial/port_names.h"
#include "simulator/simulator.h"

#include <QTemporaryDir>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace app_test {

// A transducer configured for range 10 (ТСМ 100 W=1,426, -50 +200): 150.5 to -20, break level
// 25 %, output 0-5 mA.
inline sim::DeviceState ConfiguredState() {
    sim::DeviceState state = sim::FactoryDefaults();
    state.rangeIndex = 10;
    state.upperValue = 150.5;
    state.lowerValue = -20.0;
    state.breakLevel = 0.25;
    state.outputType = 1;
    return state;
}

struct SimulatedTransducer {
    QTemporaryDir ports;
    std::unique_ptr<sim::Simulator> simulator;

    explicit SimulatedTransducer(sim::DeviceState state = ConfiguredState()) {
        sim::SimulatorConfig config;
        config.state = state;
        config.measuredValue = 23.4;
        config.processingDelay = std::chrono::milliseconds(5);
        simulator = std::make_unique<sim::Simulator>(config);
        serial::SetPortMappingFolder(ports.path().toStdString());
        Restart();
    }
    ~SimulatedTransducer() {
        simulator->Stop();
        serial::SetPortMappingFolder({});
    }
    SimulatedTransducer(const SimulatedTransducer&) = delete;
    SimulatedTransducer& operator=(const SimulatedTransducer&) = delete;

    // A new line (the old one may have been hung up) under the same names.
    void Restart() {
        simulator->Stop();
        simulator->Start();
        serial::RegisterPortName("COM7", simulator->DevicePath());
        serial::RegisterPortName("COM1", simulator->DevicePath());
    }

    void Fault(sim::FaultKind kind, const std::string& code,
               std::optional<int> number = std::nullopt,
               std::optional<std::string> text = std::nullopt) {
        simulator->AddFault(sim::FaultRule{sim::Fault(kind, number, std::move(text)), code, 1});
    }
    sim::SimLog& Log() { return simulator->Log(); }
    std::vector<std::string> Received() const {
        return simulator->Log().Texts(sim::LogEntry::Kind::Received);
    }
    std::size_t Sent() const { return simulator->Log().Count(sim::LogEntry::Kind::Sent); }

    // Waits until the simulator has sent its `count`th reply and the whole of it has arrived at
    // `port`. The wait processes no events, so the window's own timer cannot tick meanwhile,
    // however slow the machine is.
    bool WaitForReply(std::size_t count, serial::TComPort& port) {
        using namespace std::chrono_literals;
        if (!Log().WaitForCount(sim::LogEntry::Kind::Sent, count, 5s)) {
            return false;
        }
        const int expected =
            static_cast<int>(Log().Texts(sim::LogEntry::Kind::Sent).at(count - 1).size());
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (port.InputCount() < expected && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(1ms);
        }
        return port.InputCount() >= expected;
    }
};

} // namespace app_test
