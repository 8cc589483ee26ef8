#include "protocol/number_text.h"

#include "catalogue/sensor_catalogue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>

namespace protocol {
namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

struct FormatRow {
    double value;
    const char* pattern;
    char separator;
    const char* expected;
};

TEST(FormatNumber, WindowAndWirePatterns) {
    const FormatRow rows[] = {
        // Break level as a fraction, with the pattern's trailing blank.
        {0.5, "000.0## ", '.', "000.5 "},
        {12.5 * 0.01, "000.0## ", '.', "000.125 "},
        {0.125, "000.0## ", '.', "000.125 "},
        {1.0, "000.0## ", '.', "001.0 "},
        {1.2, "000.0## ", '.', "001.2 "},
        {0.0, "000.0## ", '.', "000.0 "},
        // Lower working-range value.
        {-50, "000.0##", '.', "-050.0"},
        {12.5, "000.0##", '.', "012.5"},
        {-12.3456, "000.0##", '.', "-012.346"},
        {-200, "000.0##", ',', "-200,0"},
        // Upper working-range value.
        {100, "###0.0#", '.', "100.0"},
        {12.5, "###0.0#", '.', "12.5"},
        {0.004, "###0.0#", '.', "0.0"},
        {0.005, "###0.0#", '.', "0.01"},
        // Window fields.
        {-200, "###0.0", '.', "-200.0"},
        {-200, "###0.0", ',', "-200,0"},
        {1100, "###0.0", '.', "1100.0"},
        {5000, "###0.0", ',', "5000,0"},
        {12345678, "###0.0", '.', "12345678.0"},
        {25, "##0.0", '.', "25.0"},
        {0.25 * 100, "##0.0", ',', "25,0"},
        {23.4, "####0.0#", '.', "23.4"},
        {23.4, "####0.0#", ',', "23,4"},
        {23.456, "####0.0#", '.', "23.46"},
        {0, "####0.0#", '.', "0.0"},
    };
    for (const FormatRow& row : rows) {
        EXPECT_EQ(row.expected, FormatNumber(row.value, row.pattern, row.separator))
            << row.value << " with \"" << row.pattern << "\"";
    }
}

// Rounding works on the number as a person reads it (its shortest exact decimal form), half away
// from zero, carrying into the integer digits; a value that rounds to zero has no sign.
TEST(FormatNumber, RoundingEdges) {
    const FormatRow rows[] = {
        {2.675, "0.00", '.', "2.68"}, // the double lies just below 2.675
        {1.005, "0.00", '.', "1.01"}, // likewise
        {-2.675, "0.00", '.', "-2.68"},
        {0.05, "0.0", '.', "0.1"},
        {0.15, "0.0", '.', "0.2"},
        {0.25, "0.0", '.', "0.3"}, // half away from zero, not to even
        {-0.25, "0.0", '.', "-0.3"},
        {0.0004999, "000.0##", '.', "000.0"},
        {9.96, "###0.0", '.', "10.0"},
        {99.95, "##0.0", '.', "100.0"},
        {999.96, "000.0", '.', "1000.0"},
        {-9.999, "###0.0#", '.', "-10.0"},
        {-0.04, "###0.0", '.', "0.0"},
        {-0.0, "###0.0", '.', "0.0"},
        {-0.0004, "000.0## ", '.', "000.0 "},
        {-0.05, "###0.0", '.', "-0.1"},
        {1e-300, "###0.0", '.', "0.0"},
        {5e-324, "0.0##", '.', "0.0"},
        {0.1 + 0.2, "0.0#", '.', "0.3"},
    };
    for (const FormatRow& row : rows) {
        EXPECT_EQ(row.expected, FormatNumber(row.value, row.pattern, row.separator))
            << row.value << " with \"" << row.pattern << "\"";
    }
}

TEST(FormatNumber, PlaceholdersAndLiterals) {
    // "#" alone writes nothing for zero; digits the pattern has no room for still appear; a
    // pattern without fraction placeholders rounds to a whole number; a second "." is ignored.
    const FormatRow rows[] = {
        {3, "#", '.', "3"},           {0, "#", '.', ""},
        {0.5, "#.#", '.', ".5"},      {-0.5, "#.#", ',', "-,5"},
        {1.5, "0.0 V", '.', "1.5 V"}, {7, "[0]", '.', "[7]"},
        {123, "[0]", '.', "[123]"},   {2.5, "0.", '.', "3"},
        {1.25, "0.0.0", '.', "1.25"},
    };
    for (const FormatRow& row : rows) {
        EXPECT_EQ(row.expected, FormatNumber(row.value, row.pattern, row.separator))
            << row.value << " with \"" << row.pattern << "\"";
    }
    EXPECT_THROW(FormatNumber(1, "", '.'), std::invalid_argument);
    EXPECT_THROW(FormatNumber(1, "abc.", '.'), std::invalid_argument);
}

// Values no pattern can show give short texts that ParseNumber refuses to take back.
TEST(FormatNumber, NonFiniteAndHugeValuesStayBounded) {
    EXPECT_EQ("NAN", FormatNumber(NaN, "###0.0", '.'));
    EXPECT_EQ("INF", FormatNumber(Inf, "###0.0", '.'));
    EXPECT_EQ("-INF", FormatNumber(-Inf, "000.0## ", '.'));
    // The largest double below 1e18 reads as 9.999999999999999e17, and is written that way.
    EXPECT_EQ("999999999999999900.0", FormatNumber(999999999999999872.0, "0.0", '.'));
    EXPECT_EQ(999999999999999872.0, ParseNumber("999999999999999900.0", '.'));
    EXPECT_EQ("1.00000E+18", FormatNumber(1e18, "###0.0", '.'));
    EXPECT_EQ("-1,79769E+308", FormatNumber(-std::numeric_limits<double>::max(), "###0.0", ','));
    for (const char* text : {"NAN", "INF", "-INF"}) {
        EXPECT_EQ(std::nullopt, ParseNumber(text, '.')) << text;
    }
}

TEST(FormatGain, SixSignificantDigitsWithSignedExponent) {
    struct Row {
        double value;
        char separator;
        const char* expected;
    };
    const Row rows[] = {
        {3072, '.', "3.07200E+03"},
        {3072.0 * 20 / (20.5 - 1.0), '.', "3.15077E+03"},
        {3072.0 * 20 / (20.5 - 1.0), ',', "3,15077E+03"},
        {3072.0 * 5 / (5.35 - 0.35), '.', "3.07200E+03"},
        {1536, '.', "1.53600E+03"},
        {9.999995e3, '.', "1.00000E+04"},
        {9999.994, '.', "9.99999E+03"},
        {1.000005, '.', "1.00001E+00"},
        {-3072, '.', "-3.07200E+03"},
        {0.000123456789, '.', "1.23457E-04"},
        {1e-5, '.', "1.00000E-05"},
        {1e100, '.', "1.00000E+100"},
        {5e-324, '.', "5.00000E-324"},
        {0.0, '.', "0.00000E+00"},
        {-0.0, '.', "0.00000E+00"},
        {NaN, '.', "NAN"},
        {-Inf, '.', "-INF"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.expected, FormatGain(row.value, row.separator)) << row.value;
    }
}

TEST(ParseNumber, AcceptedTexts) {
    struct Row {
        const char* text;
        char separator;
        double expected;
    };
    const Row rows[] = {
        {"1.5", '.', 1.5},
        {"1,5", ',', 1.5},
        {" 12.5 ", '.', 12.5},
        {"\t-3\t", '.', -3},
        {"+7", '.', 7},
        {"1E3", '.', 1000},
        {"1e-3", '.', 0.001},
        {"2.5E+2", '.', 250},
        {"1,5e1", ',', 15},
        {".5", '.', 0.5},
        {"5.", '.', 5},
        {"00012.50", '.', 12.5},
        {"-0.1", '.', -0.1},
        {"120", '.', 120},
        {"1e308", '.', 1e308},
        {"0e-999", '.', 0},
        {"-200,0", ',', -200},
        {"4.9e-324", '.', 5e-324},
        {"3.15077E+03", '.', 3150.77},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.expected, ParseNumber(row.text, row.separator))
            << "\"" << row.text << "\" with '" << row.separator << "'";
    }
    const std::optional<double> negativeZero = ParseNumber("-0", '.');
    ASSERT_TRUE(negativeZero.has_value());
    EXPECT_TRUE(std::signbit(*negativeZero));
}

