#include "simulator/device_model.h"

#include "simulator/parameter_parser.h"
#include "simulator/reply_format.h"

#include <cmath>

namespace sim {
namespace {

Response Answered(std::string payload = {}) {
    return {Response::Outcome::Answered, std::move(payload), {}};
}

Response NotUnderstood(std::string note) {
    return {Response::Outcome::NotUnderstood, {}, std::move(note)};
}

} // namespace

DeviceModel::DeviceModel(DeviceState state) : state_(std::move(state)) {}

void DeviceModel::SetMeasuredValue(double value) {
    measured_ = value;
    driftOffset_ = 0.0;
    driftDirection_ = 1.0;
}

void DeviceModel::SetDrift(bool on) {
    drift_ = on;
    driftOffset_ = 0.0;
    driftDirection_ = 1.0;
}

double DeviceModel::NextReading() {
    if (!drift_) {
        return measured_;
    }
    // A triangle wave: steady steps up to the top of the span, then down to the bottom.
    if (std::abs(driftOffset_ + driftDirection_ * kDriftStep) > kDriftSpan + 1e-9) {
        driftDirection_ = -driftDirection_;
    }
    driftOffset_ += driftDirection_ * kDriftStep;
    return measured_ + driftOffset_;
}

Response DeviceModel::Handle(std::string_view line) {
    if (line.size() < 2) {
        return NotUnderstood("command shorter than two characters");
    }
    auto code = CodeFromText(line.substr(0, 2));
    if (!code) {
        return NotUnderstood("unknown command code");
    }
    std::string_view parameter = line.substr(2);
    if (TakesParameter(*code)) {
        return Set(*code, parameter);
    }
    if (!parameter.empty()) {
        state_.status = kRejectedStatus;
        return {Response::Outcome::Rejected, {}, "command takes no parameter"};
    }
    return Run(*code);
}

Response DeviceModel::Set(CommandCode code, std::string_view parameter) {
    bool accepted = false;
    switch (code) {
    case CommandCode::SetRange:
        if (auto v = ParseRangeParameter(parameter)) {
            state_.rangeIndex = *v;
            accepted = true;
        }
        break;
    case CommandCode::SetLower:
        if (auto v = ParseDecimalParameter(parameter)) {
            state_.lowerValue = *v;
            accepted = true;
        }
        break;
    case CommandCode::SetUpper:
        if (auto v = ParseDecimalParameter(parameter)) {
            state_.upperValue = *v;
            accepted = true;
        }
        break;
    case CommandCode::SetBreakLevel:
        if (auto v = ParseBreakLevelParameter(parameter)) {
            state_.breakLevel = *v;
            accepted = true;
        }
        break;
    case CommandCode::SetOutputType:
        if (auto v = ParseOutputTypeParameter(parameter)) {
            state_.outputType = *v;
            accepted = true;
        }
        break;
    case CommandCode::SetGain:
        if (auto v = ParseGainParameter(parameter)) {
            state_.outputGain = *v;
            accepted = true;
        }
        break;
    case CommandCode::SetOffset:
        if (auto v = ParseOffsetParameter(parameter)) {
            state_.outputOffset = *v;
            accepted = true;
        }
        break;
    case CommandCode::OutputTestCode:
        if (auto v = ParseTestCodeParameter(parameter)) {
            state_.outputTestCode = *v;
            accepted = true;
        }
        break;
    default:
        break;
    }
    if (!accepted) {
        state_.status = kRejectedStatus;
        return {Response::Outcome::Rejected, {}, "malformed parameter"};
    }
    return Answered();
}

Response DeviceModel::Run(CommandCode code) {
    switch (code) {
    case CommandCode::QueryRange:
        return Answered(FormatRangePayload(state_.rangeIndex));
    case CommandCode::QueryUpper:
        return Answered(FormatValuePayload(state_.upperValue));
    case CommandCode::QueryBreakLevel:
        return Answered(FormatValuePayload(state_.breakLevel));
    case CommandCode::QueryLower:
        return Answered(FormatValuePayload(state_.lowerValue));
    case CommandCode::QueryOutputType:
        return Answered(FormatOutputTypePayload(state_.outputType));
    case CommandCode::QueryMeasuredValue:
        return Answered(FormatMeasuredPayload(NextReading()));
    case CommandCode::QueryStatus:
        return Answered(state_.status);
    case CommandCode::FactoryReset:
        state_ = FactoryDefaults();
        return Answered();
    case CommandCode::ZeroCalibration:
        state_.zeroCalibrated = true;
        state_.status = "00";
        return Answered();
    case CommandCode::GainCalibration:
        state_.gainCalibrated = true;
        state_.status = "00";
        return Answered();
    case CommandCode::EndOutputCalibration:
        state_.outputTestCode.reset();
        return Answered();
    default:
        return NotUnderstood("unknown command code");
    }
}

} // namespace sim
