#pragma once
// The exchange engine: every exchange with the transducer is a transaction of steps. A starter
// opens the port and sends the first command; one timer interval later TimerTimer takes what
// has arrived, checks it and hands its payload to the step handler of the running kind, which
// sends the next command, finishes, or fails with a message. The engine reaches the windows
// only through EngineView and UiServices, so it runs without a display.

#include "protocol/command_record.h"
#include "protocol/command_table.h"
#include "protocol/engine_view.h"
#include "protocol/error_explanation.h"
#include "protocol/exchange_port.h"
#include "protocol/transaction_kind.h"
#include "protocol/ui_services.h"

#include <cstdint>
#include <string>

namespace protocol {

class ExchangeEngine {
public:
    // Replies longer than this are cut: the rest stays in the port's input queue and is
    // discarded by the next command or when the port closes.
    static constexpr int MaxReplyBytes = 31;

    // Timer intervals in milliseconds.
    static constexpr int InitialInterval = 2000;
    static constexpr int InputCalibrationInterval = 3000;
    static constexpr int StatusInterval = 500;

    // An engine that sends from the program-wide tables ActionCommands and QueryCommands, as
    // the window's does.
    ExchangeEngine(ExchangePort& port, EngineView& view, UiServices& ui);
    // An engine that sends from `tables` alone, which must outlive it: for engines that run at
    // the same time, each on a port of its own.
    ExchangeEngine(ExchangePort& port, EngineView& view, UiServices& ui, CommandTables& tables);
    ExchangeEngine(const ExchangeEngine&) = delete;
    ExchangeEngine& operator=(const ExchangeEngine&) = delete;

    // --- Starters of the main window (each applies the port number first) ---
    void ButtonReadClick();
    // Checks the window's values (a message box and nothing else on the first bad one), then
    // writes range, lower value, break level, upper value and output type.
    void ButtonWriteClick();
    void ButtonTempClick();
    // Factory reset: "$F", then the status "$0".
    void ButtonZClick();

    // --- Starters of the calibration window (the port number is not applied) ---
    // "Калибровать" on the input page: the zero (inputStage 0) or gain (1) calibration.
    void KalibrButton1Click(int inputStage);
    // "Калибровать" on the output page: the output calibration.
    void KalibrButton3Click();
    // The calibration window has closed: later steps wait 500 ms; an output calibration that
    // has not ended through its success or its recovery is reported to the user.
    void KalibrFormClose(bool calibrationUnfinished);

    // --- Main window ---
    // Show-time reset: the transducer has not answered yet and the controls count as enabled.
    void ResetOnShow();
    // "Выход" or closing the main window: the timer stops and the port closes; a transaction in
    // progress is abandoned without a message.
    void AbandonTransaction();

    // The timer's tick: takes the reply of the last command and runs its step.
    void TimerTimer();

    // --- Errors as the user reads them ---
    // By default an error reads as its own text; the application installs the explainer of its
    // serial port.
    void SetErrorExplainer(ErrorExplainer explainer);
    // The text of an error that a transaction ran into: its explanation, then (for a connection
    // lost in a write, a factory reset or a calibration) what the transducer may now hold, then
    // the error's own text.
    std::string ErrorText(const std::exception& error) const;

    // --- Engine operations shared by the steps ---
    // Purges both queues, writes the record's bytes, shows "Передано: " and its text in the
    // first status panel and arms the timer. The record is a copy: later changes to the table
    // entry do not change what was sent.
    void SendCommand(CommandRecord record);
    void SetControlsEnabled(bool onState);
    // Enables the controls, disables "Продолжить" after a bad calibration status, restores the
    // cursor and closes the port.
    void EndTransaction();

    // --- State ---
    protocol::TransactionKind TransactionKind() const { return kind_; }
    std::int32_t TransactionStep() const { return step_; }
    bool DeviceAnswered() const { return deviceAnswered_; }
    // The calibration window allows a change of its page only while this is set.
    bool ControlsEnabled() const { return controlsEnabled_; }
    std::int32_t StatusResult() const { return statusResult_; }
    int WaitingCount() const { return waitingCount_; }
    const std::string& ReplyPayload() const { return replyPayload_; }

    // Values of the last output calibration.
    double MeasuredMinimum() const { return measuredMinimum_; }
    double MeasuredMaximum() const { return measuredMaximum_; }
    double FullScale() const { return fullScale_; }
    double GainCoefficient() const { return gainCoefficient_; }
    std::int32_t OffsetCode() const { return offsetCode_; }

private:
    enum class StepResult { Continue, Finish };

    // The start pattern: applies the port number when asked to, opens the port and checks the
    // connection. False (after the message and closing the port) when it is not connected.
    bool OpenForTransaction(bool applyPortNumber);
    // Sets kind and step 0, the hourglass and a clean status for a new transaction.
    void BeginTransaction(protocol::TransactionKind kind);
    // Sends a starter's first command; if the port fails, the transaction is ended again before
    // the error leaves the starter, so the window is not left waiting.
    void SendFirstCommand(const CommandRecord& record);

    void RunTick();
    StepResult Dispatch();
    void FailTransaction(const std::string& message);
    static std::string ExchangeErrorText(const std::string& detail);

    StepResult ReadConfigurationStep();
    StepResult WriteConfigurationStep();
    StepResult ReadTemperatureStep();
    StepResult StatusStep();
    StepResult OutputCalibrationStep();

    // The payload as a number in the window's notation; fails with the bad-reply message.
    double PayloadNumber() const;
    // A text the user typed at a calibration prompt as a number; fails with the
    // invalid-number message.
    static double CalibrationEntry(const std::string& text);

    ExchangePort& port_;
    EngineView& view_;
    UiServices& ui_;
    // The records every transaction sets its parameters in and sends.
    ActionTable& actions_;
    QueryTable& queries_;

    protocol::TransactionKind kind_ = protocol::TransactionKind::ReadConfiguration;
    std::int32_t step_ = 0;
    bool deviceAnswered_ = false;
    bool controlsEnabled_ = true;
    std::int32_t statusResult_ = 0;
    // The zero-calibration kind is running a factory reset ("$F").
    bool factoryReset_ = false;
    ErrorExplainer explainer_ = PlainExplanation;
    int waitingCount_ = 0;
    std::string replyPayload_;

    double measuredMinimum_ = 0.0;
    double measuredMaximum_ = 0.0;
    double fullScale_ = 0.0;
    double gainCoefficient_ = 0.0;
    std::int32_t offsetCode_ = 0;
};

} // namespace protocol