TEST(ParseNumber, RejectedTexts) {
    struct Row {
        const char* text;
        char separator;
    };
    const Row rows[] = {
        {"", '.'},         {"  ", '.'},     {"-", '.'},     {"+", '.'},     {".", '.'},
        {",", ','},        {"1..2", '.'},   {"1.2.3", '.'}, {"1,5", '.'},   {"1.5", ','},
        {"1,5x", ','},     {"inf", '.'},    {"INF", '.'},   {"nan", '.'},   {"NaN", '.'},
        {"infinity", '.'}, {"1e", '.'},     {"1e+", '.'},   {"e5", '.'},    {"1e400", '.'},
        {"-1e400", '.'},   {"1e-400", '.'}, {"0x10", '.'},  {"1 2", '.'},   {"--1", '.'},
        {"+-1", '.'},      {"1-", '.'},     {"1.5\n", '.'}, {"1 000", '.'}, {"1.5 V", '.'},
        {"\xD9\xA1", '.'},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(std::nullopt, ParseNumber(row.text, row.separator))
            << "\"" << row.text << "\" with '" << row.separator << "'";
    }
    EXPECT_THROW(ParseNumber("1", '5'), std::invalid_argument);
    EXPECT_THROW(ParseNumber("1", ' '), std::invalid_argument);
}

// What the windows show must read back as the same value, whichever separator the system uses.
TEST(ParseNumber, ReadsBackEveryRangeLimitTheWindowShows) {
    for (const char separator : {'.', ','}) {
        for (const catalogue::SensorRange& range : catalogue::SensorRanges) {
            for (const double limit : {range.Min, range.Max}) {
                const std::string shown = FormatNumber(limit, "###0.0", separator);
                EXPECT_EQ(limit, ParseNumber(shown, separator)) << shown;
            }
        }
        EXPECT_EQ(3150.77, ParseNumber(FormatGain(3150.769, separator), separator));
    }
}

TEST(ParseHexPayload, OneToEightHexDigitsAndNothingElse) {
    struct Row {
        const char* payload;
        std::optional<std::int64_t> expected;
    };
    const Row rows[] = {
        {"0A", 10},
        {"0a", 10},
        {"19", 25},
        {"00", 0},
        {"7", 7},
        {"fF", 255},
        {"FFFFFFFF", 4294967295LL},
        {"ffffffff", 4294967295LL},
        {"", std::nullopt},
        {"G1", std::nullopt},
        {" 1", std::nullopt},
        {"1 ", std::nullopt},
        {"-1", std::nullopt},
        {"+1", std::nullopt},
        {"0x1A", std::nullopt},
        {"123456789", std::nullopt},
        {"1A\r", std::nullopt},
        {"1.0", std::nullopt},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.expected, ParseHexPayload(row.payload)) << "\"" << row.payload << "\"";
    }
}

} // namespace
} // namespace protocol
