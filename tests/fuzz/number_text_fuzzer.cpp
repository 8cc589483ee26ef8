// Number texts for any value and any text: formatting with every pattern the windows use (and
// arbitrary patterns), the gain's scientific form, and the strict parser. Beyond crashes it
// stops on a formatted text that does not read back as the value within the pattern's
// rounding, on a non-finite or huge value formatted into something the parser would take, and
// on a parsed value that is not finite.
//
// Input, read from the front: a separator byte (used when it is a usable separator, "." or ","
// otherwise), a pattern byte (modulo 8: the six patterns of the windows, "0" alone, or a
// length-prefixed pattern that follows), eight bytes of a double, and the rest as a text to
// parse (as a number with that separator and as a hexadecimal payload).

#include "fuzz_input.h"

#include "protocol/number_text.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

using fuzz::Check;

constexpr std::string_view WindowPatterns[] = {"###0.0",  "##0.0",    "####0.0#", "###0.0#",
                                               "000.0##", "000.0## ", "0"};
constexpr double HugeMagnitude = 1e18;

std::string Describe(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

int DecimalsOf(std::string_view pattern) {
    const std::size_t point = pattern.find('.');
    if (point == std::string_view::npos) {
        return 0;
    }
    int count = 0;
    for (std::size_t i = point + 1; i < pattern.size(); ++i) {
        count += pattern[i] == '0' || pattern[i] == '#' ? 1 : 0;
    }
    return count;
}

// One unit in the last place of `value`: the spacing of doubles around it.
double Ulp(double value) {
    const double magnitude = std::fabs(value);
    return std::nextafter(magnitude, std::numeric_limits<double>::infinity()) - magnitude;
}

void CheckNonFinite(double value, const std::string& text, char separator) {
    const std::string expected = std::isnan(value) ? "NAN" : (value < 0 ? "-INF" : "INF");
    Check(text == expected, "non-finite value formatted as", text);
    Check(!protocol::ParseNumber(text, separator), "non-finite text parsed back", text);
}

void CheckGain(double value, char separator) {
    const std::string text = protocol::FormatGain(value, separator);
    if (!std::isfinite(value)) {
        CheckNonFinite(value, text, separator);
        return;
    }
    // -d,ddddd E±dd[d]
    const std::size_t sign = value < 0 ? 1 : 0;
    Check(text.size() >= sign + 11 && text.size() <= sign + 12, "gain text of a wrong length",
          text);
    Check(text[sign + 1] == separator && text[sign + 7] == 'E' &&
              (text[sign + 8] == '+' || text[sign + 8] == '-'),
          "gain text of a wrong shape", text);
    const auto back = protocol::ParseNumber(text, separator);
    Check(back.has_value(), "gain text does not parse", text);
    const double tolerance = 5e-6 * std::fabs(value) + Ulp(value);
    Check(std::fabs(*back - value) <= tolerance, "gain text is not the value",
          text + " for " + Describe(value));
}

void CheckFormat(double value, std::string_view pattern, bool windowPattern, char separator) {
    std::string text;
    try {
        text = protocol::FormatNumber(value, pattern, separator);
    } catch (const std::invalid_argument&) {
        Check(pattern.find_first_of("0#") == std::string_view::npos,
              "pattern with a placeholder refused", std::string(pattern));
        return;
    }
    if (!std::isfinite(value)) {
        CheckNonFinite(value, text, separator);
        return;
    }
    if (std::fabs(value) >= HugeMagnitude) {
        Check(text == protocol::FormatGain(value, separator), "huge value not in the gain form",
              text);
        return;
    }
    // At most 18 integer digits, a sign and a separator beyond what the pattern writes.
    Check(text.size() <= pattern.size() + 20, "formatted text too long", text);
    if (!windowPattern) {
        return;
    }
    const auto back = protocol::ParseNumber(text, separator);
    Check(back.has_value(), "formatted text does not parse", text + " for " + Describe(value));
    const double tolerance = 0.5 * std::pow(10.0, -DecimalsOf(pattern)) + 4 * Ulp(value);
    Check(std::fabs(*back - value) <= tolerance, "formatted text is not the rounded value",
          text + " for " + Describe(value) + " with " + std::string(pattern));
}

void CheckParse(const std::string& text, char separator) {
    const auto value = protocol::ParseNumber(text, separator);
    if (value) {
        Check(std::isfinite(*value), "parsed a non-finite value", text);
        for (const char c : text) {
            const bool allowed = (c >= '0' && c <= '9') || c == separator || c == '+' || c == '-' ||
                                 c == 'e' || c == 'E' || c == ' ' || c == '\t';
            Check(allowed, "parsed a text with a foreign character", text);
        }
        CheckGain(*value, separator);
    }
    const auto hex = protocol::ParseHexPayload(text);
    if (hex) {
        Check(!text.empty() && text.size() <= 8, "hexadecimal payload of a wrong length", text);
        Check(*hex >= 0 && *hex <= 0xFFFFFFFFLL, "hexadecimal payload out of range", text);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    const auto candidate = static_cast<char>(in.Byte());
    const char separator = protocol::IsUsableDecimalSeparator(candidate)
                               ? candidate
                               : ((static_cast<unsigned char>(candidate) & 1) != 0 ? ',' : '.');
    const std::uint8_t patternChoice = in.Byte() % 8;
    std::string pattern;
    bool windowPattern = patternChoice < 7;
    if (windowPattern) {
        pattern = std::string(WindowPatterns[patternChoice]);
    } else {
        pattern = in.String(16);
    }
    const double value = in.Double();
    const std::string text = in.Rest();

    CheckFormat(value, pattern, windowPattern, separator);
    CheckGain(value, separator);
    CheckParse(text, separator);
    return 0;
}
