// The step handler that the factory reset and the zero and gain calibrations share: the first
// command's reply is not examined, then "$0" asks for the status, and "00" means success.

#include "protocol/exchange_engine.h"

#include "protocol/command_table.h"
#include "protocol/engine_texts.h"
#include "protocol/transaction_failure.h"

namespace protocol {

ExchangeEngine::StepResult ExchangeEngine::StatusStep() {
    switch (step_) {
    case 0:
        step_ = 1;
        view_.SetTimerInterval(StatusInterval);
        SendCommand(queries_[QryStatus]);
        return StepResult::Continue;
    case 1: {
        const int comparison = replyPayload_.compare("00");
        statusResult_ = comparison < 0 ? -1 : (comparison > 0 ? 1 : 0);
        if (statusResult_ != 0) {
            throw TransactionFailure(kind_ == protocol::TransactionKind::GainCalibration
                                         ? texts::GainCalibrationError
                                         : texts::ZeroCalibrationError);
        }
        ui_.SetCursor(CursorShape::Default);
        ui_.ShowMessage(texts::CalibrationSucceeded);
        return StepResult::Finish;
    }
    default:
        return StepResult::Finish;
    }
}

} // namespace protocol
