#include "simulator/device_model.h"

#include "protocol/command_table.h"
#include "simulator/command_code.h"
#include "tests/simulator/configured_state.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace sim {
namespace {

using Outcome = Response::Outcome;

TEST(DeviceModelTest, KnowsEveryCodeOfTheConfiguratorsCommandTable) {
    protocol::ResetCommandTables();
    std::set<std::string> codes;
    for (const auto& record : protocol::ActionCommands) {
        SCOPED_TRACE(record.Text);
        auto code = CodeFromText(record.Text);
        ASSERT_TRUE(code.has_value());
        EXPECT_EQ(CodeText(*code), record.Text);
        codes.insert(record.Text);
    }
    for (const auto& record : protocol::QueryCommands) {
        SCOPED_TRACE(record.Text);
        auto code = CodeFromText(record.Text);
        ASSERT_TRUE(code.has_value());
        EXPECT_FALSE(TakesParameter(*code));
        codes.insert(record.Text);
    }
    EXPECT_EQ(codes.size(), static_cast<std::size_t>(kCommandCodeCount));
}

TEST(DeviceModelTest, ReadCommandsAnswerInTheFormsTheReadExpects) {
    DeviceModel model(Configured());
    model.SetMeasuredValue(23.4);
    struct Row {
        std::string command;
        std::string payload;
    } rows[] = {
        {"$8", "0A"}, {"$H", "200.0"}, {"#9", "0.25"}, {"$4", "-50.0"},
        {"#K", "2"},  {"#0", "23.4"},  {"$0", "00"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.command);
        Response r = model.Handle(row.command);
        EXPECT_EQ(r.outcome, Outcome::Answered);
        EXPECT_EQ(r.payload, row.payload);
    }
}

TEST(DeviceModelTest, NumbersKeepTheirDecimalsAndRangeIndexIsUpperCaseHex) {
    struct Row {
        DeviceState state;
        std::string command;
        std::string payload;
    };
    auto with = [](auto change) {
        DeviceState s;
        change(s);
        return s;
    };
    Row rows[] = {
        {with([](DeviceState& s) { s.rangeIndex = 0; }), "$8", "00"},
        {with([](DeviceState& s) { s.rangeIndex = 25; }), "$8", "19"},
        {with([](DeviceState& s) { s.rangeIndex = 15; }), "$8", "0F"},
        {with([](DeviceState& s) { s.upperValue = 12.5; }), "$H", "12.5"},
        {with([](DeviceState& s) { s.upperValue = 1100.0; }), "$H", "1100.0"},
        {with([](DeviceState& s) { s.lowerValue = 0.125; }), "$4", "0.125"},
        {with([](DeviceState& s) { s.lowerValue = -200.0; }), "$4", "-200.0"},
        {with([](DeviceState& s) { s.breakLevel = 1.2; }), "#9", "1.2"},
        {with([](DeviceState& s) { s.breakLevel = 0.0; }), "#9", "0.0"},
        {with([](DeviceState& s) { s.outputType = 0; }), "#K", "0"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.command + " -> " + row.payload);
        DeviceModel model(row.state);
        EXPECT_EQ(model.Handle(row.command).payload, row.payload);
    }
}

TEST(DeviceModelTest, WriteSequenceOfTheConfiguratorChangesTheConfiguration) {
    struct Row {
        std::vector<std::string> commands;
        int range;
        double lower;
        double breakLevel;
        double upper;
        int outputType;
    } rows[] = {
        {{"$705", "$3-050.0", "$G000.5 ", "$9100.0", "$K2"}, 5, -50.0, 0.5, 100.0, 2},
        {{"$70A", "$3012.5", "$G000.125 ", "$912.5", "$K1"}, 10, 12.5, 0.125, 12.5, 1},
        {{"$719", "$3000.0", "$G001.0 ", "$95000.0", "$K0"}, 25, 0.0, 1.0, 5000.0, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.commands.front());
        DeviceModel model(Configured());
        for (const auto& command : row.commands) {
            Response r = model.Handle(command);
            EXPECT_EQ(r.outcome, Outcome::Answered) << command;
            EXPECT_EQ(r.payload, "") << command;
        }
        const DeviceState& s = model.State();
        EXPECT_EQ(s.rangeIndex, row.range);
        EXPECT_DOUBLE_EQ(s.lowerValue, row.lower);
        EXPECT_DOUBLE_EQ(s.breakLevel, row.breakLevel);
        EXPECT_DOUBLE_EQ(s.upperValue, row.upper);
        EXPECT_EQ(s.outputType, row.outputType);
        EXPECT_EQ(s.status, "00");
    }
}

TEST(DeviceModelTest, MalformedParameterIsRejectedKeepsTheValueAndSpoilsTheStatus) {
    const std::vector<std::string> commands = {
        "$71A",  "$70a",  "$7",   "$312,5", "$3 12.5", "$G001.3 ",    "$G000.5  ",
        "$9",    "$91e3", "$K3",  "$K",     "$C3072",  "$C3.07200E3", "$D7.5",
        "$A0D1", "$A",    "$8XX", "$F1",    "$0 ",     "#0?",
    };
    for (const auto& command : commands) {
        SCOPED_TRACE(command);
        DeviceModel model(Configured());
        Response r = model.Handle(command);
        EXPECT_EQ(r.outcome, Outcome::Rejected);
        EXPECT_EQ(r.payload, "");
        EXPECT_FALSE(r.note.empty());

        DeviceState expected = Configured();
        expected.status = std::string(kRejectedStatus);
        EXPECT_EQ(model.State(), expected);
        EXPECT_EQ(model.Handle("$0").payload, kRejectedStatus);
    }
}

TEST(DeviceModelTest, UnknownCommandsAreNotUnderstood) {
    for (std::string command : {"", "$", "$X", "#1", "!8", "8$", "$h", "AB", "\x01\x02"}) {
        SCOPED_TRACE("\"" + command + "\"");
        DeviceModel model(Configured());
        Response r = model.Handle(command);
        EXPECT_EQ(r.outcome, Outcome::NotUnderstood);
        EXPECT_EQ(model.State(), Configured());
    }
}

TEST(DeviceModelTest, FactoryResetRestoresDefaultsAndReportsSuccess) {
    DeviceState changed = Configured();
    changed.zeroCalibrated = true;
    changed.outputGain = 1.0;
    changed.outputOffset = -7;
    changed.status = std::string(kRejectedStatus);
    DeviceModel model(changed);
    model.SetMeasuredValue(23.4);

    EXPECT_EQ(model.Handle("$F").outcome, Outcome::Answered);
    EXPECT_EQ(model.State(), FactoryDefaults());
    EXPECT_EQ(model.Handle("$0").payload, "00");
    // The measured value belongs to the sensor, not to the configuration.
    EXPECT_EQ(model.Handle("#0").payload, "23.4");
}

TEST(DeviceModelTest, CalibrationsSetTheirStateAndStatus) {
    DeviceState start;
    start.status = std::string(kRejectedStatus);
    DeviceModel model(start);

    model.Handle("$1");
    EXPECT_TRUE(model.State().zeroCalibrated);
    EXPECT_FALSE(model.State().gainCalibrated);
    EXPECT_EQ(model.Handle("$0").payload, "00");
    model.Handle("$2");
    EXPECT_TRUE(model.State().gainCalibrated);

    // The output calibration: low code, high code, gain, offset, end.
    for (std::string command : {"$A0D0", "$ACD0", "$C3.15077E+03", "$D50"}) {
        EXPECT_EQ(model.Handle(command).outcome, Outcome::Answered) << command;
        if (command == "$A0D0") {
            EXPECT_EQ(model.State().outputTestCode, kLowTestCode);
        }
    }
    EXPECT_EQ(model.State().outputTestCode, kHighTestCode);
    EXPECT_DOUBLE_EQ(model.State().outputGain, 3150.77);
    EXPECT_EQ(model.State().outputOffset, 50);
    model.Handle("$B");
    EXPECT_FALSE(model.State().outputTestCode.has_value());
    EXPECT_EQ(model.Handle("$0").payload, "00");
}

TEST(DeviceModelTest, DriftMakesEveryReadingDifferAndStaysNearTheValue) {
    DeviceModel model;
    model.SetMeasuredValue(20.0);
    EXPECT_EQ(model.Handle("#0").payload, "20.0");
    EXPECT_EQ(model.Handle("#0").payload, "20.0");

    model.SetDrift(true);
    std::string previous = model.Handle("#0").payload;
    // Far past several turns of the drift, so both of its ends are crossed.
    for (int i = 0; i < 200; ++i) {
        std::string next = model.Handle("#0").payload;
        EXPECT_NE(next, previous) << "reading " << i;
        double value = std::stod(next);
        EXPECT_GE(value, 20.0 - DeviceModel::kDriftSpan - 1e-9);
        EXPECT_LE(value, 20.0 + DeviceModel::kDriftSpan + 1e-9);
        previous = next;
    }
}

} // namespace
} // namespace sim
