// The transactions the calibration window starts: the zero and gain calibrations of the input
// (their replies go through the status handler) and the output calibration, whose steps prompt
// for the measured output at two test codes and send the gain and offset computed from them.

#include "protocol/exchange_engine.h"

#include "protocol/command_table.h"
#include "protocol/engine_texts.h"
#include "protocol/number_text.h"
#include "protocol/output_calibration_math.h"
#include "protocol/transaction_failure.h"

#include <cmath>
#include <string>

namespace protocol {

void ExchangeEngine::KalibrButton1Click(int inputStage) {
    ui_.ShowMessage(texts::ConnectSubstitute);
    if (!OpenForTransaction(false)) {
        return;
    }
    BeginTransaction(inputStage == 0 ? protocol::TransactionKind::ZeroCalibration
                                     : protocol::TransactionKind::GainCalibration);
    SetControlsEnabled(false);
    view_.SetTimerInterval(InputCalibrationInterval);
    SendFirstCommand(inputStage == 0 ? actions_[ActZeroCalibration] : actions_[ActGainCalibration]);
}

void ExchangeEngine::KalibrButton3Click() {
    std::string message = texts::CheckOutputMode;
    if (!OpenForTransaction(false)) {
        return;
    }
    switch (view_.OutputTypeIndex()) {
    case 0:
        message += texts::OutputMode10V;
        break;
    case 1:
        message += texts::OutputMode5mA;
        break;
    case 2:
        message += texts::OutputMode20mA;
        break;
    default:
        break;
    }
    ui_.ShowMessage(message);
    SetParameter(actions_[ActOutputTestCode], "0D0");
    BeginTransaction(protocol::TransactionKind::OutputCalibration);
    SendFirstCommand(actions_[ActOutputTestCode]);
    SetControlsEnabled(false);
    view_.SetCalibrationUnfinished(true);
    // The record already holds the high test code when the first reply arrives.
    SetParameter(actions_[ActOutputTestCode], "CD0");
}

void ExchangeEngine::KalibrFormClose(bool calibrationUnfinished) {
    view_.SetTimerInterval(StatusInterval);
    if (calibrationUnfinished) {
        ui_.ShowMessage(texts::CalibrationWindowClosedEarly);
    }
}

double ExchangeEngine::CalibrationEntry(const std::string& text) {
    const auto value = ParseNumber(text, SystemDecimalSeparator());
    if (!value || !std::isfinite(*value)) {
        throw TransactionFailure(texts::InvalidEntry);
    }
    return *value;
}

ExchangeEngine::StepResult ExchangeEngine::OutputCalibrationStep() {
    // The payloads are not examined: every reply that passed the engine's checks moves on.
    switch (step_) {
    case 0:
        step_ = 1;
        measuredMinimum_ =
            CalibrationEntry(ui_.InputBox(texts::MinimumCaption, texts::MeasuredValuePrompt, "0"));
        SendCommand(actions_[ActOutputTestCode]);
        return StepResult::Continue;
    case 1: {
        step_ = 2;
        const int outputType = view_.OutputTypeIndex();
        const auto fullScale = protocol::FullScale(outputType);
        measuredMaximum_ =
            CalibrationEntry(ui_.InputBox(texts::MaximumCaption, texts::MeasuredValuePrompt,
                                          protocol::FullScaleText(outputType)));
        if (!fullScale) {
            throw TransactionFailure(texts::InvalidEntry);
        }
        fullScale_ = *fullScale;
        // A maximum not above the minimum, or values that make the gain or the offset
        // unrepresentable, are refused as a wrong measurement before anything is sent, so the
        // transducer never gets a negative or garbage gain.
        const auto gain = protocol::GainCoefficient(fullScale_, measuredMinimum_, measuredMaximum_);
        if (!gain || !protocol::OffsetCode(*gain, measuredMinimum_, fullScale_)) {
            throw TransactionFailure(texts::InvalidEntry);
        }
        gainCoefficient_ = *gain;
        const std::string gainText = WireGain(gainCoefficient_);
        SetParameter(actions_[ActSetGain], gainText);
        SendCommand(actions_[ActSetGain]);
        return StepResult::Continue;
    }
    case 2: {
        step_ = 3;
        const auto offset = protocol::OffsetCode(gainCoefficient_, measuredMinimum_, fullScale_);
        if (!offset) {
            throw TransactionFailure(texts::InvalidEntry);
        }
        offsetCode_ = *offset;
        SetParameter(actions_[ActSetOffset], std::to_string(offsetCode_));
        SendCommand(actions_[ActSetOffset]);
        return StepResult::Continue;
    }
    case 3:
        step_ = 4;
        SendCommand(actions_[ActEndOutputCalibration]);
        return StepResult::Continue;
    case RecoveryStep:
        ui_.SetCursor(CursorShape::Default);
        ui_.ShowMessage(texts::CalibrationUnfinished);
        view_.SetCalibrationUnfinished(false);
        return StepResult::Finish;
    default:
        ui_.SetCursor(CursorShape::Default);
        ui_.ShowMessage(texts::CalibrationSucceeded);
        view_.SetCalibrationUnfinished(false);
        return StepResult::Finish;
    }
}

} // namespace protocol
