#pragma once
// The window side of the exchange engine for a terminal: the controls become plain fields that
// the commands fill in before a transaction and read after it, and the window's timer becomes
// a flag with the moment it was armed, which the tick loop waits on. Buttons and the cursor
// have nothing to show here.

#include "protocol/engine_view.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace cli {

class CliEngineView : public protocol::EngineView {
public:
    using Clock = std::chrono::steady_clock;

    // The status bar's command and reply: kept in order for the records (and in the exchange
    // log when one is kept).
    void SetStatusText(int panel, const std::string& text) override;
    void SetTimerEnabled(bool enabled) override;
    bool TimerEnabled() const override { return timerEnabled_; }
    void SetTimerInterval(int milliseconds) override { interval_ = milliseconds; }
    int TimerInterval() const override { return interval_; }
    void SetTransactionButtonsEnabled(bool) override {}
    void SetCalibrationButtonsEnabled(bool) override {}
    void SetContinueButtonEnabled(bool) override {}
    // The command line names the port before any transaction starts.
    void ApplyPortNumber() override {}

    std::optional<int> SelectedTypeIndex() const override;
    std::optional<int> SelectedRangeIndex() const override { return rangeIndex_; }
    void SelectRangeByIndex(int rangeIndex) override;

    std::string UpperText() const override { return upper_; }
    void SetUpperText(const std::string& text) override { upper_ = text; }
    std::string LowerText() const override { return lower_; }
    void SetLowerText(const std::string& text) override { lower_ = text; }
    std::string BreakLevelText() const override { return breakLevel_; }
    void SetBreakLevelText(const std::string& text) override { breakLevel_ = text; }
    int OutputTypeIndex() const override { return outputType_; }
    void SetOutputTypeIndex(int index) override { outputType_ = index; }
    void SetMeasuredValueText(const std::string& text) override { measured_ = text; }
    void SetCalibrationUnfinished(bool unfinished) override { unfinished_ = unfinished; }

    // The moment the timer was last enabled: the step's reply is due one interval later.
    Clock::time_point ArmedAt() const { return armedAt_; }
    const std::string& MeasuredValueText() const { return measured_; }
    bool CalibrationUnfinished() const { return unfinished_; }
    // Sets the selection directly; nullopt leaves no range selected.
    void SetSelectedRange(std::optional<int> rangeIndex) { rangeIndex_ = rangeIndex; }

    // A command as the status bar showed it ("$A0D0") and the reply the engine took for it
    // ("!"; empty when none passed the engine's checks).
    struct Exchange {
        std::string sent;
        std::string received;
    };
    // Every exchange since the last call, oldest first.
    std::vector<Exchange> TakeExchanges();
    // The same, kept.
    const std::vector<Exchange>& Exchanges() const { return exchanges_; }
    // Drops the last command shown as sent: it was held back before it reached the line.
    void ForgetLastSent();

private:
    bool timerEnabled_ = false;
    int interval_ = 2000;
    Clock::time_point armedAt_{};
    // The window shows type 0 and its first range when it opens.
    std::optional<int> rangeIndex_ = 0;
    std::string upper_;
    std::string lower_;
    std::string breakLevel_;
    int outputType_ = 0;
    std::string measured_;
    bool unfinished_ = false;
    std::vector<Exchange> exchanges_;
};

} // namespace cli
