// The exchange engine over the real serial component, against the transducer simulator on a
// pseudo-terminal. The tests fire the timer themselves as soon as the simulator's reply is in
// the port's input queue, so they run fast; one read runs with real waiting.

#include "protocol/command_table.h"
#include "protocol/comport_exchange_port.h"
#include "protocol/exchange_engine.h"
#include "protocol/number_text.h"
#include "protocol/tool_port_settings.h"
#include "serial/com_port.h"
#include "simulator/simulator.h"
#include "tests/protocol/write_cases.h"
#include "tests/support/plain_engine_view.h"
#include "tests/support/scripted_ui_services.h"
#include "tests/support/watched_port.h"

#include <gtest/gtest.h>

#include <ostream>

#include <chrono>
#include <thread>

namespace protocol_test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Commands = std::vector<std::string>;
using sim::FaultKind;
using Kind = sim::LogEntry::Kind;

using testing_support::WatchedPort;

class SimulatorFixture : public ::testing::Test {
protected:
    SimulatorFixture() {
        protocol::ResetCommandTables();
        UseSeparator('.');
        simulator.Start();
        // The main window's settings of its port.
        protocol::ConfigureToolPort(comPort);
        comPort.SetPort(simulator.DevicePath());
    }

    ~SimulatorFixture() override {
        engine.AbandonTransaction();
        simulator.Stop();
        UseSeparator('.');
    }

    static void UseSeparator(char separator) {
        protocol::OverrideSystemDecimalSeparator(separator);
        protocol::DecimalSeparatorText = std::string(1, separator);
    }

    // Fires the timer once the reply to the last command is in (AwaitReply).
    void Tick(bool expectReply = true) {
        ASSERT_TRUE(port.AwaitReply(expectReply));
        engine.TimerTimer();
    }

    // Answers every step until the transaction has ended.
    void RunToEnd(int maxSteps = 12) {
        for (int i = 0; i < maxSteps && view.timerEnabled; ++i) {
            Tick();
        }
        ASSERT_FALSE(view.timerEnabled);
    }

    Commands Received() const { return simulator.Log().Texts(Kind::Received); }

    void Fault(FaultKind kind, std::string code, std::optional<std::string> text = std::nullopt,
               std::optional<int> number = std::nullopt) {
        simulator.AddFault(sim::FaultRule{sim::Fault{kind, number, text}, code, 1});
    }

    sim::DeviceState Configured() const {
        sim::DeviceState state = sim::FactoryDefaults();
        state.rangeIndex = 10;
        state.upperValue = 180.0;
        state.breakLevel = 0.25;
        state.lowerValue = -20.0;
        state.outputType = 1;
        return state;
    }

    sim::Simulator simulator;
    serial::TComPort comPort;
    WatchedPort port{comPort, simulator};
    testing_support::PlainEngineView view;
    testing_support::ScriptedUiServices ui;
    protocol::ExchangeEngine engine{port, view, ui};
};

class ReadOverTheLine : public SimulatorFixture, public ::testing::WithParamInterface<char> {};

TEST_P(ReadOverTheLine, FillsEveryField) {
    const char separator = GetParam();
    UseSeparator(separator);
    simulator.SetState(Configured());
    engine.ButtonReadClick();
    RunToEnd();
    EXPECT_EQ(Received(), (Commands{"$8", "$H", "#9", "$4", "#K"}));
    EXPECT_EQ(view.SelectedRangeIndex(), 10);
    const std::string comma(1, separator);
    EXPECT_EQ(view.upperText, "180" + comma + "0");
    EXPECT_EQ(view.breakLevelText, "25" + comma + "0");
    EXPECT_EQ(view.lowerText, "-20" + comma + "0");
    EXPECT_EQ(view.outputType, 1);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_TRUE(view.calibrationButton);
    EXPECT_FALSE(comPort.Connected());
    EXPECT_EQ(ui.cursor, protocol::CursorShape::Default);
}

INSTANTIATE_TEST_SUITE_P(Simulator, ReadOverTheLine, ::testing::Values('.', ','),
                         [](const auto& info) {
                             return std::string(info.param == '.' ? "Point" : "Comma");
                         });

TEST_F(SimulatorFixture, OutputTypeRepliesSelectByTheirLowBits) {
    for (const auto& [payload, index] :
         std::vector<std::pair<std::string, int>>{{"1", 1}, {"3", 2}, {"A", 1}}) {
        Fault(FaultKind::Payload, "#K", payload);
        view.outputType = -1;
        engine.ButtonReadClick();
        RunToEnd();
        EXPECT_EQ(view.outputType, index) << payload;
    }
    EXPECT_TRUE(ui.shown.empty());
}

class WriteOverTheLine : public SimulatorFixture,
                         public ::testing::WithParamInterface<WriteCase> {};

