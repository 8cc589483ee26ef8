#include "protocol/command_record.h"
#include "protocol/command_table.h"
#include "protocol/number_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace protocol {
namespace {

// The bytes a record puts on the wire, plus the terminator behind them.
std::vector<std::uint8_t> Image(const CommandRecord& record) {
    return {record.Bytes.begin(), record.Bytes.begin() + record.ByteCount + 1};
}

TEST(CommandRecord, FreshRecordIsTheBareCode) {
    const CommandRecord record = MakeCommandRecord("$8");
    EXPECT_EQ("$8", record.Text);
    EXPECT_EQ(3, record.ParamPos);
    EXPECT_EQ(4, record.ByteCount);
    EXPECT_EQ((std::vector<std::uint8_t>{0x24, 0x38, 0x0D, 0x0A, 0x00}), Image(record));
}

TEST(CommandRecord, ParameterSequences) {
    struct Row {
        const char* code;
        std::vector<std::string> parameters; // applied in order
        std::string text;
        std::vector<std::uint8_t> wire; // without the terminator
    };
    const Row rows[] = {
        {"$7", {"05"}, "$705", {0x24, 0x37, 0x30, 0x35, 0x0D, 0x0A}},
        {"$A", {"0D0", "CD0"}, "$ACD0", {0x24, 0x41, 0x43, 0x44, 0x30, 0x0D, 0x0A}},
        {"$7", {"19", ""}, "$7", {0x24, 0x37, 0x0D, 0x0A}},
        {"$C",
         {"1.53600E+03", "3.07200E+03"},
         "$C3.07200E+03",
         {0x24, 0x43, '3', '.', '0', '7', '2', '0', '0', 'E', '+', '0', '3', 0x0D, 0x0A}},
        // A shorter parameter after a longer one leaves nothing of the longer one behind.
        {"$D", {"-12345", "7"}, "$D7", {0x24, 0x44, 0x37, 0x0D, 0x0A}},
    };
    for (const Row& row : rows) {
        CommandRecord record = MakeCommandRecord(row.code);
        for (const std::string& parameter : row.parameters) {
            SetParameter(record, parameter);
        }
        EXPECT_EQ(row.text, record.Text) << row.code;
        EXPECT_EQ(3, record.ParamPos) << row.code;
        EXPECT_EQ(static_cast<int>(row.wire.size()), record.ByteCount) << row.code;
        std::vector<std::uint8_t> expected = row.wire;
        expected.push_back(0);
        EXPECT_EQ(expected, Image(record)) << row.code;
    }
}

// The break level of 50 % goes out as "$G000.5 " with its trailing blank: 10 bytes with CR LF.
TEST(CommandRecord, BreakLevelKeepsItsTrailingBlank) {
    CommandRecord record = MakeCommandRecord("$G");
    SetParameter(record, FormatNumber(50 * 0.01, "000.0## ", '.'));
    EXPECT_EQ("$G000.5 ", record.Text);
    EXPECT_EQ(10, record.ByteCount);
    EXPECT_EQ((std::vector<std::uint8_t>{'$', 'G', '0', '0', '0', '.', '5', ' ', 0x0D, 0x0A, 0}),
              Image(record));
}

// 29 characters of text fill the 32 bytes exactly; one more must not be written anywhere.
TEST(CommandRecord, TooLongParameterIsRefusedAndLeavesTheRecordAlone) {
    CommandRecord record = MakeCommandRecord("$C");
    const std::string longest(27, '7');
    SetParameter(record, longest);
    EXPECT_EQ(29u, record.Text.size());
    EXPECT_EQ(31, record.ByteCount);
    EXPECT_EQ(0x0D, record.Bytes[29]);
    EXPECT_EQ(0x0A, record.Bytes[30]);
    EXPECT_EQ(0x00, record.Bytes[31]);

    SetParameter(record, "3.07200E+03");
    const CommandRecord before = record;
    EXPECT_THROW(SetParameter(record, std::string(28, '7')), std::length_error);
    EXPECT_THROW(SetParameter(record, std::string(1000, '7')), std::length_error);
    EXPECT_EQ(before.Text, record.Text);
    EXPECT_EQ(before.ByteCount, record.ByteCount);
    EXPECT_EQ(before.Bytes, record.Bytes);
}

TEST(CommandRecord, ControlCharactersCannotSplitACommand) {
    CommandRecord record = MakeCommandRecord("$3");
    SetParameter(record, "012.5");
    const CommandRecord before = record;
    const std::vector<std::string> rejected{"1\r\n$F", std::string("1\0", 2), "\n", "1\t2", "\x7F"};
    for (const std::string& bad : rejected) {
        EXPECT_THROW(SetParameter(record, bad), std::invalid_argument);
        EXPECT_EQ(before.Text, record.Text);
        EXPECT_EQ(before.Bytes, record.Bytes);
        EXPECT_EQ(before.ByteCount, record.ByteCount);
    }
}

TEST(CommandRecord, InvalidCodesAndRecordsAreRefused) {
    EXPECT_THROW(MakeCommandRecord(""), std::invalid_argument);
    EXPECT_THROW(MakeCommandRecord("$\r"), std::invalid_argument);
    EXPECT_THROW(MakeCommandRecord(std::string(30, '$')), std::length_error);
    EXPECT_EQ(31, MakeCommandRecord(std::string(29, '$')).ByteCount);
    CommandRecord unbuilt;
    EXPECT_THROW(SetParameter(unbuilt, "1"), std::invalid_argument);
}

TEST(CommandTable, RecordsAreInTableOrderWithBareCodes) {
    ResetCommandTables();
    const std::pair<ActionIndex, const char*> actions[] = {
        {ActSetRange, "$7"},        {ActSetLower, "$3"},        {ActSetBreakLevel, "$G"},
        {ActSetUpper, "$9"},        {ActFactoryReset, "$F"},    {ActSetOutputType, "$K"},
        {ActZeroCalibration, "$1"}, {ActGainCalibration, "$2"}, {ActEndOutputCalibration, "$B"},
        {ActSetGain, "$C"},         {ActOutputTestCode, "$A"},  {ActSetOffset, "$D"},
    };
    const std::pair<QueryIndex, const char*> queries[] = {
        {QryRange, "$8"},         {QryUpper, "$H"},      {QryBreakLevel, "#9"}, {QryLower, "$4"},
        {QryMeasuredValue, "#0"}, {QryOutputType, "#K"}, {QryStatus, "$0"},
    };
    ASSERT_EQ(std::size(actions), ActionCommands.size());
    ASSERT_EQ(std::size(queries), QueryCommands.size());
    for (std::size_t i = 0; i < std::size(actions); ++i) {
        EXPECT_EQ(i, actions[i].first);
        const CommandRecord& record = ActionCommands[actions[i].first];
        EXPECT_EQ(actions[i].second, record.Text);
        EXPECT_EQ(3, record.ParamPos);
        EXPECT_EQ(4, record.ByteCount);
    }
    for (std::size_t i = 0; i < std::size(queries); ++i) {
        EXPECT_EQ(i, queries[i].first);
        const CommandRecord& record = QueryCommands[queries[i].first];
        EXPECT_EQ(queries[i].second, record.Text);
        EXPECT_EQ(4, record.ByteCount);
        EXPECT_EQ(0x0D, record.Bytes[2]);
    }
}

TEST(CommandTable, ParametersStayUntilTheTablesAreReset) {
    SetParameter(ActionCommands[ActSetRange], "0A");
    SetParameter(ActionCommands[ActOutputTestCode], "CD0");
    EXPECT_EQ("$70A", ActionCommands[ActSetRange].Text);
    ResetCommandTables();
    EXPECT_EQ("$7", ActionCommands[ActSetRange].Text);
    EXPECT_EQ(4, ActionCommands[ActSetRange].ByteCount);
    EXPECT_EQ("$A", ActionCommands[ActOutputTestCode].Text);
}

} // namespace
} // namespace protocol
