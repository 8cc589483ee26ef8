#include "simulator/parameter_parser.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace sim {
namespace {

template <class T> struct Row {
    std::string text;
    std::optional<T> expected;
};

template <class T, class Parse> void CheckRows(const std::vector<Row<T>>& rows, Parse parse) {
    for (const auto& row : rows) {
        SCOPED_TRACE("parameter \"" + row.text + "\"");
        auto value = parse(row.text);
        ASSERT_EQ(value.has_value(), row.expected.has_value());
        if (row.expected) {
            EXPECT_DOUBLE_EQ(static_cast<double>(*value), static_cast<double>(*row.expected));
        }
    }
}

TEST(ParameterParserTest, RangeIsTwoUpperCaseHexDigitsUpTo19) {
    CheckRows<int>(
        {
            {"00", 0},
            {"05", 5},
            {"0A", 10},
            {"19", 25},
            {"10", 16},
            {"1A", {}},
            {"FF", {}},
            {"0a", {}},
            {"5", {}},
            {"005", {}},
            {"", {}},
            {" 5", {}},
            {"5 ", {}},
            {"-1", {}},
            {"0x", {}},
            {"G0", {}},
        },
        ParseRangeParameter);
}

TEST(ParameterParserTest, DecimalNumbersUseAPointAndNothingElse) {
    CheckRows<double>(
        {
            {"-050.0", -50.0},  {"012.5", 12.5},    {"100.0", 100.0}, {"12.5", 12.5},
            {"000.125", 0.125}, {"1100.0", 1100.0}, {"0", 0.0},       {"-0.0", 0.0},
            {"12,5", {}},       {"12.", {}},        {".5", {}},       {"+12.5", {}},
            {" 12.5", {}},      {"12.5 ", {}},      {"1E3", {}},      {"1.2.3", {}},
            {"", {}},           {"-", {}},          {"--1", {}},      {"inf", {}},
            {"nan", {}},        {"0x10", {}},
        },
        ParseDecimalParameter);
}

TEST(ParameterParserTest, BreakLevelKeepsOneTrailingBlankAndStaysWithin120Percent) {
    CheckRows<double>(
        {
            {"000.5 ", 0.5},
            {"000.125 ", 0.125},
            {"001.0 ", 1.0},
            {"000.0 ", 0.0},
            {"001.2 ", 1.2},
            {"000.5", 0.5},
            {"001.201 ", {}},
            {"-000.1 ", {}},
            {"000.5  ", {}},
            {" 000.5", {}},
            {"000,5 ", {}},
            {" ", {}},
            {"", {}},
        },
        ParseBreakLevelParameter);
}

TEST(ParameterParserTest, OutputTypeIsOneDigitFromZeroToTwo) {
    CheckRows<int>(
        {{"0", 0}, {"1", 1}, {"2", 2}, {"3", {}}, {"A", {}}, {"01", {}}, {"", {}}, {" 2", {}}},
        ParseOutputTypeParameter);
}

TEST(ParameterParserTest, GainIsSixDigitScientificNotation) {
    CheckRows<double>(
        {
            {"3.07200E+03", 3072.0},
            {"3.15077E+03", 3150.77},
            {"1.53600E+03", 1536.0},
            {"-3.07200E+03", -3072.0},
            {"1.00000E-02", 0.01},
            {"1.00000E+100", 1e100},
            {"0.00000E+00", 0.0},
            {"3.072E+03", {}},
            {"3.07200e+03", {}},
            {"3.07200E3", {}},
            {"3.07200E+3", {}},
            {"3,07200E+03", {}},
            {"30.7200E+02", {}},
            {"3072", {}},
            {"3.07200E+03 ", {}},
            {"3.07200E+0300", {}},
            {"", {}},
        },
        ParseGainParameter);
}

TEST(ParameterParserTest, OffsetIsADecimalInteger) {
    CheckRows<int>(
        {
            {"50", 50},
            {"54", 54},
            {"-7", -7},
            {"0", 0},
            {"2147483647", std::numeric_limits<int>::max()},
            {"-2147483648", std::numeric_limits<int>::min()},
            {"2147483648", {}},
            {"7.0", {}},
            {"+7", {}},
            {" 7", {}},
            {"7 ", {}},
            {"", {}},
            {"-", {}},
            {"1E2", {}},
            {"99999999999", {}},
        },
        ParseOffsetParameter);
}

TEST(ParameterParserTest, TestCodeIsOneOfTheTwoFixedTexts) {
    CheckRows<int>({{"0D0", 208},
                    {"CD0", 3280},
                    {"0d0", {}},
                    {"cd0", {}},
                    {"0D", {}},
                    {"0D00", {}},
                    {"1D0", {}},
                    {"", {}}},
                   ParseTestCodeParameter);
}

} // namespace
} // namespace sim
