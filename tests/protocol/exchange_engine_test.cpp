// The engine's tick: what a reply looks like after the checks, the status bar, the failure
// path, and that no error leaves the window waiting.

#include "protocol/exchange_engine.h"

#include "protocol/engine_texts.h"
#include "protocol/guarded_call.h"

#include "tests/protocol/engine_fixture.h"

#include <gtest/gtest.h>

#include <ostream>

namespace protocol_test {
namespace {

using protocol::CursorShape;

// Replies to the factory reset's first command, whose payload no handler examines.
struct ReplyCase {
    const char* name;
    std::string reply;
    char separator;
    std::string panel;   // second status panel afterwards
    std::string payload; // only when accepted
    std::string message; // empty when accepted
};

// Test names say which case failed; the case itself prints as its name.
void PrintTo(const ReplyCase& c, std::ostream* os) {
    *os << c.name;
}

class ReplyEdges : public EngineFixture, public ::testing::WithParamInterface<ReplyCase> {};

TEST_P(ReplyEdges, CheckedAndShownAsGiven) {
    const ReplyCase& c = GetParam();
    UseSeparator(c.separator);
    engine.ButtonZClick();
    Tick(c.reply);
    EXPECT_EQ(view.statusText[1], c.panel);
    if (c.message.empty()) {
        EXPECT_TRUE(ui.shown.empty());
        EXPECT_EQ(engine.ReplyPayload(), c.payload);
        EXPECT_EQ(port.Commands().back(), "$0");
        ExpectWaiting();
        // The rest of a long reply is discarded by the next command's purge.
        EXPECT_TRUE(port.input.empty());
    } else {
        ASSERT_EQ(ui.Messages(), std::vector<std::string>{c.message});
        EXPECT_EQ(ui.shown[0].cursor, CursorShape::Hourglass);
        EXPECT_EQ(port.Commands(), std::vector<std::string>{"$F"});
        ExpectIdle();
    }
}

const std::string fortyBytes = "!" + std::string("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZab") + "\r";

INSTANTIATE_TEST_SUITE_P(
    Engine, ReplyEdges,
    ::testing::Values(
        ReplyCase{"Payload", "!0A\r", '.', "Принято: !0A", "0A", ""},
        ReplyCase{"BangAndTerminator", "!\r", '.', "Принято: !", "", ""},
        ReplyCase{"BangAlone", "!", '.', "Принято: ", "", ""},
        ReplyCase{"AnyLastByteIsDropped", "!00X", '.', "Принято: !00", "00", ""},
        ReplyCase{"FortyBytesTakeThirtyOne", fortyBytes, '.',
                  "Принято: " + fortyBytes.substr(0, 30), fortyBytes.substr(1, 29), ""},
        // The device's text is Windows-1251: Cyrillic bytes show as their letters, the
        // unassigned byte as a replacement character; the payload keeps the bytes.
        ReplyCase{"Windows1251Text", "!\xC0\xC1\r", '.', "Принято: !АБ", "\xC0\xC1", ""},
        ReplyCase{"UnassignedByte", "!\x98z\r", '.', "Принято: !\uFFFDz", "\x98z", ""},
        ReplyCase{"PointBecomesComma", "!12.5\r", ',', "Принято: !12.5", "12,5", ""},
        ReplyCase{"PointStaysPoint", "!12.5\r", '.', "Принято: !12.5", "12.5", ""},
        ReplyCase{"NotUnderstood", "?0A\r", '.', "Принято:", "", "Прибор не понял команду!"},
        ReplyCase{"NoReply", "", '.', "Принято:", "", "Нет связи с прибором!"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EngineFixture, SendCommandPurgesWritesShowsAndArms) {
    engine.ButtonReadClick();
    EXPECT_EQ(log, (std::vector<std::string>{"ApplyPortNumber", "Open", "Cursor hourglass",
                                             "ClearBuffer", "Write $8", "Timer on"}));
    EXPECT_EQ(port.written, std::vector<std::string>{"$8\r\n"});
    EXPECT_EQ(view.statusText[0], "Передано: $8");
    EXPECT_EQ(engine.TransactionKind(), protocol::TransactionKind::ReadConfiguration);
    EXPECT_EQ(engine.TransactionStep(), 0);
    ExpectWaiting();
}

TEST_F(EngineFixture, TimerIsOffWhileTheTickShowsItsMessage) {
    bool timerDuringMessage = true;
    ui.onShow = [&](const auto&) { timerDuringMessage = view.timerEnabled; };
    engine.ButtonZClick();
    Tick("!\r");
    Tick("!01\r");
    EXPECT_FALSE(timerDuringMessage);
    ExpectIdle();
}

TEST_F(EngineFixture, CalibrationControlsFollowOnlyAfterTheDeviceAnswered) {
    // A first transaction of any kind enables "Считать" of the measurements, but not the
    // calibration controls while the transducer has not answered a read or write.
    engine.ButtonTempClick();
    Tick("!20.0\r");
    ExpectIdle();
    EXPECT_FALSE(view.calibrationButton);
    EXPECT_FALSE(view.kalibrButton2);
    EXPECT_FALSE(engine.DeviceAnswered());

    // A read whose first reply is valid sets the flag even though it fails later.
    engine.ButtonReadClick();
    Tick("!0A\r");
    EXPECT_TRUE(engine.DeviceAnswered());
    Tick("");
    EXPECT_TRUE(view.calibrationButton);
    EXPECT_TRUE(engine.ControlsEnabled());

    engine.ButtonTempClick();
    EXPECT_FALSE(view.calibrationButton);
    EXPECT_FALSE(view.kalibrButton1);
    EXPECT_FALSE(engine.ControlsEnabled());
    Tick("!20.0\r");
    EXPECT_TRUE(view.calibrationButton);
    EXPECT_TRUE(engine.ControlsEnabled());

    engine.ResetOnShow();
    EXPECT_FALSE(engine.DeviceAnswered());
    EXPECT_TRUE(engine.ControlsEnabled());
}

TEST_F(EngineFixture, AFirstReplyThatFailsTheChecksDoesNotCountAsAnswer) {
    engine.ButtonReadClick();
    Tick("?\r");
    EXPECT_FALSE(engine.DeviceAnswered());
    EXPECT_FALSE(view.calibrationButton);
    engine.ButtonWriteClick();
    Tick("");
    EXPECT_FALSE(engine.DeviceAnswered());
    engine.ButtonWriteClick();
    Tick("!\r");
    EXPECT_TRUE(engine.DeviceAnswered());
}

// Errors that are not the engine's own failure still end the transaction with a message.
struct TickErrorCase {
    const char* name;
    std::string reply;
    std::string inputCountError;
    std::string readError;
    std::string message;
};

// Test names say which case failed; the case itself prints as its name.
void PrintTo(const TickErrorCase& c, std::ostream* os) {
    *os << c.name;
}

class TickErrors : public EngineFixture, public ::testing::WithParamInterface<TickErrorCase> {};

TEST_P(TickErrors, EndTheTransaction) {
    const TickErrorCase& c = GetParam();
    engine.ButtonReadClick();
    port.inputCountError = c.inputCountError;
    port.readError = c.readError;
    Tick(c.reply);
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{c.message});
    EXPECT_TRUE(ui.Exceptions().empty());
    ExpectIdle();
    EXPECT_EQ(port.Commands(), std::vector<std::string>{"$8"});
}

const char* const kBadReply = "Прибор прислал неверный ответ!";
const TickErrorCase kTickErrors[] = {
    {"RangeNotHex", "!0G\r", "", "", kBadReply},
    {"RangeEmpty", "!\r", "", "", kBadReply},
    {"RangeAboveTable", "!1A\r", "", "", kBadReply},
    {"QueueError", "!0A\r", "Line error", "", "Ошибка обмена с прибором!\nLine error"},
    {"ReadError", "!0A\r", "", "Read failed (win error code: 5)",
     "Ошибка обмена с прибором!\nRead failed (win error code: 5)"},
};

INSTANTIATE_TEST_SUITE_P(Engine, TickErrors, ::testing::ValuesIn(kTickErrors),
                         [](const auto& info) { return std::string(info.param.name); });

// A connection lost in the middle of a transaction reads as the explainer tells it, above the
// error's own text; a transaction that changes the transducer adds what it may now hold.
struct LostConnectionCase {
    const char* name;
    void (*start)(protocol::ExchangeEngine&);
    bool lost;           // the explainer says the device went away
    const char* partial; // the sentence about the transducer's values, or none
};

void PrintTo(const LostConnectionCase& c, std::ostream* os) {
    *os << c.name;
}

class LostConnection : public EngineFixture,
                       public ::testing::WithParamInterface<LostConnectionCase> {};

TEST_P(LostConnection, IsExplainedWithWhatTheTransducerMayHold) {
    const LostConnectionCase& c = GetParam();
    engine.SetErrorExplainer([&c](const std::exception& error) {
        return protocol::ErrorExplanation{"Связь с портом COM7 прервалась.", error.what(), c.lost};
    });
    c.start(engine);
    port.inputCountError = "ClearCommError function failed (win error code: 5)";
    Tick("");
    std::string expected = "Ошибка обмена с прибором!\nСвязь с портом COM7 прервалась.\n";
    if (c.partial) {
        expected += std::string(c.partial) + "\n";
    }
    expected += "ClearCommError function failed (win error code: 5)";
    // An input calibration first asks for the substitute sensor.
    ASSERT_FALSE(ui.Messages().empty());
    EXPECT_EQ(ui.Messages().back(), expected);
    ExpectIdle();
}

INSTANTIATE_TEST_SUITE_P(
    Engine, LostConnection,
    ::testing::Values(
        LostConnectionCase{"Read", [](protocol::ExchangeEngine& e) { e.ButtonReadClick(); }, true,
                           nullptr},
        LostConnectionCase{"Write", [](protocol::ExchangeEngine& e) { e.ButtonWriteClick(); }, true,
                           protocol::texts::PartialWrite},
        LostConnectionCase{"WriteOtherError",
                           [](protocol::ExchangeEngine& e) { e.ButtonWriteClick(); }, false,
                           nullptr},
        LostConnectionCase{"FactoryReset", [](protocol::ExchangeEngine& e) { e.ButtonZClick(); },
                           true, protocol::texts::PartialFactoryReset},
        LostConnectionCase{"ZeroCalibration",
                           [](protocol::ExchangeEngine& e) { e.KalibrButton1Click(0); }, true,
                           protocol::texts::PartialCalibration},
        LostConnectionCase{"GainCalibration",
                           [](protocol::ExchangeEngine& e) { e.KalibrButton1Click(1); }, true,
                           protocol::texts::PartialCalibration}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EngineFixture, AnErrorLeavingAStarterReadsAsTheEngineExplainsIt) {
    engine.SetErrorExplainer([](const std::exception& error) {
        return protocol::ErrorExplanation{"Порт COM5 не найден.", error.what(), false};
    });
    port.openError = "Unable to open com port (win error code: 2)";
    EXPECT_FALSE(protocol::GuardedCall(ui, engine, [this] { engine.ButtonReadClick(); }));
    EXPECT_EQ(ui.Exceptions(),
              std::vector<std::string>{
                  "Порт COM5 не найден.\nUnable to open com port (win error code: 2)"});
}

TEST_F(EngineFixture, LaterStepsRejectPayloadsTheyCannotConvert) {
    const std::vector<std::vector<std::string>> replies = {
        {"!0A\r", "!abc\r"},                             // upper value
        {"!0A\r", "!200.0\r", "!\r"},                    // break level
        {"!0A\r", "!200.0\r", "!0.25\r", "!1,5\r"},      // lower value (comma is not ".")
        {"!0A\r", "!200.0\r", "!0.25\r", "!-50\r", "!"}, // output type: nothing
    };
    for (const auto& sequence : replies) {
        ui.shown.clear();
        engine.ButtonReadClick();
        for (const std::string& reply : sequence) {
            Tick(reply);
        }
        EXPECT_EQ(ui.Messages(), std::vector<std::string>{"Прибор прислал неверный ответ!"})
            << sequence.back();
        ExpectIdle();
    }
}

TEST_F(EngineFixture, AStarterWhoseFirstWriteFailsLeavesNothingWaiting) {
    port.writeError = "Write failed";
    EXPECT_THROW(engine.ButtonTempClick(), std::runtime_error);
    EXPECT_FALSE(port.open);
    EXPECT_FALSE(view.timerEnabled);
    EXPECT_TRUE(view.readButton);
    EXPECT_EQ(ui.cursor, CursorShape::Default);
}

TEST_F(EngineFixture, AbandonStopsTheTimerAndClosesThePort) {
    engine.ButtonReadClick();
    port.Feed("!0A\r");
    engine.AbandonTransaction();
    EXPECT_FALSE(view.timerEnabled);
    EXPECT_FALSE(port.open);
    EXPECT_TRUE(port.input.empty());
    EXPECT_TRUE(ui.shown.empty());
    // Idle: closing again does nothing.
    const int closes = port.closes;
    engine.AbandonTransaction();
    EXPECT_EQ(port.closes, closes);
}

} // namespace
} // namespace protocol_test
