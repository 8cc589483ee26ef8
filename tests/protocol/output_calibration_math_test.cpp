// Gain and offset of the output calibration, including the values that must be refused.

#include "protocol/output_calibration_math.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cmath>
#include <limits>
#include <optional>

namespace {

TEST(FullScale, ByOutputType) {
    EXPECT_EQ(protocol::FullScale(0), 10.0);
    EXPECT_EQ(protocol::FullScale(1), 5.0);
    EXPECT_EQ(protocol::FullScale(2), 20.0);
    EXPECT_EQ(protocol::FullScale(3), std::nullopt);
    EXPECT_EQ(protocol::FullScale(-1), std::nullopt);
    EXPECT_EQ(protocol::FullScaleText(0), "10");
    EXPECT_EQ(protocol::FullScaleText(1), "5");
    EXPECT_EQ(protocol::FullScaleText(2), "20");
    EXPECT_EQ(protocol::FullScaleText(7), "");
}

struct ArithmeticCase {
    const char* name;
    double fullScale, minimum, maximum;
    double gain;
    std::int32_t offset;
};

// Test names say which case failed; the case itself prints as its name.
void PrintTo(const ArithmeticCase& c, std::ostream* os) {
    *os << c.name;
}

class Arithmetic : public ::testing::TestWithParam<ArithmeticCase> {};

TEST_P(Arithmetic, GainAndTruncatedOffset) {
    const ArithmeticCase& c = GetParam();
    const auto gain = protocol::GainCoefficient(c.fullScale, c.minimum, c.maximum);
    ASSERT_TRUE(gain.has_value());
    EXPECT_NEAR(*gain, c.gain, 1e-6 * std::fabs(c.gain));
    EXPECT_EQ(protocol::OffsetCode(*gain, c.minimum, c.fullScale), c.offset);
}

INSTANTIATE_TEST_SUITE_P(
    Calibration, Arithmetic,
    ::testing::Values(ArithmeticCase{"Current20", 20, 1.0, 20.5, 3150.769231, 50},
                      ArithmeticCase{"Voltage10", 10, 0.5, 10.5, 3072, 54},
                      // 208 - 215.04 = -7.04: toward zero is -7, not the floor -8.
                      ArithmeticCase{"NegativeTruncatesUp", 5, 0.35, 5.35, 3072, -7},
                      ArithmeticCase{"Nominal", 10, 0, 10, 3072, 208}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Arithmetic, RefusesWhatCannotBeSent) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // Equal measurements would divide by zero; a maximum below the minimum (typed the wrong way
    // round) would send a negative gain.
    EXPECT_EQ(protocol::GainCoefficient(20, 3, 3), std::nullopt);
    EXPECT_EQ(protocol::GainCoefficient(20, -0.0, 0.0), std::nullopt);
    EXPECT_EQ(protocol::GainCoefficient(20, 20, 0), std::nullopt);
    EXPECT_EQ(protocol::GainCoefficient(10, 0.5, 0.4999), std::nullopt);
    // A span so small that the gain overflows, and spans that are no number at all.
    EXPECT_EQ(protocol::GainCoefficient(20, 0, 1e-305), std::nullopt);
    EXPECT_EQ(protocol::GainCoefficient(20, 0, inf), std::nullopt);
    EXPECT_EQ(protocol::GainCoefficient(20, nan, 1), std::nullopt);
    EXPECT_EQ(protocol::GainCoefficient(20, -1e308, 1e308), std::nullopt);

    // The offset must fit 32 bits after truncation.
    EXPECT_EQ(protocol::OffsetCode(3072, -1e12, 10), std::nullopt);
    EXPECT_EQ(protocol::OffsetCode(3072, 1e12, 10), std::nullopt);
    EXPECT_EQ(protocol::OffsetCode(inf, 1, 10), std::nullopt);
    EXPECT_EQ(protocol::OffsetCode(3072, nan, 10), std::nullopt);
    // Just inside both ends: 208 - 1 x m / 1 truncated.
    EXPECT_EQ(protocol::OffsetCode(1, 208.0 - 2147483647.9, 1), 2147483647);
    EXPECT_EQ(protocol::OffsetCode(1, 208.0 + 2147483648.9, 1), -2147483648);
    EXPECT_EQ(protocol::OffsetCode(1, 208.0 - 2147483648.0, 1), std::nullopt);
    EXPECT_EQ(protocol::OffsetCode(1, 208.0 + 2147483649.0, 1), std::nullopt);
}

} // namespace
