// The transactions the main window starts: reading and writing the configuration, reading the
// measured value and the factory reset, with the step handlers of the first three kinds.

#include "protocol/exchange_engine.h"

#include "catalogue/sensor_catalogue.h"
#include "catalogue/sensor_selection.h"
#include "protocol/command_table.h"
#include "protocol/engine_texts.h"
#include "protocol/number_text.h"
#include "protocol/transaction_failure.h"
#include "protocol/write_parameters.h"

namespace protocol {

void ExchangeEngine::ButtonReadClick() {
    if (!OpenForTransaction(true)) {
        return;
    }
    BeginTransaction(protocol::TransactionKind::ReadConfiguration);
    SendFirstCommand(queries_[QryRange]);
    SetControlsEnabled(false);
}

void ExchangeEngine::ButtonWriteClick() {
    const WriteCheck check =
        CheckWriteParameters(view_.SelectedRangeIndex(), view_.UpperText(), view_.LowerText(),
                             view_.BreakLevelText(), view_.OutputTypeIndex());
    if (!check.parameters) {
        ui_.ShowMessage(check.message);
        return;
    }
    if (!OpenForTransaction(true)) {
        return;
    }
    BeginTransaction(protocol::TransactionKind::WriteConfiguration);
    const WriteParameters& p = *check.parameters;
    SetParameter(actions_[ActSetRange], p.Range);
    SetParameter(actions_[ActSetLower], p.Lower);
    SetParameter(actions_[ActSetBreakLevel], p.BreakLevel);
    SetParameter(actions_[ActSetUpper], p.Upper);
    SetParameter(actions_[ActSetOutputType], p.OutputType);
    SendFirstCommand(actions_[ActSetRange]);
    SetControlsEnabled(false);
}

void ExchangeEngine::ButtonTempClick() {
    if (!OpenForTransaction(true)) {
        return;
    }
    BeginTransaction(protocol::TransactionKind::ReadTemperature);
    SendFirstCommand(queries_[QryMeasuredValue]);
    SetControlsEnabled(false);
}

void ExchangeEngine::ButtonZClick() {
    if (!OpenForTransaction(true)) {
        return;
    }
    BeginTransaction(protocol::TransactionKind::ZeroCalibration);
    factoryReset_ = true;
    SendFirstCommand(actions_[ActFactoryReset]);
    SetControlsEnabled(false);
}

ExchangeEngine::StepResult ExchangeEngine::ReadConfigurationStep() {
    const char separator = SystemDecimalSeparator();
    switch (step_) {
    case 0: {
        const auto range = ParseHexPayload(replyPayload_);
        if (!range || *range < 0 || *range >= catalogue::SensorRangeCount) {
            throw TransactionFailure(texts::BadReply);
        }
        view_.SelectRangeByIndex(static_cast<int>(*range));
        step_ = 1;
        deviceAnswered_ = true;
        SendCommand(queries_[QryUpper]);
        return StepResult::Continue;
    }
    case 1:
        view_.SetUpperText(FormatNumber(PayloadNumber(), "###0.0", separator));
        step_ = 2;
        SendCommand(queries_[QryBreakLevel]);
        return StepResult::Continue;
    case 2:
        view_.SetBreakLevelText(FormatNumber(PayloadNumber() * 100.0, "##0.0", separator));
        step_ = 3;
        SendCommand(queries_[QryLower]);
        return StepResult::Continue;
    case 3:
        view_.SetLowerText(FormatNumber(PayloadNumber(), "###0.0", separator));
        step_ = 4;
        SendCommand(queries_[QryOutputType]);
        return StepResult::Continue;
    case 4: {
        if (replyPayload_.empty()) {
            throw TransactionFailure(texts::BadReply);
        }
        // The two low bits of the first character; the list has three items, so 3 selects
        // the last one.
        const int index = static_cast<unsigned char>(replyPayload_.front()) & 3;
        view_.SetOutputTypeIndex(index > 2 ? 2 : index);
        return StepResult::Finish;
    }
    default:
        return StepResult::Finish;
    }
}

ExchangeEngine::StepResult ExchangeEngine::WriteConfigurationStep() {
    // The replies are not examined: the engine's checks are all a write step needs.
    switch (step_) {
    case 0:
        step_ = 1;
        deviceAnswered_ = true;
        SendCommand(actions_[ActSetLower]);
        return StepResult::Continue;
    case 1:
        step_ = 2;
        SendCommand(actions_[ActSetBreakLevel]);
        return StepResult::Continue;
    case 2:
        step_ = 3;
        SendCommand(actions_[ActSetUpper]);
        return StepResult::Continue;
    case 3:
        step_ = 4;
        SendCommand(actions_[ActSetOutputType]);
        return StepResult::Continue;
    default:
        return StepResult::Finish;
    }
}

ExchangeEngine::StepResult ExchangeEngine::ReadTemperatureStep() {
    const std::string value = FormatNumber(PayloadNumber(), "####0.0#", SystemDecimalSeparator());
    // The unit follows the type selected in the window now, not the transducer's setting.
    const auto type = view_.SelectedTypeIndex();
    const bool resistance = type && catalogue::IsResistanceType(*type);
    view_.SetMeasuredValueText((resistance ? texts::Resistance : texts::Temperature) + value);
    return StepResult::Finish;
}

} // namespace protocol
