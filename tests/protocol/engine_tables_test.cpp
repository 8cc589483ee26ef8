// Engines that run at the same time, one per port and thread, each with command tables of its
// own: every port gets exactly the parameters of its own transactions, and the window's
// program-wide tables stay untouched. Run under the asan and tsan presets as well.

#include "catalogue/sensor_catalogue.h"
#include "protocol/command_table.h"
#include "protocol/exchange_engine.h"
#include "protocol/number_text.h"
#include "protocol/output_calibration_math.h"
#include "protocol/write_parameters.h"
#include "tests/protocol/engine_fixture.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <thread>

namespace protocol_test {
namespace {

using Commands = std::vector<std::string>;

constexpr int Engines = 8;
constexpr int Rounds = 40;

struct Unit {
    protocol::CommandTables tables;
    testing_support::ScriptedExchangePort port;
    testing_support::PlainEngineView view;
    testing_support::ScriptedUiServices ui;
    protocol::ExchangeEngine engine{port, view, ui, tables};
    Commands expected;

    // Every reply is "!" and a CR; the timer fires at once.
    void RunToEnd() {
        for (int step = 0; step < 12 && view.timerEnabled; ++step) {
            std::this_thread::yield(); // let the other engines set their records meanwhile
            port.Feed("!\r");
            engine.TimerTimer();
        }
    }

    // Writes a configuration of its own (the range's limits, its own level and output), then
    // calibrates the output with measured values of its own.
    void Work(int index) {
        const auto& range = catalogue::SensorRanges[static_cast<std::size_t>(index)];
        view.ShowRange(index);
        view.breakLevelText = std::to_string(10 * index);
        view.outputType = index % 3;
        const auto check = protocol::CheckWriteParameters(index, view.upperText, view.lowerText,
                                                          view.breakLevelText, view.outputType);
        ASSERT_TRUE(check.parameters) << range.RangeText;
        const protocol::WriteParameters& p = *check.parameters;
        const Commands write{"$7" + p.Range, "$3" + p.Lower, "$G" + p.BreakLevel, "$9" + p.Upper,
                             "$K" + p.OutputType};
        const double minimum = 0.01 * index;
        const double gain = *protocol::GainCoefficient(10.0, minimum, 10.0);
        const Commands calibration{
            "$A0D0", "$ACD0", "$C" + protocol::WireGain(gain),
            "$D" + std::to_string(*protocol::OffsetCode(gain, minimum, 10.0)), "$B"};
        for (int round = 0; round < Rounds; ++round) {
            engine.ButtonWriteClick();
            RunToEnd();
            view.outputType = 0; // the calibration's full scale: 10 V
            ui.inputAnswers = {protocol::FormatNumber(minimum, "0.00", '.'), "10"};
            engine.KalibrButton3Click();
            RunToEnd();
            view.outputType = index % 3;
            expected.insert(expected.end(), write.begin(), write.end());
            expected.insert(expected.end(), calibration.begin(), calibration.end());
        }
    }
};

class EngineTables : public EngineFixture {};

TEST_F(EngineTables, EnginesOnThreadsOfTheirOwnNeverSendEachOthersParameters) {
    std::vector<std::unique_ptr<Unit>> units;
    for (int i = 0; i < Engines; ++i) {
        units.push_back(std::make_unique<Unit>());
    }
    std::vector<std::thread> threads;
    for (int i = 0; i < Engines; ++i) {
        threads.emplace_back([&units, i] { units[static_cast<std::size_t>(i)]->Work(i); });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    for (int i = 0; i < Engines; ++i) {
        const Unit& unit = *units[static_cast<std::size_t>(i)];
        EXPECT_EQ(unit.port.Commands(), unit.expected) << "engine " << i;
        // The instruction and the success of every calibration, nothing else.
        EXPECT_EQ(unit.ui.Messages().size(), static_cast<std::size_t>(Rounds * 2)) << i;
    }
    // The window's tables hold their bare codes still.
    const protocol::CommandTables fresh;
    for (std::size_t i = 0; i < fresh.actions.size(); ++i) {
        EXPECT_EQ(protocol::ActionCommands[i].Text, fresh.actions[i].Text);
    }
}

TEST_F(EngineTables, TheWindowsEngineStillSendsFromTheProgramWideTables) {
    view.ShowRange(3);
    engine.ButtonWriteClick();
    EXPECT_EQ(protocol::ActionCommands[protocol::ActSetRange].Text, "$703");
    EXPECT_EQ(port.Commands(), Commands{"$703"});
}

} // namespace
} // namespace protocol_test
