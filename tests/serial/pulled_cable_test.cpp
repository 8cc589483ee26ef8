// A transaction of the exchange engine over the real serial component when the adapter is
// pulled out in the middle of it and put back as a new device under the same COM name: natively
// over a pseudo-terminal mapped as COM9, under Wine over one linked as a COM port of the prefix
// (see far_end.h). The transaction ends with the explanation at its tick, and the next one works
// without a restart.
#include "protocol/command_table.h"
#include "protocol/comport_error_explainer.h"
#include "protocol/comport_exchange_port.h"
#include "protocol/exchange_engine.h"
#include "protocol/number_text.h"
#include "protocol/tool_port_settings.h"
#include "serial/com_port.h"

#include "tests/serial/far_end_test.h"
#include "tests/support/plain_engine_view.h"
#include "tests/support/scripted_ui_services.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

class PulledCable : public lirat_test::FarEndTest {
protected:
    void SetUp() override {
        FarEndTest::SetUp();
        if (IsSkipped())
            return;
        protocol::ResetCommandTables();
        protocol::OverrideSystemDecimalSeparator('.');
        protocol::DecimalSeparatorText = ".";
        protocol::ConfigureToolPort(comPort);
        comPort.SetPort(far->StableName());
        engine.SetErrorExplainer(protocol::ComPortErrorExplainer(comPort));
    }
    void TearDown() override { engine.AbandonTransaction(); }

    // The transducer takes the command and answers; the tick comes once the reply is in.
    void AnswerAndTick(const std::string& command, const std::string& reply) {
        ASSERT_EQ(far->Receive(command.size(), 3000), command);
        far->Send(reply);
        const auto deadline = Clock::now() + std::chrono::seconds(3);
        while (comPort.InputCount() < static_cast<int>(reply.size()) && Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        engine.TimerTimer();
    }

    bool Idle() const {
        return !view.timerEnabled && view.readButton && view.tempButton && !comPort.Connected() &&
               ui.cursor == protocol::CursorShape::Default;
    }

    serial::TComPort comPort;
    protocol::ComPortExchangePort port{comPort};
    testing_support::PlainEngineView view;
    testing_support::ScriptedUiServices ui;
    protocol::ExchangeEngine engine{port, view, ui};
};

TEST_F(PulledCable, EndsTheTransactionWithTheExplanationAndTheNextOneWorks) {
    engine.ButtonTempClick();
    AnswerAndTick("#0\r\n", "!23.4\r");
    EXPECT_EQ(view.measuredValueText, "Температура (град. С): 23.4");

    engine.ButtonTempClick();
    ASSERT_EQ(far->Receive(4, 3000), "#0\r\n");
    far->Replug();
    engine.TimerTimer();
    ASSERT_EQ(ui.Messages().size(), 1u);
    const std::string message = ui.Messages().front();
    EXPECT_EQ(message.rfind("Ошибка обмена с прибором!\nСвязь с портом " + comPort.Port(), 0), 0u)
        << message;
    EXPECT_NE(message.find("адаптер или кабель отсоединён"), std::string::npos) << message;
    EXPECT_TRUE(Idle());

    ui.shown.clear();
    engine.ButtonTempClick();
    AnswerAndTick("#0\r\n", "!21.5\r");
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_EQ(view.measuredValueText, "Температура (град. С): 21.5");
    EXPECT_TRUE(Idle());
}

} // namespace
