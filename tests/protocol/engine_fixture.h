#pragma once
// The exchange engine wired to the three test doubles, with the command tables and the decimal
// separator reset before each test.

#include "protocol/command_table.h"
#include "protocol/exchange_engine.h"
#include "protocol/number_text.h"
#include "tests/support/plain_engine_view.h"
#include "tests/support/scripted_exchange_port.h"
#include "tests/support/scripted_ui_services.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace protocol_test {

class EngineFixture : public ::testing::Test {
protected:
    EngineFixture() {
        protocol::ResetCommandTables();
        UseSeparator('.');
        port.log = &log;
        view.log = &log;
        ui.log = &log;
    }

    ~EngineFixture() override {
        protocol::OverrideSystemDecimalSeparator('.');
        protocol::DecimalSeparatorText = ".";
    }

    // The system's separator and the text the main window captured from it at show time.
    static void UseSeparator(char separator) {
        protocol::OverrideSystemDecimalSeparator(separator);
        protocol::DecimalSeparatorText = std::string(1, separator);
    }

    // The transducer's reply arrives and the timer fires.
    void Tick(const std::string& reply) {
        port.Feed(reply);
        engine.TimerTimer();
    }

    // A device that has answered once: "Калибровка" then follows the controls.
    void AnswerOnce() {
        engine.ButtonReadClick();
        Tick("!00\r");
        Tick("!50.0\r");
        Tick("!0.0\r");
        Tick("!-50.0\r");
        Tick("!0\r");
        port.written.clear();
        port.opens = port.closes = 0;
        view.applyPortNumberCalls = 0;
        ui.shown.clear();
        log.clear();
    }

    // Idle: port closed, timer off, controls enabled, default cursor.
    void ExpectIdle() const {
        EXPECT_FALSE(port.open);
        EXPECT_FALSE(view.timerEnabled);
        EXPECT_TRUE(view.readButton);
        EXPECT_TRUE(view.writeButton);
        EXPECT_TRUE(view.zButton);
        EXPECT_TRUE(view.tempButton);
        EXPECT_EQ(ui.cursor, protocol::CursorShape::Default);
    }

    // Waiting for a reply: port open, timer armed, controls disabled, hourglass.
    void ExpectWaiting() const {
        EXPECT_TRUE(port.open);
        EXPECT_TRUE(view.timerEnabled);
        EXPECT_FALSE(view.readButton);
        EXPECT_FALSE(view.writeButton);
        EXPECT_FALSE(view.zButton);
        EXPECT_FALSE(view.tempButton);
        EXPECT_EQ(ui.cursor, protocol::CursorShape::Hourglass);
    }

    std::vector<std::string> log;
    testing_support::ScriptedExchangePort port;
    testing_support::PlainEngineView view;
    testing_support::ScriptedUiServices ui;
    protocol::ExchangeEngine engine{port, view, ui};
};

} // namespace protocol_test
