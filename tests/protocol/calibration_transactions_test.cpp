// The calibration window's transactions over the scripted port: zero and gain stages, the
// output calibration with its prompts, arithmetic and recovery.

#include "tests/protocol/engine_fixture.h"

#include <gtest/gtest.h>

#include <ostream>

namespace protocol_test {
namespace {

using protocol::CursorShape;
using testing_support::ShownBox;
using Commands = std::vector<std::string>;

class CalibrationFixture : public EngineFixture {
protected:
    CalibrationFixture() { AnswerOnce(); }

    // Starts an output calibration and answers each command with `reply` until the engine
    // stops asking (at most `ticks` times).
    void RunOutputCalibration(const std::string& reply = "!\r", int ticks = 8) {
        engine.KalibrButton3Click();
        for (int i = 0; i < ticks && view.timerEnabled; ++i) {
            Tick(reply);
        }
    }
};

struct OutputCase {
    const char* name;
    int outputType;
    std::optional<std::string> minimum, maximum; // nullopt: the prompt is cancelled
    char separator;
    std::string gain;
    std::string offset;
    std::string maximumDefault;
};

// Test names say which case failed; the case itself prints as its name.
void PrintTo(const OutputCase& c, std::ostream* os) {
    *os << c.name;
}

class OutputCalibration : public CalibrationFixture,
                          public ::testing::WithParamInterface<OutputCase> {};

TEST_P(OutputCalibration, SendsGainAndOffset) {
    const OutputCase& c = GetParam();
    UseSeparator(c.separator);
    view.outputType = c.outputType;
    ui.inputAnswers = {c.minimum, c.maximum};
    RunOutputCalibration();

    EXPECT_EQ(port.Commands(), (Commands{"$A0D0", "$ACD0", "$C" + c.gain, "$D" + c.offset, "$B"}));
    ASSERT_EQ(ui.shown.size(), 4u);
    EXPECT_EQ(ui.shown[1].kind, ShownBox::Kind::Input);
    EXPECT_EQ(ui.shown[1].caption, "Калибровка минимума выходного сигнала");
    EXPECT_EQ(ui.shown[1].text, "Введите измеренное значение выхода");
    EXPECT_EQ(ui.shown[1].defaultText, "0");
    EXPECT_EQ(ui.shown[2].caption, "Калибровка максимума выходного сигнала");
    EXPECT_EQ(ui.shown[2].text, "Введите измеренное значение выхода");
    EXPECT_EQ(ui.shown[2].defaultText, c.maximumDefault);
    EXPECT_EQ(ui.shown[3].text, "Калибровка завершена успешно!");
    EXPECT_EQ(ui.shown[3].cursor, CursorShape::Default);
    EXPECT_EQ(ui.unexpectedInputBoxes, 0);
    EXPECT_FALSE(view.calibrationUnfinished);
    ExpectIdle();
    EXPECT_TRUE(view.kalibrButton2);
}

INSTANTIATE_TEST_SUITE_P(
    Calibration, OutputCalibration,
    ::testing::Values(
        OutputCase{"Current20", 2, "1.0", "20.5", '.', "3.15077E+03", "50", "20"},
        OutputCase{"Voltage10", 0, "0.5", "10.5", '.', "3.07200E+03", "54", "10"},
        OutputCase{"TruncatedTowardZero", 1, "0.35", "5.35", '.', "3.07200E+03", "-7", "5"},
        OutputCase{"CommaSystem", 2, "1,0", "20,5", ',', "3.15077E+03", "50", "20"},
        OutputCase{"SlashSystem", 2, "1/0", "20/5", '/', "3.15077E+03", "50", "20"},
        OutputCase{"CancelVoltage", 0, std::nullopt, std::nullopt, '.', "3.07200E+03", "208", "10"},
        OutputCase{"CancelCurrent5", 1, std::nullopt, std::nullopt, '.', "3.07200E+03", "208", "5"},
        OutputCase{"CancelCurrent20", 2, std::nullopt, std::nullopt, ',', "3.07200E+03", "208",
                   "20"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CalibrationFixture, OutputCalibrationKeepsItsValues) {
    view.outputType = 2;
    ui.inputAnswers = {"1.0", "20.5"};
    RunOutputCalibration();
    EXPECT_DOUBLE_EQ(engine.MeasuredMinimum(), 1.0);
    EXPECT_DOUBLE_EQ(engine.MeasuredMaximum(), 20.5);
    EXPECT_DOUBLE_EQ(engine.FullScale(), 20.0);
    EXPECT_NEAR(engine.GainCoefficient(), 3150.769, 0.001);
    EXPECT_EQ(engine.OffsetCode(), 50);
}

TEST_F(CalibrationFixture, OutputModeMessageNamesTheOutputType) {
    const std::vector<std::pair<int, std::string>> cases = {
        {0, "0 - 10B"}, {1, "0 - 5 mA"}, {2, "0 - 20 mA"}};
    for (const auto& [type, mode] : cases) {
        ui.shown.clear();
        view.outputType = type;
        engine.KalibrButton3Click();
        ASSERT_EQ(ui.shown.size(), 1u);
        EXPECT_EQ(ui.shown[0].text,
                  "Прооверьте, что переключатель на приборе задает\nрежим выхода:" + mode);
        EXPECT_EQ(ui.shown[0].cursor, CursorShape::Default);
        EXPECT_TRUE(view.calibrationUnfinished);
        EXPECT_EQ(protocol::ActionCommands[protocol::ActOutputTestCode].Text, "$ACD0");
        ExpectWaiting();
        Tick(""); // no reply: ends at once
    }
    EXPECT_EQ(view.applyPortNumberCalls, 0);
}

TEST_F(CalibrationFixture, InvalidEntriesRecoverWithEnd) {
    struct Case {
        const char* name;
        char separator;
        std::vector<std::optional<std::string>> answers;
        Commands commands;
    };
    const std::vector<Case> cases = {
        {"PointOnCommaSystem", ',', {"1.5"}, {"$A0D0", "$B"}},
        {"Text", '.', {"abc"}, {"$A0D0", "$B"}},
        {"BadMaximum", '.', {"1", ""}, {"$A0D0", "$ACD0", "$B"}},
        {"EqualValues", '.', {"3", "3"}, {"$A0D0", "$ACD0", "$B"}},
        // Typed the wrong way round: a negative gain would be sent and reported as success.
        {"MaximumBelowMinimum", '.', {"20", "0"}, {"$A0D0", "$ACD0", "$B"}},
        {"GainOverflow", '.', {"0", "1e-305"}, {"$A0D0", "$ACD0", "$B"}},
        {"OffsetOutside32Bits", '.', {"1e9", "1000000001"}, {"$A0D0", "$ACD0", "$B"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UseSeparator(c.separator);
        port.written.clear();
        ui.shown.clear();
        ui.inputAnswers.assign(c.answers.begin(), c.answers.end());
        RunOutputCalibration();
        EXPECT_EQ(port.Commands(), c.commands);
        const Commands messages = ui.Messages();
        ASSERT_EQ(messages.size(), 3u);
        EXPECT_EQ(messages[1], "Введено недопустимое значение числа,\nповторите калибровку");
        EXPECT_EQ(messages[2], "Калибровка не завершена!");
        EXPECT_EQ(ui.shown.back().cursor, CursorShape::Default);
        EXPECT_EQ(engine.TransactionStep(), protocol::RecoveryStep);
        EXPECT_FALSE(view.calibrationUnfinished);
        ExpectIdle();
    }
}

TEST_F(CalibrationFixture, BadRepliesRepeatTheEndUntilAGoodOne) {
    engine.KalibrButton3Click();
    Tick("!\r");
    ASSERT_EQ(ui.shown.size(), 2u); // the output-mode message and the minimum prompt
    Tick("X\r");
    Tick("\x15");
    Tick("!\r");
    EXPECT_EQ(port.Commands(), (Commands{"$A0D0", "$ACD0", "$B", "$B"}));
    EXPECT_EQ(ui.Messages(), (Commands{ui.Messages()[0], "Прибор не понял команду!",
                                       "Прибор не понял команду!", "Калибровка не завершена!"}));
    EXPECT_FALSE(view.calibrationUnfinished);
    ExpectIdle();
}

TEST_F(CalibrationFixture, NoReplyEndsAtOnceAndLeavesItUnfinished) {
    ui.inputAnswers = {"1"};
    engine.KalibrButton3Click();
    Tick("!\r");
    Tick("");
    EXPECT_EQ(port.Commands(), (Commands{"$A0D0", "$ACD0"}));
    EXPECT_EQ(ui.Messages().back(), "Нет связи с прибором!");
    EXPECT_TRUE(view.calibrationUnfinished);
    ExpectIdle();

    engine.KalibrFormClose(view.calibrationUnfinished);
    EXPECT_EQ(ui.Messages().back(),
              "Калибровка не завершена!\nДля правильной работы прибора\nперевключите его питание.");
    EXPECT_EQ(view.timerInterval, 500);
}

TEST_F(CalibrationFixture, PortErrorsAfterAReplyStillEndTheCalibration) {
    // Reading fails after bytes were waiting: the transducer may be in its calibration mode,
    // so "$B" goes out and its reply ends the calibration.
    engine.KalibrButton3Click();
    port.readError = "Read failed";
    Tick("!\r");
    EXPECT_EQ(port.Commands(), (Commands{"$A0D0", "$B"}));
    port.readError.clear();
    Tick("!\r");
    EXPECT_EQ(ui.Messages().back(), "Калибровка не завершена!");
    EXPECT_FALSE(view.calibrationUnfinished);
    ExpectIdle();

    // The port takes nothing at all any more: one message, and the window is usable again.
    ui.shown.clear();
    ui.inputAnswers = {"0"};
    engine.KalibrButton3Click();
    port.writeError = "Write failed";
    Tick("!\r");
    EXPECT_EQ(ui.Messages(),
              (Commands{ui.Messages().at(0), "Ошибка обмена с прибором!\nWrite failed"}));
    EXPECT_TRUE(view.calibrationUnfinished);
    ExpectIdle();
}

TEST_F(CalibrationFixture, ClosingAfterACompletedCalibrationWarnsNothing) {
    view.timerInterval = 2000;
    engine.KalibrFormClose(false);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(view.timerInterval, 500);
}

TEST_F(CalibrationFixture, PressingAgainWhileWaitingStartsOver) {
    engine.KalibrButton3Click();
    engine.KalibrButton3Click();
    EXPECT_EQ(port.Commands(), (Commands{"$A0D0", "$A0D0"}));
    EXPECT_EQ(port.opens, 2);
    EXPECT_EQ(port.closes, 0);
    ExpectWaiting();
}

TEST_F(CalibrationFixture, OutputCalibrationNeedsAConnectedPort) {
    port.connectOnOpen = false;
    engine.KalibrButton3Click();
    EXPECT_EQ(ui.Messages(), Commands{"Неверно задан номер СОM-порта"});
    EXPECT_TRUE(port.written.empty());
    EXPECT_FALSE(view.calibrationUnfinished);
    EXPECT_EQ(protocol::ActionCommands[protocol::ActOutputTestCode].Text, "$A");
}

// The zero and gain stages: "$1" or "$2" after 3000 ms, then "$0" after 500 ms.
struct StageCase {
    const char* name;
    int stage;
    std::string status;
    std::string first;
    std::string message;
    bool continueEnabled;
};

// Test names say which case failed; the case itself prints as its name.
void PrintTo(const StageCase& c, std::ostream* os) {
    *os << c.name;
}

class InputStage : public CalibrationFixture, public ::testing::WithParamInterface<StageCase> {};

TEST_P(InputStage, SendsTwoCommands) {
    const StageCase& c = GetParam();
    engine.KalibrButton1Click(c.stage);
    EXPECT_EQ(log, (Commands{"Message Установите аналог датчика согласно рисунку!", "Open",
                             "Cursor hourglass", "Interval 3000", "ClearBuffer", "Write " + c.first,
                             "Timer on"}));
    EXPECT_FALSE(engine.ControlsEnabled());
    EXPECT_FALSE(view.kalibrButton1);
    Tick("!\r");
    EXPECT_EQ(view.timerInterval, 500);
    Tick("!" + c.status + "\r");
    EXPECT_EQ(port.Commands(), (Commands{c.first, "$0"}));
    EXPECT_EQ(ui.Messages().back(), c.message);
    EXPECT_EQ(view.kalibrButton2, c.continueEnabled);
    EXPECT_TRUE(view.kalibrButton1);
    EXPECT_TRUE(engine.ControlsEnabled());
    EXPECT_EQ(view.applyPortNumberCalls, 0);
    ExpectIdle();
}

INSTANTIATE_TEST_SUITE_P(
    Calibration, InputStage,
    ::testing::Values(StageCase{"ZeroGood", 0, "00", "$1", "Калибровка завершена успешно!", true},
                      StageCase{"ZeroBad", 0, "01", "$1", "Ошибка калибровки нуля!", false},
                      StageCase{"GainGood", 1, "00", "$2", "Калибровка завершена успешно!", true},
                      StageCase{"GainBad", 1, "10", "$2", "Ошибка калибровки усиления!", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CalibrationFixture, InputStageShowsItsMessageBeforeFindingNoPort) {
    port.connectOnOpen = false;
    engine.KalibrButton1Click(0);
    EXPECT_EQ(ui.Messages(), (Commands{"Установите аналог датчика согласно рисунку!",
                                       "Неверно задан номер СОM-порта"}));
    EXPECT_TRUE(port.written.empty());
    EXPECT_EQ(view.timerInterval, 2000);
}

TEST_F(CalibrationFixture, InputStageWithoutReplyKeepsTheLongInterval) {
    engine.KalibrButton1Click(1);
    Tick("");
    EXPECT_EQ(view.timerInterval, 3000);
    EXPECT_TRUE(view.kalibrButton2);
    ExpectIdle();
}

} // namespace
} // namespace protocol_test
