#include "simulator/simulator.h"

#include "simulator/command_framer.h"
#include "simulator/reply_format.h"

#include <cerrno>
#include <poll.h>
#include <stdexcept>

namespace sim {
namespace {

using Kind = LogEntry::Kind;

DeviceModel MakeModel(const SimulatorConfig& config) {
    DeviceModel model(config.state);
    model.SetMeasuredValue(config.measuredValue);
    model.SetDrift(config.drift);
    return model;
}

} // namespace

Simulator::Simulator(SimulatorConfig config)
    : responder_(MakeModel(config)), processingDelay_(config.processingDelay),
      byteTime_(config.byteTime) {
    for (auto& rule : config.faults) {
        responder_.Faults().Add(std::move(rule));
    }
}

Simulator::~Simulator() {
    Stop();
}

void Simulator::Start() {
    if (thread_.joinable()) {
        throw std::logic_error("the simulator is already running");
    }
    stop_.Reset();
    line_.Open();
    hungUp_ = false;
    {
        std::lock_guard lock(mutex_);
        path_ = line_.DevicePath();
    }
    log_.Add(Kind::Note, "line open at " + line_.DevicePath());
    thread_ = std::thread([this] { Run(); });
}

void Simulator::Stop() {
    if (!thread_.joinable()) {
        return;
    }
    stop_.Raise();
    thread_.join();
    line_.HangUp();
    log_.Add(Kind::Note, "stopped");
}

bool Simulator::Running() const {
    return thread_.joinable() && !stop_.Raised();
}

std::string Simulator::DevicePath() const {
    std::lock_guard lock(mutex_);
    return path_;
}

DeviceState Simulator::State() const {
    std::lock_guard lock(mutex_);
    return responder_.Model().State();
}

void Simulator::SetState(const DeviceState& state) {
    std::lock_guard lock(mutex_);
    responder_.Model().SetState(state);
}

double Simulator::MeasuredValue() const {
    std::lock_guard lock(mutex_);
    return responder_.Model().MeasuredValue();
}

void Simulator::SetMeasuredValue(double value) {
    std::lock_guard lock(mutex_);
    responder_.Model().SetMeasuredValue(value);
}

void Simulator::SetDrift(bool on) {
    std::lock_guard lock(mutex_);
    responder_.Model().SetDrift(on);
}

void Simulator::SetProcessingDelay(std::chrono::milliseconds delay) {
    std::lock_guard lock(mutex_);
    processingDelay_ = delay;
}

std::chrono::milliseconds Simulator::ProcessingDelay() const {
    std::lock_guard lock(mutex_);
    return processingDelay_;
}

void Simulator::SetByteTime(std::chrono::nanoseconds byteTime) {
    std::lock_guard lock(mutex_);
    byteTime_ = byteTime;
}

void Simulator::AddFault(FaultRule rule) {
    std::lock_guard lock(mutex_);
    responder_.Faults().Add(std::move(rule));
}

void Simulator::ClearFaults() {
    std::lock_guard lock(mutex_);
    responder_.Faults().Clear();
}

std::size_t Simulator::PendingFaults() const {
    std::lock_guard lock(mutex_);
    return responder_.Faults().Size();
}

void Simulator::Run() {
    CommandFramer framer;
    while (!hungUp_) {
        pollfd fds[2] = {{line_.MasterFd(), POLLIN, 0}, {stop_.Fd(), POLLIN, 0}};
        int ready = poll(fds, 2, -1);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            log_.Add(Kind::Note, "poll failed; the simulator stops serving");
            return;
        }
        if ((fds[1].revents & POLLIN) != 0) {
            return;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            for (const auto& line : framer.Feed(line_.ReadAvailable())) {
                Serve(line);
                if (hungUp_ || stop_.Raised()) {
                    return;
                }
            }
        } else if ((fds[0].revents & (POLLHUP | POLLERR)) != 0) {
            // The far side is held open by the line itself, so this is not expected; wait
            // instead of spinning on it.
            if (stop_.WaitFor(std::chrono::milliseconds(50))) {
                return;
            }
        }
    }
}

void Simulator::Serve(const FramedLine& line) {
    WireReply wire;
    std::chrono::milliseconds delay;
    std::chrono::nanoseconds byteTime;

    switch (line.kind) {
    case FramedLine::Kind::Overflow:
        log_.Add(Kind::Note, "dropped " + std::to_string(line.text.size()) +
                                 " bytes that did not end with CR LF: " + EscapeBytes(line.text));
        return;
    case FramedLine::Kind::BareLineFeed: {
        log_.Add(Kind::Note, "line ended with LF without CR, not understood: " +
                                 EscapeBytes(line.text) + "<LF>");
        wire.bytes = NotUnderstoodReply();
        std::lock_guard lock(mutex_);
        delay = processingDelay_;
        byteTime = byteTime_;
        break;
    }
    case FramedLine::Kind::Command: {
        log_.Add(Kind::Received, line.text);
        std::lock_guard lock(mutex_);
        wire = responder_.Respond(line.text);
        delay = processingDelay_;
        byteTime = byteTime_;
        break;
    }
    }

    if (wire.response.outcome == Response::Outcome::Rejected) {
        log_.Add(Kind::Note, "rejected \"" + EscapeBytes(line.text) + "\": " + wire.response.note);
    } else if (wire.response.outcome == Response::Outcome::NotUnderstood &&
               line.kind == FramedLine::Kind::Command) {
        log_.Add(Kind::Note,
                 "not understood \"" + EscapeBytes(line.text) + "\": " + wire.response.note);
    }
    if (wire.fault) {
        log_.Add(Kind::Note, "fault: " + DescribeFault(*wire.fault));
    }

    if (stop_.WaitFor(delay + wire.extraDelay)) {
        return;
    }
    if (wire.hangUp) {
        // The flag first, so that whoever sees the line closed also sees the flag.
        hungUp_ = true;
        log_.Add(Kind::Note, "line hung up");
        line_.HangUp();
        return;
    }
    if (wire.bytes.empty()) {
        return;
    }
    std::size_t written = line_.WritePaced(wire.bytes, byteTime, stop_);
    log_.Add(Kind::Sent, wire.bytes.substr(0, written));
    if (written < wire.bytes.size()) {
        log_.Add(Kind::Note, "reply cut short after " + std::to_string(written) + " of " +
                                 std::to_string(wire.bytes.size()) + " bytes");
    }
}

} // namespace sim
