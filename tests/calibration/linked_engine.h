#pragma once
// The calibration window's surroundings without any toolkit: the main window's side of the
// exchange engine in plain fields, forwarding the calibration window's parts (its two
// input-page buttons, "Продолжить" alone and the unfinished flag) to the calibration window as
// the application's main window does, and a real engine over a scripted transducer that has
// answered a configuration read once, as before any opening of the window.

#include "calibration/calibration_link.h"
#include "protocol/command_table.h"
#include "protocol/exchange_engine.h"
#include "protocol/number_text.h"
#include "tests/support/plain_engine_view.h"
#include "tests/support/scripted_exchange_port.h"
#include "tests/support/scripted_ui_services.h"

#include <string>

namespace calibration_test {

// The decimal separator of the system and of the window, as showing the main window sets it.
inline void UseSeparator(char separator) {
    protocol::OverrideSystemDecimalSeparator(separator);
    protocol::DecimalSeparatorText = std::string(1, separator);
}

class LinkedView : public testing_support::PlainEngineView {
public:
    calibration::CalibrationLink* link = nullptr;

    void SetCalibrationButtonsEnabled(bool enabled) override {
        PlainEngineView::SetCalibrationButtonsEnabled(enabled);
        if (link != nullptr) {
            link->SetCalibrationButtonsEnabled(enabled);
        }
    }
    void SetContinueButtonEnabled(bool enabled) override {
        PlainEngineView::SetContinueButtonEnabled(enabled);
        if (link != nullptr) {
            link->SetContinueButtonEnabled(enabled);
        }
    }
    void SetCalibrationUnfinished(bool unfinished) override {
        PlainEngineView::SetCalibrationUnfinished(unfinished);
        if (link != nullptr) {
            link->SetCalibrationUnfinished(unfinished);
        }
    }
};

struct LinkedEngine {
    testing_support::ScriptedExchangePort port;
    LinkedView view;
    testing_support::ScriptedUiServices ui;
    protocol::ExchangeEngine engine{port, view, ui};

    LinkedEngine() {
        protocol::ResetCommandTables();
        UseSeparator('.');
    }

    // The transducer's reply arrives and the main window's timer fires.
    void Tick(const std::string& reply) {
        port.Feed(reply);
        engine.TimerTimer();
    }

    // A configuration read that the transducer answers: from then on the calibration controls
    // follow the engine, as they do whenever the window can be opened. Then the record starts
    // afresh.
    void AnswerOnce() {
        engine.ButtonReadClick();
        for (const char* reply : {"!00\r", "!50.0\r", "!0.0\r", "!-50.0\r", "!0\r"}) {
            Tick(reply);
        }
        port.written.clear();
        ui.shown.clear();
    }
};

} // namespace calibration_test
