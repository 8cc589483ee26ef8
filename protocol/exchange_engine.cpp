#include "protocol/exchange_engine.h"

#include "catalogue/windows1251.h"
#include "protocol/command_table.h"
#include "protocol/engine_texts.h"
#include "protocol/number_text.h"
#include "protocol/transaction_failure.h"

#include <array>
#include <cmath>
#include <exception>
#include <utility>

namespace protocol {

ExchangeEngine::ExchangeEngine(ExchangePort& port, EngineView& view, UiServices& ui)
    : port_(port), view_(view), ui_(ui), actions_(ActionCommands), queries_(QueryCommands) {}

ExchangeEngine::ExchangeEngine(ExchangePort& port, EngineView& view, UiServices& ui,
                               CommandTables& tables)
    : port_(port), view_(view), ui_(ui), actions_(tables.actions), queries_(tables.queries) {}

void ExchangeEngine::ResetOnShow() {
    deviceAnswered_ = false;
    controlsEnabled_ = true;
}

void ExchangeEngine::AbandonTransaction() {
    view_.SetTimerEnabled(false);
    if (port_.Connected()) {
        port_.Close();
    }
}

void ExchangeEngine::SendCommand(CommandRecord record) {
    port_.ClearBuffer(true, true);
    port_.Write(record.Bytes.data(), record.ByteCount);
    view_.SetStatusText(0, std::string(texts::Sent) + record.Text);
    view_.SetTimerEnabled(true);
}

void ExchangeEngine::SetControlsEnabled(bool onState) {
    view_.SetTransactionButtonsEnabled(onState);
    if (deviceAnswered_) {
        view_.SetCalibrationButtonsEnabled(onState);
        controlsEnabled_ = onState;
    }
}

void ExchangeEngine::EndTransaction() {
    SetControlsEnabled(true);
    const bool calibrationKind = kind_ == protocol::TransactionKind::ZeroCalibration ||
                                 kind_ == protocol::TransactionKind::GainCalibration ||
                                 kind_ == protocol::TransactionKind::OutputCalibration;
    if (calibrationKind && statusResult_ != 0) {
        view_.SetContinueButtonEnabled(false);
    }
    ui_.SetCursor(CursorShape::Default);
    port_.Close();
}

bool ExchangeEngine::OpenForTransaction(bool applyPortNumber) {
    if (applyPortNumber) {
        view_.ApplyPortNumber();
    }
    port_.Open();
    if (!port_.Connected()) {
        ui_.ShowMessage(texts::PortNotConnected);
        port_.Close();
        return false;
    }
    return true;
}

void ExchangeEngine::BeginTransaction(protocol::TransactionKind kind) {
    step_ = 0;
    kind_ = kind;
    factoryReset_ = false;
    // A status left over from an earlier calibration must not disable "Продолжить" at the end
    // of this transaction.
    statusResult_ = 0;
    ui_.SetCursor(CursorShape::Hourglass);
}

void ExchangeEngine::SendFirstCommand(const CommandRecord& record) {
    try {
        SendCommand(record);
    } catch (...) {
        view_.SetTimerEnabled(false);
        EndTransaction();
        throw;
    }
}

// The port layer's errors carry fixed English texts; the user reads a Russian headline with
// the explanation and that text below it, which still names the failed call and the system's
// error number.
std::string ExchangeEngine::ExchangeErrorText(const std::string& detail) {
    if (detail.empty()) {
        return texts::ExchangeError;
    }
    return std::string(texts::ExchangeError) + "\n" + detail;
}

void ExchangeEngine::SetErrorExplainer(ErrorExplainer explainer) {
    explainer_ = explainer ? std::move(explainer) : ErrorExplainer(PlainExplanation);
}

std::string ExchangeEngine::ErrorText(const std::exception& error) const {
    const ErrorExplanation told = explainer_(error);
    std::string text = told.explanation;
    const char* partial = nullptr;
    if (told.connectionLost) {
        switch (kind_) {
        case protocol::TransactionKind::WriteConfiguration:
            partial = texts::PartialWrite;
            break;
        case protocol::TransactionKind::ZeroCalibration:
            partial = factoryReset_ ? texts::PartialFactoryReset : texts::PartialCalibration;
            break;
        case protocol::TransactionKind::GainCalibration:
        case protocol::TransactionKind::OutputCalibration:
            partial = texts::PartialCalibration;
            break;
        default:
            break;
        }
    }
    for (const std::string& line : {partial ? std::string(partial) : std::string(), told.detail}) {
        if (!line.empty()) {
            text += (text.empty() ? "" : "\n") + line;
        }
    }
    return text;
}

void ExchangeEngine::TimerTimer() {
    waitingCount_ = 0;
    try {
        RunTick();
    } catch (const TransactionFailure& failure) {
        FailTransaction(failure.what());
    } catch (const std::exception& error) {
        // A port error while reading, or anything else a step could not handle: the transaction
        // still ends (or recovers) so that the window is never left waiting.
        FailTransaction(ExchangeErrorText(ErrorText(error)));
    } catch (...) {
        FailTransaction(texts::ExchangeError);
    }
}

void ExchangeEngine::RunTick() {
    const int waiting = port_.InputCount();
    view_.SetTimerEnabled(false);
    if (waiting <= 0) {
        throw TransactionFailure(texts::NoConnection);
    }
    waitingCount_ = waiting > MaxReplyBytes ? MaxReplyBytes : waiting;

    std::array<std::uint8_t, MaxReplyBytes + 1> buffer{};
    port_.Read(buffer.data(), waitingCount_);
    if (buffer[0] != '!') {
        throw TransactionFailure(texts::NotUnderstood);
    }
    // The transducer ends every reply with one terminating byte; the last byte read is taken
    // as that byte, whatever it is.
    buffer[static_cast<std::size_t>(waitingCount_ - 1)] = 0;

    std::string reply;
    for (std::size_t i = 0; buffer[i] != 0; ++i) {
        reply.push_back(static_cast<char>(buffer[i]));
    }
    // The reply is the device's Windows-1251 text; the window shows UTF-8.
    view_.SetStatusText(1, std::string(texts::Received) +
                               catalogue::Windows1251ToUtf8ForDisplay(reply));

    replyPayload_ = reply.empty() ? std::string() : reply.substr(1);
    // Numbers arrive with a point; the window's conversions expect the system's separator.
    if (!DecimalSeparatorText.empty()) {
        std::string converted;
        for (char c : replyPayload_) {
            if (c == '.') {
                converted += DecimalSeparatorText;
            } else {
                converted.push_back(c);
            }
        }
        replyPayload_ = converted;
    }

    if (Dispatch() == StepResult::Finish) {
        EndTransaction();
    }
}

ExchangeEngine::StepResult ExchangeEngine::Dispatch() {
    switch (kind_) {
    case protocol::TransactionKind::ReadConfiguration:
        return ReadConfigurationStep();
    case protocol::TransactionKind::WriteConfiguration:
        return WriteConfigurationStep();
    case protocol::TransactionKind::ReadTemperature:
        return ReadTemperatureStep();
    case protocol::TransactionKind::ZeroCalibration:
    case protocol::TransactionKind::GainCalibration:
        return StatusStep();
    case protocol::TransactionKind::OutputCalibration:
        statusResult_ = 0;
        return OutputCalibrationStep();
    }
    return StepResult::Finish;
}

void ExchangeEngine::FailTransaction(const std::string& message) {
    // Whatever raised the failure, no further tick may come before the next command is sent.
    view_.SetTimerEnabled(false);
    ui_.ShowMessage(message);
    if (kind_ == protocol::TransactionKind::OutputCalibration && waitingCount_ > 0) {
        // The transducer is in its calibration mode: "$B" takes it out again, and the reply to
        // it ends the calibration at the recovery step.
        step_ = RecoveryStep;
        std::string sendError = texts::ExchangeError;
        try {
            SendCommand(actions_[ActEndOutputCalibration]);
            return;
        } catch (const std::exception& error) {
            sendError = ExchangeErrorText(ErrorText(error));
        } catch (...) {
        }
        // The port could not take "$B" either: the calibration ends here, unfinished. The same
        // port error is not shown twice.
        view_.SetTimerEnabled(false);
        if (sendError != message) {
            ui_.ShowMessage(sendError);
        }
    }
    EndTransaction();
}

double ExchangeEngine::PayloadNumber() const {
    const auto value = ParseNumber(replyPayload_, SystemDecimalSeparator());
    if (!value || !std::isfinite(*value)) {
        throw TransactionFailure(texts::BadReply);
    }
    return *value;
}

} // namespace protocol
