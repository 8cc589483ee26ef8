#pragma once
// The transducer simulator as a library: a device model behind a pseudo-terminal, served by a
// thread of its own. Tests start one per test, talk to DevicePath() through the serial port and
// assert on the log; the program lirat5-sim wraps one for interactive use.
//
// Like the device, the simulator serves one command at a time: a command that arrives while a
// reply is still pending (a long processing delay, a late-reply fault) is read and answered
// after that reply has gone out.
//
// Start and Stop belong to the owner's thread; every other public member may be called from
// any thread while the simulator runs.

#include "simulator/device_model.h"
#include "simulator/device_state.h"
#include "simulator/fault.h"
#include "simulator/pty_line.h"
#include "simulator/responder.h"
#include "simulator/sim_log.h"
#include "simulator/stop_signal.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace sim {

struct FramedLine;

struct SimulatorConfig {
    DeviceState state = FactoryDefaults();
    double measuredValue = DeviceModel::kDefaultMeasuredValue;
    bool drift = false;
    // Time between the end of a command and the first byte of its reply.
    std::chrono::milliseconds processingDelay{20};
    // Time each reply byte takes on the line; zero sends a reply at once.
    std::chrono::nanoseconds byteTime = kByteTime9600;
    std::vector<FaultRule> faults;
};

class Simulator {
public:
    explicit Simulator(SimulatorConfig config = {});
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Creates the pseudo-terminal and starts serving it; throws std::system_error when the
    // line cannot be made. A stopped simulator may be started again on a new line.
    void Start();
    // Stops serving and closes the line; returns once the thread has ended. A reply in
    // progress is abandoned. Safe to call more than once.
    void Stop();
    bool Running() const;

    // The device the configurator opens, e.g. /dev/pts/3; empty before Start().
    std::string DevicePath() const;
    // True once a hang-up fault has closed the line.
    bool HungUp() const { return hungUp_; }

    DeviceState State() const;
    void SetState(const DeviceState& state);
    double MeasuredValue() const;
    void SetMeasuredValue(double value);
    void SetDrift(bool on);
    void SetProcessingDelay(std::chrono::milliseconds delay);
    std::chrono::milliseconds ProcessingDelay() const;
    void SetByteTime(std::chrono::nanoseconds byteTime);

    void AddFault(FaultRule rule);
    void ClearFaults();
    // Fault rules that can still fire.
    std::size_t PendingFaults() const;

    SimLog& Log() { return log_; }
    const SimLog& Log() const { return log_; }

    // Runs `f` with the device model under the simulator's lock, for anything the setters
    // above do not cover.
    template <class F> auto WithModel(F&& f) {
        std::lock_guard lock(mutex_);
        return f(responder_.Model());
    }

private:
    void Run();
    void Serve(const FramedLine& line);

    mutable std::mutex mutex_; // guards responder_, the timing settings and path_
    Responder responder_;
    std::chrono::milliseconds processingDelay_;
    std::chrono::nanoseconds byteTime_;
    std::string path_;

    SimLog log_;
    PtyLine line_; // used by the serving thread only while it runs
    StopSignal stop_;
    std::thread thread_;
    std::atomic<bool> hungUp_{false};
};

} // namespace sim
