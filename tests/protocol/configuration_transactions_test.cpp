// The main window's transactions over the scripted port: read, write with its checks,
// measured value and factory reset.

#include "tests/protocol/engine_fixture.h"

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

// Range 7 is "-50 +200".
INSTANTIATE_TEST_SUITE_P(
    Write, WriteChecks,
    ::testing::Values(
        WriteRefusal{"NoRange", std::nullopt, "200", "-50", "0",
                     "Не выбран тип или диапазон датчика!"},
        WriteRefusal{"UpperNotNumber", 1, "abc", "x", "x",
                     "Неверно введено верхнее значение диапазона!"},
        WriteRefusal{"UpperEmpty", 1, "", "-50", "0",
                     "Неверно введено верхнее значение диапазона!"},
        WriteRefusal{"UpperAboveMax", 1, "200.1", "x", "x",
                     "Верхнее значение диапазона \nвне допустимого диапазона датчика!"},
        WriteRefusal{"UpperBelowMin", 1, "-50.1", "-60", "0",
                     "Верхнее значение диапазона \nвне допустимого диапазона датчика!"},
        WriteRefusal{"LowerNotNumber", 1, "200", "1..0", "x",
                     "Неверно введено нижнее значение диапазона!"},
        WriteRefusal{"LowerBelowMin", 1, "200", "-50.1", "x",
                     "Нижнее значение диапазона \nвне допустимого диапазона датчика!"},
        WriteRefusal{"LowerAboveUpper", 1, "100", "100.5", "x",
                     "Нижнее значение диапазона \nвне допустимого диапазона датчика!"},
        WriteRefusal{"LevelNotNumber", 1, "200", "-50", "",
                     "Неверно введено значение уровня\nсигнала обрыв!"},
        WriteRefusal{"LevelAbove120", 1, "200", "-50", "120.1",
                     "Значение сигнала обрыв\nвне допустимого диапазона!"},
        WriteRefusal{"LevelBelowZero", 1, "200", "-50", "-0.1",
                     "Значение сигнала обрыв\nвне допустимого диапазона!"},
        WriteRefusal{"UpperNotANumberWord", 1, "nan", "-50", "0",
                     "Неверно введено верхнее значение диапазона!"}),
    [](const auto& info) { return std::string(info.param.name); });

// What reaches the wire for accepted values.
struct WriteCase {
    const char* name;
    int type, rangeItem, outputType;
    std::string upper, lower, level;
    char separator;
    Commands commands;
};

// Test names say which case failed; the case itself prints as its name.
void PrintTo(const WriteCase& c, std::ostream* os) {
    *os << c.name;
}

class WriteParameters : public EngineFixture, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(WriteParameters, ReachTheWire) {
    const WriteCase& c = GetParam();
    UseSeparator(c.separator);
    view.typeItem = c.type;
    view.rangeItem = c.rangeItem;
    view.outputType = c.outputType;
    view.upperText = c.upper;
    view.lowerText = c.lower;
    view.breakLevelText = c.level;
    port.responder = [](const std::string&) { return "!\r"; };
    engine.ButtonWriteClick();
    for (int i = 0; i < 5; ++i) {
        engine.TimerTimer();
    }
    EXPECT_EQ(port.Commands(), c.commands);
    EXPECT_EQ(port.written[2], "$G" + c.commands[2].substr(2) + "\r\n");
    EXPECT_TRUE(ui.shown.empty());
    ExpectIdle();
    EXPECT_TRUE(engine.DeviceAnswered());
}

INSTANTIATE_TEST_SUITE_P(
    Write, WriteParameters,
    ::testing::Values(WriteCase{"Edges",
                                2,
                                1,
                                2,
                                "100",
                                "-50",
                                "50",
                                '.',
                                {"$707", "$3-050.0", "$G000.5 ", "$9100.0", "$K2"}},
                      WriteCase{"Fractions",
                                4,
                                0,
                                1,
                                "12.5",
                                "12.5",
                                "12.5",
                                '.',
                                {"$70A", "$3012.5", "$G000.125 ", "$912.5", "$K1"}},
                      WriteCase{"FullLevelAndLimits",
                                9,
                                4,
                                0,
                                "5000",
                                "0",
                                "100",
                                '.',
                                {"$719", "$3000.0", "$G001.0 ", "$95000.0", "$K0"}},
                      WriteCase{"EndsOfTheLevel",
                                0,
                                0,
                                0,
                                "50",
                                "-50",
                                "120",
                                '.',
                                {"$700", "$3-050.0", "$G001.2 ", "$950.0", "$K0"}},
                      WriteCase{"ZeroLevel",
                                0,
                                0,
                                0,
                                "50",
                                "-50",
                                "0",
                                '.',
                                {"$700", "$3-050.0", "$G000.0 ", "$950.0", "$K0"}},
                      WriteCase{"CommaSystemSendsPoints",
                                2,
                                1,
                                2,
                                "12,5",
                                "-12,25",
                                "12,5",
                                ',',
                                {"$707", "$3-012.25", "$G000.125 ", "$912.5", "$K2"}},
                      // A system may use any character as its separator, not just a comma.
                      WriteCase{"SlashSystemSendsPoints",
                                2,
                                1,
                                2,
                                "12/5",
                                "-12/25",
                                "12/5",
                                '/',
                                {"$707", "$3-012.25", "$G000.125 ", "$912.5", "$K2"}}),
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
