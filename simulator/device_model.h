#pragma once
// The simulated transducer itself: it takes one command line (without CR LF) and works out what
// the device does with it and the payload of its reply. No input/output and no locking: the
// simulator serialises access to it.

#include "simulator/command_code.h"
#include "simulator/device_state.h"

#include <string>
#include <string_view>

namespace sim {

// Status of "$0" after a command whose parameter was rejected.
inline constexpr std::string_view kRejectedStatus = "02";

struct Response {
    enum class Outcome {
        Answered,      // the command was carried out; the reply is "!" and `payload`
        Rejected,      // known command, malformed parameter: "!" with an empty payload, and "$0"
                       // reports kRejectedStatus until the next calibration or factory reset
        NotUnderstood, // not a command of the transducer: the reply does not begin with "!"
    };
    Outcome outcome = Outcome::Answered;
    std::string payload;
    std::string note; // why a command was rejected or not understood, for the log
};

class DeviceModel {
public:
    // Measured value on a sensor at room temperature.
    static constexpr double kDefaultMeasuredValue = 20.0;
    // The drift moves each reading by this step, back and forth within kDriftSpan of the value.
    static constexpr double kDriftStep = 0.05;
    static constexpr double kDriftSpan = 1.0;

    explicit DeviceModel(DeviceState state = FactoryDefaults());

    Response Handle(std::string_view line);

    const DeviceState& State() const { return state_; }
    void SetState(const DeviceState& state) { state_ = state; }
    void SetStatus(std::string status) { state_.status = std::move(status); }

    // The value at the sensor: degrees Celsius on the thermometer ranges, ohms on the others.
    double MeasuredValue() const { return measured_; }
    void SetMeasuredValue(double value);
    bool Drift() const { return drift_; }
    void SetDrift(bool on);
    // What the next "#0" returns; with drift on, every reading differs from the one before.
    double NextReading();

private:
    Response Set(CommandCode code, std::string_view parameter);
    Response Run(CommandCode code); // a command without parameter

    DeviceState state_;
    double measured_ = kDefaultMeasuredValue;
    bool drift_ = false;
    double driftOffset_ = 0.0;
    double driftDirection_ = 1.0;
};

} // namespace sim
