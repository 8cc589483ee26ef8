// The main window's transactions over the scripted port: read, write with its checks,
// measured value and factory reset.

#include "tests/protocol/engine_fixture.h"
#include "tests/protocol/write_cases.h"

#include <gtest/gtest.h>

#include <ostream>

namespace protocol_test {
namespace {

using protocol::CursorShape;
using Commands = std::vector<std::string>;

TEST_F(EngineFixture, ReadFillsTheWindowStepByStep) {
    engine.ButtonReadClick();
    Tick("!0A\r");
    EXPECT_EQ(view.selectedByIndex, std::vector<int>{10});
    EXPECT_EQ(view.SelectedRangeIndex(), 10);
    EXPECT_EQ(view.typeItem, 4);
    Tick("!180.0\r");
    EXPECT_EQ(view.upperText, "180.0");
    Tick("!0.25\r");
    EXPECT_EQ(view.breakLevelText, "25.0");
    Tick("!-20.04\r");
    EXPECT_EQ(view.lowerText, "-20.0");
    Tick("!2\r");
    EXPECT_EQ(view.outputType, 2);
    EXPECT_EQ(port.Commands(), (Commands{"$8", "$H", "#9", "$4", "#K"}));
    EXPECT_TRUE(ui.shown.empty());
    ExpectIdle();
    EXPECT_TRUE(view.calibrationButton);
}

TEST_F(EngineFixture, ReadWithDecimalCommaShowsCommas) {
    UseSeparator(',');
    engine.ButtonReadClick();
    Tick("!00\r");
    EXPECT_EQ(view.lowerText, "-50,0");
    Tick("!12.5\r");
    EXPECT_EQ(view.upperText, "12,5");
    Tick("!0.25\r");
    EXPECT_EQ(view.breakLevelText, "25,0");
}

TEST_F(EngineFixture, ReadRangeReplies) {
    const std::vector<std::pair<std::string, int>> cases = {{"0A", 10}, {"0a", 10}, {"00", 0},
                                                            {"14", 20}, {"19", 25}, {"7", 7}};
    for (const auto& [payload, range] : cases) {
        engine.ButtonReadClick();
        Tick("!" + payload + "\r");
        EXPECT_EQ(view.SelectedRangeIndex(), range) << payload;
        EXPECT_EQ(engine.TransactionStep(), 1);
        engine.AbandonTransaction();
    }
}

TEST_F(EngineFixture, ReadOutputTypeFromTheLowBitsOfTheFirstCharacter) {
    const std::vector<std::pair<std::string, int>> cases = {{"0", 0}, {"1", 1}, {"2", 2},
                                                            {"3", 2}, {"A", 1}, {"1xyz", 1}};
    for (const auto& [payload, index] : cases) {
        view.outputType = -1;
        engine.ButtonReadClick();
        Tick("!00\r");
        Tick("!50\r");
        Tick("!0\r");
        Tick("!-50\r");
        Tick("!" + payload + "\r");
        EXPECT_EQ(view.outputType, index) << payload;
        ExpectIdle();
    }
}

TEST_F(EngineFixture, AFailedReadKeepsWhatEarlierStepsFilledIn) {
    view.breakLevelText = "7";
    engine.ButtonReadClick();
    Tick("!14\r");
    Tick("!300\r");
    Tick("");
    EXPECT_EQ(view.upperText, "300.0");
    EXPECT_EQ(view.lowerText, "-200.0"); // from the range selection
    EXPECT_EQ(view.breakLevelText, "7");
    EXPECT_EQ(ui.Messages(), Commands{"Нет связи с прибором!"});
}

// The checks of "Записать", in their order; a refused write touches neither the settings file
// nor the port nor the command records.
struct WriteRefusal {
    const char* name;
    std::optional<int> rangeItem; // in type 2 (ranges 6 to 8)
    std::string upper, lower, level, message;
};

// Test names say which case failed; the case itself prints as its name.
void PrintTo(const WriteRefusal& c, std::ostream* os) {
    *os << c.name;
}

class WriteChecks : public EngineFixture, public ::testing::WithParamInterface<WriteRefusal> {};

TEST_P(WriteChecks, RefuseBeforeAnythingIsTouched) {
    const WriteRefusal& c = GetParam();
    view.typeItem = 2;
    view.rangeItem = c.rangeItem;
    view.upperText = c.upper;
    view.lowerText = c.lower;
    view.breakLevelText = c.level;
    engine.ButtonWriteClick();
    EXPECT_EQ(log, Commands{"Message " + c.message});
    EXPECT_EQ(port.opens, 0);
    EXPECT_EQ(view.applyPortNumberCalls, 0);
    EXPECT_EQ(ui.cursor, CursorShape::Default);
    EXPECT_EQ(protocol::ActionCommands[protocol::ActSetRange].Text, "$7");
    EXPECT_EQ(protocol::ActionCommands[protocol::ActSetLower].Text, "$3");
}

// The refusals as the technician reads them.
const char* const kNoRange = "Не выбран тип или диапазон датчика!";
const char* const kBadUpper = "Неверно введено верхнее значение диапазона!";
const char* const kUpperOutside = "Верхнее значение диапазона \nвне допустимого диапазона датчика!";
const char* const kBadLower = "Неверно введено нижнее значение диапазона!";
const char* const kLowerOutside = "Нижнее значение диапазона \nвне допустимого диапазона датчика!";
const char* const kBadLevel = "Неверно введено значение уровня\nсигнала обрыв!";
const char* const kLevelOutside = "Значение сигнала обрыв\nвне допустимого диапазона!";

// Range 7 is "-50 +200".
const WriteRefusal kRefusals[] = {
    {"NoRange", std::nullopt, "200", "-50", "0", kNoRange},
    {"UpperNotNumber", 1, "abc", "x", "x", kBadUpper},
    {"UpperEmpty", 1, "", "-50", "0", kBadUpper},
    {"UpperNotANumberWord", 1, "nan", "-50", "0", kBadUpper},
    {"UpperAboveMax", 1, "200.1", "x", "x", kUpperOutside},
    {"UpperBelowMin", 1, "-50.1", "-60", "0", kUpperOutside},
    {"LowerNotNumber", 1, "200", "1..0", "x", kBadLower},
    {"LowerBelowMin", 1, "200", "-50.1", "x", kLowerOutside},
    {"LowerAboveUpper", 1, "100", "100.5", "x", kLowerOutside},
    {"LevelNotNumber", 1, "200", "-50", "", kBadLevel},
    {"LevelAbove120", 1, "200", "-50", "120.1", kLevelOutside},
    {"LevelBelowZero", 1, "200", "-50", "-0.1", kLevelOutside},
};

INSTANTIATE_TEST_SUITE_P(Write, WriteChecks, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

class WriteParameters : public EngineFixture, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(WriteParameters, ReachTheWire) {
    const WriteCase& c = GetParam();
    UseSeparator(c.separator);
    c.EnterInto(view);
    port.responder = [](const std::string&) { return "!\r"; };
    engine.ButtonWriteClick();
    for (int i = 0; i < 5; ++i) {
        engine.TimerTimer();
    }
    EXPECT_EQ(port.Commands(), c.Commands());
    EXPECT_EQ(port.written[2], c.Commands()[2] + "\r\n");
    EXPECT_TRUE(ui.shown.empty());
    ExpectIdle();
    EXPECT_TRUE(engine.DeviceAnswered());
}

INSTANTIATE_TEST_SUITE_P(Write, WriteParameters, ::testing::ValuesIn(kWriteCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EngineFixture, WriteSetsItsParametersOnlyOnceThePortIsConnected) {
    port.connectOnOpen = false;
    view.outputType = 2;
    engine.ButtonWriteClick();
    EXPECT_EQ(log, (Commands{"ApplyPortNumber", "Open", "Message Неверно задан номер СОM-порта",
                             "Close"}));
    EXPECT_EQ(protocol::ActionCommands[protocol::ActSetOutputType].Text, "$K");
    EXPECT_TRUE(port.written.empty());
    EXPECT_TRUE(view.readButton);
}

TEST_F(EngineFixture, StarterErrorsLeaveNothingStarted) {
    port.openError = "Unable to open com port (win error code: 2)";
    EXPECT_THROW(engine.ButtonReadClick(), std::runtime_error);
    view.onApplyPortNumber = [] { throw std::runtime_error("Unable to write to x.INI"); };
    EXPECT_THROW(engine.ButtonTempClick(), std::runtime_error);
    EXPECT_EQ(port.opens, 1);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_TRUE(port.written.empty());
    EXPECT_EQ(ui.cursor, CursorShape::Default);
    EXPECT_TRUE(view.readButton);
}

TEST_F(EngineFixture, MeasuredValueUnitFollowsTheSelectedType) {
    struct Case {
        int type;
        std::string reply;
        char separator;
        std::string label;
    };
    const std::vector<Case> cases = {
        {0, "!23.4\r", '.', "Температура (град. С): 23.4"},
        {8, "!23.4\r", ',', "Температура (град. С): 23,4"},
        {9, "!23.4\r", '.', "Сопротивление (Ом): 23.4"},
        {9, "!1234.567\r", '.', "Сопротивление (Ом): 1234.57"},
        {3, "!-5\r", '.', "Температура (град. С): -5.0"},
    };
    for (const Case& c : cases) {
        UseSeparator(c.separator);
        view.typeItem = c.type;
        engine.ButtonTempClick();
        Tick(c.reply);
        EXPECT_EQ(view.measuredValueText, c.label);
        EXPECT_EQ(port.Commands().back(), "#0");
        ExpectIdle();
    }
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(EngineFixture, FactoryResetReportsTheStatus) {
    struct Case {
        std::string status;
        std::string message;
        CursorShape cursorAtMessage;
    };
    const std::vector<Case> cases = {
        {"00", "Калибровка завершена успешно!", CursorShape::Default},
        {"01", "Ошибка калибровки нуля!", CursorShape::Hourglass},
        {"", "Ошибка калибровки нуля!", CursorShape::Hourglass},
        {"000", "Ошибка калибровки нуля!", CursorShape::Hourglass},
    };
    for (const Case& c : cases) {
        ui.shown.clear();
        port.written.clear();
        view.timerInterval = 2000;
        engine.ButtonZClick();
        EXPECT_EQ(view.timerInterval, 2000);
        Tick("!?\r");
        EXPECT_EQ(view.timerInterval, 500);
        Tick("!" + c.status + "\r");
        EXPECT_EQ(port.Commands(), (Commands{"$F", "$0"}));
        ASSERT_EQ(ui.Messages(), Commands{c.message}) << c.status;
        EXPECT_EQ(ui.shown[0].cursor, c.cursorAtMessage);
        EXPECT_EQ(engine.StatusResult() != 0, c.status != "00");
        ExpectIdle();
    }
    EXPECT_EQ(view.timerInterval, 500);
}

TEST_F(EngineFixture, ABadStatusDisablesContinueUntilALaterTransactionEndsCleanly) {
    AnswerOnce();
    engine.ButtonZClick();
    Tick("!\r");
    Tick("!01\r");
    EXPECT_FALSE(view.kalibrButton2);
    EXPECT_TRUE(view.kalibrButton1);
    // The next reset gets no reply at all: its ending must not reuse the old bad status.
    engine.ButtonZClick();
    Tick("");
    EXPECT_EQ(engine.StatusResult(), 0);
    EXPECT_TRUE(view.kalibrButton2);
}

} // namespace
} // namespace protocol_test
