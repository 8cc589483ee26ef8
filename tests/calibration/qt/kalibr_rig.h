#pragma once
// The calibration window wired to the exchange engine and the test doubles: the plain-fields
// main window forwards the calibration window's parts (its two input-page buttons, "Продолжить"
// alone and the unfinished flag) to the real window, as the application's main window does.

#include "calibration/qt/kalibr_form.h"
#include "protocol/command_table.h"
#include "protocol/exchange_engine.h"
#include "protocol/number_text.h"
#include "tests/support/plain_engine_view.h"
#include "tests/support/scripted_exchange_port.h"
#include "tests/support/scripted_ui_services.h"

#include <string>

namespace calibration_test {

class LinkedView : public testing_support::PlainEngineView {
public:
    calibration::TKalibrForm* form = nullptr;

    void SetCalibrationButtonsEnabled(bool enabled) override {
        PlainEngineView::SetCalibrationButtonsEnabled(enabled);
        if (form != nullptr) {
            form->Logic().SetCalibrationButtonsEnabled(enabled);
        }
    }
    void SetContinueButtonEnabled(bool enabled) override {
        PlainEngineView::SetContinueButtonEnabled(enabled);
        if (form != nullptr) {
            form->Logic().SetContinueButtonEnabled(enabled);
        }
    }
    void SetCalibrationUnfinished(bool unfinished) override {
        PlainEngineView::SetCalibrationUnfinished(unfinished);
        if (form != nullptr) {
            form->Logic().SetCalibrationUnfinished(unfinished);
        }
    }
};

struct KalibrRig {
    testing_support::ScriptedExchangePort port;
    LinkedView view;
    testing_support::ScriptedUiServices ui;
    protocol::ExchangeEngine engine{port, view, ui};
    calibration::TKalibrForm form{engine, view, ui};

    KalibrRig() {
        protocol::ResetCommandTables();
        protocol::OverrideSystemDecimalSeparator('.');
        protocol::DecimalSeparatorText = ".";
        view.form = &form;
    }

    // The transducer's reply arrives and the main window's timer fires.
    void Tick(const std::string& reply) {
        port.Feed(reply);
        engine.TimerTimer();
    }

    // A configuration read that the transducer answers: from then on the calibration controls
    // follow the engine, as they do whenever the window can be opened.
    void AnswerOnce() {
        engine.ButtonReadClick();
        Tick("!00\r");
        Tick("!50.0\r");
        Tick("!0.0\r");
        Tick("!-50.0\r");
        Tick("!0\r");
        port.written.clear();
        ui.shown.clear();
    }
};

} // namespace calibration_test
