#pragma once
// Turns one received command line into the bytes that go back on the line: the device model
// works out its reply, and a planned fault may change or replace it. No input/output and no
// locking; the simulator serialises access.

#include "simulator/device_model.h"
#include "simulator/fault.h"
#include "simulator/fault_plan.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace sim {

struct WireReply {
    std::string bytes;                      // what goes on the line, possibly nothing
    std::chrono::milliseconds extraDelay{}; // added to the processing delay
    bool hangUp = false;                    // close the line instead of replying
    std::optional<Fault> fault;             // the fault that was played, if any
    Response response;                      // what the device made of the command
};

class Responder {
public:
    explicit Responder(DeviceModel model = DeviceModel()) : model_(std::move(model)) {}

    // The reply to a line that ended with CR LF (`line` without them).
    WireReply Respond(std::string_view line);

    DeviceModel& Model() { return model_; }
    const DeviceModel& Model() const { return model_; }
    FaultPlan& Faults() { return faults_; }
    const FaultPlan& Faults() const { return faults_; }

private:
    DeviceModel model_;
    FaultPlan faults_;
};

// The bytes of a reply after a fault has been played on it. `reply` is the correct reply.
WireReply ApplyFault(const Fault& fault, std::string reply);

} // namespace sim
