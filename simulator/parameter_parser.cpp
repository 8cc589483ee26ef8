#include "simulator/parameter_parser.h"

#include "protocol/number_text.h"
#include "simulator/device_state.h"

#include <cmath>
#include <cstddef>
#include <limits>

namespace sim {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsUpperHexDigit(char c) {
    return IsDigit(c) || (c >= 'A' && c <= 'F');
}

// Counts the decimal digits at `pos` and moves `pos` behind them.
std::size_t SkipDigits(std::string_view text, std::size_t& pos) {
    std::size_t start = pos;
    while (pos < text.size() && IsDigit(text[pos])) {
        ++pos;
    }
    return pos - start;
}

// Digits, optionally preceded by "-" and followed by "." and digits: the only number form the
// transducer reads. The value itself comes from the project's number conversion.
bool IsPlainDecimal(std::string_view text) {
    std::size_t pos = 0;
    if (pos < text.size() && text[pos] == '-') {
        ++pos;
    }
    if (SkipDigits(text, pos) == 0) {
        return false;
    }
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        if (SkipDigits(text, pos) == 0) {
            return false;
        }
    }
    return pos == text.size();
}

// Commands have at most 29 characters, so no parameter is longer than 27.
constexpr std::size_t kMaxParameterLength = 27;

} // namespace

std::optional<int> ParseRangeParameter(std::string_view text) {
    if (text.size() != 2 || !IsUpperHexDigit(text[0]) || !IsUpperHexDigit(text[1])) {
        return std::nullopt;
    }
    auto value = protocol::ParseHexPayload(text);
    if (!value || *value < 0 || *value >= kRangeCount) {
        return std::nullopt;
    }
    return static_cast<int>(*value);
}

std::optional<double> ParseDecimalParameter(std::string_view text) {
    if (text.size() > kMaxParameterLength || !IsPlainDecimal(text)) {
        return std::nullopt;
    }
    return protocol::ParseNumber(text, '.');
}

std::optional<double> ParseBreakLevelParameter(std::string_view text) {
    if (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    auto value = ParseDecimalParameter(text);
    if (!value || *value < 0.0 || *value > 1.2) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> ParseOutputTypeParameter(std::string_view text) {
    if (text.size() != 1 || text[0] < '0' || text[0] > '2') {
        return std::nullopt;
    }
    return text[0] - '0';
}

std::optional<double> ParseGainParameter(std::string_view text) {
    std::size_t pos = 0;
    if (pos < text.size() && text[pos] == '-') {
        ++pos;
    }
    if (SkipDigits(text, pos) != 1 || pos >= text.size() || text[pos] != '.') {
        return std::nullopt;
    }
    ++pos;
    if (SkipDigits(text, pos) != 5 || pos >= text.size() || text[pos] != 'E') {
        return std::nullopt;
    }
    ++pos;
    if (pos >= text.size() || (text[pos] != '+' && text[pos] != '-')) {
        return std::nullopt;
    }
    ++pos;
    std::size_t exponentDigits = SkipDigits(text, pos);
    if (exponentDigits < 2 || exponentDigits > 3 || pos != text.size()) {
        return std::nullopt;
    }
    auto value = protocol::ParseNumber(text, '.');
    if (!value || !std::isfinite(*value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> ParseOffsetParameter(std::string_view text) {
    std::size_t pos = 0;
    if (pos < text.size() && text[pos] == '-') {
        ++pos;
    }
    std::size_t digits = SkipDigits(text, pos);
    if (digits == 0 || digits > 10 || pos != text.size()) {
        return std::nullopt;
    }
    auto value = protocol::ParseNumber(text, '.');
    if (!value || *value < std::numeric_limits<int>::min() ||
        *value > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    return static_cast<int>(*value);
}

std::optional<int> ParseTestCodeParameter(std::string_view text) {
    if (text == "0D0") {
        return kLowTestCode;
    }
    if (text == "CD0") {
        return kHighTestCode;
    }
    return std::nullopt;
}

} // namespace sim
