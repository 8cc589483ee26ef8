#include "serial/integer_text.h"

#include <climits>
#include <optional>
#include <string>

#include <gtest/gtest.h>

namespace serial {
namespace {

struct IntegerCase {
    std::string text;
    std::optional<int> expected;
};

class ParseIntegerTest : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(ParseIntegerTest, ConvertsOrRefuses) {
    EXPECT_EQ(ParseInteger(GetParam().text), GetParam().expected) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(Decimal, ParseIntegerTest,
                         ::testing::Values(IntegerCase{"0", 0}, IntegerCase{"9600", 9600},
                                           IntegerCase{"007", 7}, IntegerCase{"+5", 5},
                                           IntegerCase{"-5", -5}, IntegerCase{"   42", 42},
                                           IntegerCase{"\t 3", 3}, IntegerCase{"  -17", -17},
                                           IntegerCase{"2147483647", INT_MAX},
                                           IntegerCase{"-2147483648", INT_MIN},
                                           IntegerCase{"2147483648", std::nullopt},
                                           IntegerCase{"-2147483649", std::nullopt},
                                           IntegerCase{"99999999999999999999999", std::nullopt}));

INSTANTIATE_TEST_SUITE_P(
    Hexadecimal, ParseIntegerTest,
    ::testing::Values(IntegerCase{"$1F", 31}, IntegerCase{"$1f", 31}, IntegerCase{"0x1f", 31},
                      IntegerCase{"0X1F", 31}, IntegerCase{"-$10", -16},
                      IntegerCase{"  -0x10", -16}, IntegerCase{"+$A", 10},
                      IntegerCase{"$7FFFFFFF", INT_MAX}, IntegerCase{"$80000000", std::nullopt},
                      IntegerCase{"-$80000000", INT_MIN}, IntegerCase{"$FFFFFFFF", std::nullopt},
                      IntegerCase{"0x0", 0}));

INSTANTIATE_TEST_SUITE_P(
    NotIntegers, ParseIntegerTest,
    ::testing::Values(IntegerCase{"", std::nullopt}, IntegerCase{"   ", std::nullopt},
                      IntegerCase{"-", std::nullopt}, IntegerCase{"+", std::nullopt},
                      IntegerCase{"$", std::nullopt}, IntegerCase{"0x", std::nullopt},
                      IntegerCase{"-0x", std::nullopt}, IntegerCase{"12 ", std::nullopt},
                      IntegerCase{"1 2", std::nullopt}, IntegerCase{"12a", std::nullopt},
                      IntegerCase{"0x1G", std::nullopt}, IntegerCase{"x10", std::nullopt},
                      IntegerCase{"--1", std::nullopt}, IntegerCase{"+-1", std::nullopt},
                      IntegerCase{"$$1", std::nullopt}, IntegerCase{"0x-1", std::nullopt},
                      IntegerCase{"- 1", std::nullopt}, IntegerCase{"1.5", std::nullopt},
                      IntegerCase{"COM3", std::nullopt}, IntegerCase{"A", std::nullopt}));

} // namespace
} // namespace serial
