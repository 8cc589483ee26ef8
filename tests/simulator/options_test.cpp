#include "simulator/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace sim {
namespace {

ProgramOptions Parse(const std::vector<std::string>& args) {
    OptionsResult result = ParseOptions(args);
    EXPECT_TRUE(result.options.has_value()) << result.error;
    return result.options.value_or(ProgramOptions{});
}

TEST(OptionsTest, DefaultsWithoutArguments) {
    ProgramOptions o = Parse({});
    EXPECT_FALSE(o.help);
    EXPECT_FALSE(o.comNumber.has_value());
    EXPECT_EQ(o.delayMs, 20);
    EXPECT_FALSE(o.drift);
    EXPECT_FALSE(o.value.has_value());
    EXPECT_FALSE(o.rangeIndex.has_value());
    EXPECT_TRUE(o.faults.empty());
    EXPECT_EQ(o.verbosity, Verbosity::Normal);
}

TEST(OptionsTest, ReadsEveryOptionInBothForms) {
    ProgramOptions o = Parse({"--com", "7", "--delay=150", "--drift", "--value", "-12.5",
                              "--range=25", "--fault", "late=500/2@$8", "--fault=no-reply", "-v"});
    EXPECT_EQ(o.comNumber, 7);
    EXPECT_EQ(o.delayMs, 150);
    EXPECT_TRUE(o.drift);
    EXPECT_EQ(o.value, -12.5);
    EXPECT_EQ(o.rangeIndex, 25);
    ASSERT_EQ(o.faults.size(), 2u);
    EXPECT_EQ(o.faults[0].fault.kind, FaultKind::LateReply);
    EXPECT_EQ(o.faults[0].code, "$8");
    EXPECT_EQ(o.faults[1].fault.kind, FaultKind::NoReply);
    EXPECT_EQ(o.verbosity, Verbosity::Verbose);

    EXPECT_FALSE(Parse({"--drift", "--no-drift"}).drift);
    EXPECT_EQ(Parse({"-q"}).verbosity, Verbosity::Quiet);
    EXPECT_TRUE(Parse({"--help"}).help);
    EXPECT_TRUE(Parse({"-h"}).help);
    EXPECT_EQ(Parse({"--com=100"}).comNumber, 100);
    EXPECT_EQ(Parse({"--range", "0"}).rangeIndex, 0);
    EXPECT_EQ(Parse({"--delay", "0"}).delayMs, 0);
}

TEST(OptionsTest, BadOptionsGiveAClearError) {
    struct Row {
        std::vector<std::string> args;
        std::string mentions;
    } rows[] = {
        {{"--com"}, "--com"},
        {{"--com", "0"}, "--com"},
        {{"--com", "101"}, "--com"},
        {{"--com", "COM7"}, "--com"},
        {{"--delay", "-1"}, "--delay"},
        {{"--delay", "1.5"}, "--delay"},
        {{"--delay=60001"}, "--delay"},
        {{"--value", "12,5"}, "--value"},
        {{"--value"}, "--value"},
        {{"--value", "1e9"}, "--value"},
        {{"--range", "26"}, "--range"},
        {{"--range", "0A"}, "--range"},
        {{"--fault", "sometimes"}, "sometimes"},
        {{"--fault"}, "--fault"},
        {{"--drift=yes"}, "--drift"},
        {{"--colour"}, "--colour"},
        {{"7"}, "7"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args.front());
        OptionsResult result = ParseOptions(row.args);
        EXPECT_FALSE(result.options.has_value());
        EXPECT_NE(result.error.find(row.mentions), std::string::npos) << result.error;
    }
}

TEST(OptionsTest, HelpExplainsEveryOptionAndFaultKind) {
    std::string help = HelpText("lirat5-sim");
    for (std::string word :
         {"--com",     "--delay", "--drift",   "--no-drift", "--value",    "--range",
          "--fault",   "--quiet", "--verbose", "--help",     "no-reply",   "bad-first-byte",
          "late",      "partial", "long",      "bad-status", "not-number", "not-hex",
          "bad-range", "payload", "hang-up"}) {
        EXPECT_NE(help.find(word), std::string::npos) << word;
    }
}

} // namespace
} // namespace sim