TEST_P(WriteOverTheLine, SendsExactlyTheParameters) {
    const WriteCase& c = GetParam();
    UseSeparator(c.separator);
    c.EnterInto(view);
    engine.ButtonWriteClick();
    RunToEnd();
    EXPECT_EQ(Received(), c.Commands());
    EXPECT_TRUE(ui.shown.empty());
    const sim::DeviceState state = simulator.State();
    EXPECT_EQ(state.rangeIndex, *view.SelectedRangeIndex());
    EXPECT_EQ(state.outputType, c.outputType);
    EXPECT_EQ(state.status, "00");
}

INSTANTIATE_TEST_SUITE_P(Simulator, WriteOverTheLine, ::testing::ValuesIn(kWriteCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SimulatorFixture, RefusedWriteNeverOpensThePort) {
    view.upperText = "51";
    engine.ButtonWriteClick();
    EXPECT_EQ(ui.Messages(),
              Commands{"Верхнее значение диапазона \nвне допустимого диапазона датчика!"});
    EXPECT_EQ(port.writes, 0u);
    EXPECT_EQ(view.applyPortNumberCalls, 0);
    std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(Received().empty());
}

TEST_F(SimulatorFixture, MeasuredValueWithThermometerAndResistance) {
    simulator.SetMeasuredValue(23.4);
    engine.ButtonTempClick();
    RunToEnd();
    EXPECT_EQ(view.measuredValueText, "Температура (град. С): 23.4");
    view.typeItem = 9;
    view.rangeItem = 0;
    engine.ButtonTempClick();
    RunToEnd();
    EXPECT_EQ(view.measuredValueText, "Сопротивление (Ом): 23.4");
    EXPECT_EQ(Received(), (Commands{"#0", "#0"}));
}

TEST_F(SimulatorFixture, FactoryResetWithGoodAndBadStatus) {
    engine.ButtonZClick();
    RunToEnd();
    EXPECT_EQ(ui.Messages(), Commands{"Калибровка завершена успешно!"});
    EXPECT_EQ(view.timerInterval, 500);

    Fault(FaultKind::BadStatus, "$0", "01");
    engine.ButtonZClick();
    RunToEnd();
    EXPECT_EQ(ui.Messages().back(), "Ошибка калибровки нуля!");
    EXPECT_EQ(Received(), (Commands{"$F", "$0", "$F", "$0"}));
}

TEST_F(SimulatorFixture, FaultyRepliesEndTheRead) {
    struct Case {
        const char* name;
        FaultKind kind;
        std::optional<int> number;
        bool replies;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"NoReply", FaultKind::NoReply, std::nullopt, false, "Нет связи с прибором!"},
        {"BadFirstByte", FaultKind::BadFirstByte, std::nullopt, true, "Прибор не понял команду!"},
        {"NotHex", FaultKind::NotHex, std::nullopt, true, "Прибор прислал неверный ответ!"},
        {"OutsideTable", FaultKind::RangeOutOfBounds, std::nullopt, true,
         "Прибор прислал неверный ответ!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.shown.clear();
        Fault(c.kind, "$8", std::nullopt, c.number);
        engine.ButtonReadClick();
        Tick(c.replies);
        EXPECT_EQ(ui.Messages(), Commands{c.message});
        EXPECT_FALSE(view.timerEnabled);
        EXPECT_FALSE(comPort.Connected());
        EXPECT_TRUE(view.readButton);
        EXPECT_EQ(ui.cursor, protocol::CursorShape::Default);
    }
}

TEST_F(SimulatorFixture, PartialAndLongRepliesAreTakenAsTheyCame) {
    simulator.SetState(Configured());
    // "!0A<CR>" cut after three bytes: "A" is dropped as the terminator, leaving range 0.
    Fault(FaultKind::PartialReply, "$8", std::nullopt, 3);
    // 40 bytes: 31 are read, the last of them dropped; the value still reads as 180.
    Fault(FaultKind::LongReply, "$H");
    engine.ButtonReadClick();
    RunToEnd();
    EXPECT_EQ(view.SelectedRangeIndex(), 0);
    EXPECT_EQ(view.upperText, "180.0");
    EXPECT_EQ(view.statusText[1].size(), std::string("Принято: ").size() + 2);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(Received(), (Commands{"$8", "$H", "#9", "$4", "#K"}));
}

struct OutputWireCase {
    const char* name;
    int outputType;
    std::optional<std::string> minimum, maximum;
    char separator;
    std::string gain, offset;
};

// Test names say which case failed; the case itself prints as its name.
void PrintTo(const OutputWireCase& c, std::ostream* os) {
    *os << c.name;
}

class OutputCalibrationOverTheLine : public SimulatorFixture,
                                     public ::testing::WithParamInterface<OutputWireCase> {};

TEST_P(OutputCalibrationOverTheLine, SendsFiveCommands) {
    const OutputWireCase& c = GetParam();
    UseSeparator(c.separator);
    view.outputType = c.outputType;
    ui.inputAnswers = {c.minimum, c.maximum};
    engine.KalibrButton3Click();
    RunToEnd();
    EXPECT_EQ(Received(), (Commands{"$A0D0", "$ACD0", "$C" + c.gain, "$D" + c.offset, "$B"}));
    EXPECT_EQ(ui.Messages().back(), "Калибровка завершена успешно!");
    EXPECT_FALSE(view.calibrationUnfinished);
    EXPECT_EQ(simulator.State().outputOffset, std::stoi(c.offset));
    EXPECT_FALSE(simulator.State().outputTestCode.has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Simulator, OutputCalibrationOverTheLine,
    ::testing::Values(
        OutputWireCase{"Current20", 2, "1.0", "20.5", '.', "3.15077E+03", "50"},
        OutputWireCase{"Voltage10", 0, "0.5", "10.5", '.', "3.07200E+03", "54"},
        OutputWireCase{"Current5", 1, "0.35", "5.35", '.', "3.07200E+03", "-7"},
        OutputWireCase{"Cancelled", 2, std::nullopt, std::nullopt, '.', "3.07200E+03", "208"},
        OutputWireCase{"CommaAccepted", 2, "1,5", std::nullopt, ',', "3.32108E+03", "-41"},
        OutputWireCase{"CommaGain", 2, "1,0", "20,5", ',', "3.15077E+03", "50"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SimulatorFixture, PointOnACommaSystemEndsTheCalibrationUnfinished) {
    UseSeparator(',');
    ui.inputAnswers = {"1.5"};
    engine.KalibrButton3Click();
    RunToEnd();
    EXPECT_EQ(Received(), (Commands{"$A0D0", "$B"}));
    const Commands messages = ui.Messages();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[1], "Введено недопустимое значение числа,\nповторите калибровку");
    EXPECT_EQ(messages[2], "Калибровка не завершена!");
    EXPECT_FALSE(view.calibrationUnfinished);
}

TEST_F(SimulatorFixture, EqualMeasurementsSendNoGain) {
    ui.inputAnswers = {"4", "4"};
    engine.KalibrButton3Click();
    RunToEnd();
    EXPECT_EQ(Received(), (Commands{"$A0D0", "$ACD0", "$B"}));
    EXPECT_EQ(ui.Messages().back(), "Калибровка не завершена!");
    EXPECT_EQ(simulator.State().outputGain, sim::FactoryDefaults().outputGain);
}

TEST_F(SimulatorFixture, MisunderstoodRepliesRepeatTheEndUntilAGoodReply) {
    ui.inputAnswers = {"0"};
    // Planned before the start: the first "$A" goes through (a late reply of 0 ms), the
    // second is misunderstood. Added after the first tick, the fault would race the second
    // "$A", which the engine sends at once.
    Fault(FaultKind::LateReply, "$A", std::nullopt, 0);
    Fault(FaultKind::BadFirstByte, "$A");
    Fault(FaultKind::BadFirstByte, "$B");
    engine.KalibrButton3Click();
    RunToEnd();
    EXPECT_EQ(Received(), (Commands{"$A0D0", "$ACD0", "$B", "$B"}));
    const Commands messages = ui.Messages();
    EXPECT_EQ(messages, (Commands{messages.at(0), "Прибор не понял команду!",
                                  "Прибор не понял команду!", "Калибровка не завершена!"}));
}

TEST_F(SimulatorFixture, ZeroAndGainStagesSendTwoCommandsEach) {
    engine.KalibrButton1Click(0);
    EXPECT_EQ(view.timerInterval, 3000);
    RunToEnd();
    engine.KalibrButton1Click(1);
    RunToEnd();
    EXPECT_EQ(Received(), (Commands{"$1", "$0", "$2", "$0"}));
    EXPECT_EQ(
        ui.Messages(),
        (Commands{"Установите аналог датчика согласно рисунку!", "Калибровка завершена успешно!",
                  "Установите аналог датчика согласно рисунку!", "Калибровка завершена успешно!"}));
    EXPECT_TRUE(simulator.State().zeroCalibrated);
    EXPECT_TRUE(simulator.State().gainCalibrated);
}

// The only test that waits the timer's interval as the window's timer would.
TEST_F(SimulatorFixture, WholeReadWithRealWaiting) {
    simulator.SetState(Configured());
    view.timerInterval = 500;
    const auto start = Clock::now();
    engine.ButtonReadClick();
    while (view.timerEnabled && Clock::now() - start < 20s) {
        std::this_thread::sleep_for(std::chrono::milliseconds(view.timerInterval));
        engine.TimerTimer();
    }
    EXPECT_EQ(Received(), (Commands{"$8", "$H", "#9", "$4", "#K"}));
    EXPECT_EQ(view.SelectedRangeIndex(), 10);
    EXPECT_EQ(view.upperText, "180.0");
    EXPECT_EQ(view.outputType, 1);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_GE(Clock::now() - start, 2500ms);
}

} // namespace
} // namespace protocol_test
