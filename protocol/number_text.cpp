#include "protocol/number_text.h"

#include "protocol/number_text_os.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <stdexcept>
#include <system_error>

namespace protocol {

std::string DecimalSeparatorText;

namespace {

constexpr double HugeMagnitude = 1e18; // from here on, patterns give way to the gain's form

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsPlaceholder(char c) {
    return c == '0' || c == '#';
}

std::string NonFiniteText(double value) {
    if (std::isnan(value)) {
        return "NAN";
    }
    return value < 0 ? "-INF" : "INF";
}

// The shortest decimal text that reads back as the same double, as digits d1 d2 ... dn (no
// leading or trailing zeros) and the power of ten of d1: magnitude = d1.d2...dn × 10^exponent.
struct DecimalForm {
    std::string digits;
    int exponent = 0;
};

// `magnitude` must be finite and greater than zero.
DecimalForm ShortestDecimal(double magnitude) {
    char buffer[64];
    const std::to_chars_result written =
        std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific);
    // The text is "d.ddde+XX" or "de+XX".
    DecimalForm form;
    const char* p = buffer;
    for (; p != written.ptr && *p != 'e'; ++p) {
        if (*p != '.') {
            form.digits.push_back(*p);
        }
    }
    ++p; // the 'e'
    if (p != written.ptr && *p == '+') {
        ++p;
    }
    std::from_chars(p, written.ptr, form.exponent);
    while (form.digits.size() > 1 && form.digits.back() == '0') {
        form.digits.pop_back();
    }
    return form;
}

// Adds one unit in the last place of a digit string; true when it carried out of the first
// digit (the string then holds only zeros).
bool IncrementDigits(std::string& digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return false;
        }
        *it = '0';
    }
    return true;
}

// What a pattern asks for: where its separator stands and how many digits it writes.
struct PatternLayout {
    std::size_t separatorPos = std::string_view::npos;
    std::size_t integerPlaceholders = 0;
    std::size_t minIntegerDigits = 0;  // placeholders from the first "0" of the integer part on
    std::size_t maxFractionDigits = 0; // placeholders of the fraction part
    std::size_t minFractionDigits = 0; // fraction placeholders up to and including the last "0"
};

PatternLayout AnalysePattern(std::string_view pattern) {
    PatternLayout layout;
    layout.separatorPos = pattern.find('.');
    const std::size_t integerEnd = std::min(layout.separatorPos, pattern.size());
    bool seenZero = false;
    for (std::size_t i = 0; i < integerEnd; ++i) {
        if (!IsPlaceholder(pattern[i])) {
            continue;
        }
        ++layout.integerPlaceholders;
        seenZero = seenZero || pattern[i] == '0';
        if (seenZero) {
            ++layout.minIntegerDigits;
        }
    }
    for (std::size_t i = integerEnd; i < pattern.size(); ++i) {
        if (IsPlaceholder(pattern[i])) {
            ++layout.maxFractionDigits;
            if (pattern[i] == '0') {
                layout.minFractionDigits = layout.maxFractionDigits;
            }
        }
    }
    if (layout.integerPlaceholders == 0 && layout.maxFractionDigits == 0) {
        throw std::invalid_argument("number pattern without a digit placeholder");
    }
    return layout;
}

// Splits |value| into its integer and fraction digits, exactly as its shortest decimal form.
void SplitDigits(double magnitude, std::string& integerDigits, std::string& fractionDigits) {
    integerDigits.clear();
    fractionDigits.clear();
    if (magnitude == 0) {
        return;
    }
    const DecimalForm form = ShortestDecimal(magnitude);
    if (form.exponent >= 0) {
        const auto integerLength = static_cast<std::size_t>(form.exponent) + 1;
        integerDigits = form.digits.substr(0, integerLength);
        integerDigits.append(integerLength - integerDigits.size(), '0');
        if (form.digits.size() > integerLength) {
            fractionDigits = form.digits.substr(integerLength);
        }
    } else {
        fractionDigits.assign(static_cast<std::size_t>(-form.exponent - 1), '0');
        fractionDigits += form.digits;
    }
}

// Rounds half away from zero to `decimals` fraction digits.
void RoundDigits(std::string& integerDigits, std::string& fractionDigits, std::size_t decimals) {
    if (fractionDigits.size() <= decimals) {
        return;
    }
    const bool roundUp = fractionDigits[decimals] >= '5';
    fractionDigits.resize(decimals);
    if (!roundUp) {
        return;
    }
    std::string all = integerDigits + fractionDigits;
    if (IncrementDigits(all)) {
        all.insert(all.begin(), '1');
    }
    integerDigits = all.substr(0, all.size() - decimals);
    fractionDigits = all.substr(all.size() - decimals);
}

bool AllZero(const std::string& digits) {
    return std::all_of(digits.begin(), digits.end(), [](char c) { return c == '0'; });
}

std::string Render(std::string_view pattern, const PatternLayout& layout,
                   const std::string& integerDigits, const std::string& fractionDigits,
                   bool negative, char decimalSeparator) {
    std::string out;
    bool signPending = negative;
    auto emitSign = [&] {
        if (signPending) {
            out.push_back('-');
            signPending = false;
        }
    };
    // Integer digits are right-aligned on the placeholders; the first placeholder also takes
    // every digit the pattern has no room for.
    const auto length = static_cast<std::ptrdiff_t>(integerDigits.size());
    const auto places = static_cast<std::ptrdiff_t>(layout.integerPlaceholders);
    const std::size_t integerEnd = std::min(layout.separatorPos, pattern.size());
    std::ptrdiff_t k = 0;
    for (std::size_t i = 0; i < integerEnd; ++i) {
        if (!IsPlaceholder(pattern[i])) {
            out.push_back(pattern[i]);
            continue;
        }
        const std::ptrdiff_t last = length - places + k; // the digit this placeholder shows
        const std::ptrdiff_t first = k == 0 ? 0 : last;
        if (last >= 0) {
            emitSign();
            out.append(integerDigits, static_cast<std::size_t>(first),
                       static_cast<std::size_t>(last - first + 1));
        }
        ++k;
    }
    if (places == 0 && length > 0) {
        emitSign();
        out += integerDigits;
    }
    if (layout.separatorPos == std::string_view::npos) {
        return out;
    }
    if (!fractionDigits.empty()) {
        emitSign();
        out.push_back(decimalSeparator);
    }
    std::size_t j = 0;
    for (std::size_t i = layout.separatorPos + 1; i < pattern.size(); ++i) {
        if (IsPlaceholder(pattern[i])) {
            if (j < fractionDigits.size()) {
                out.push_back(fractionDigits[j]);
            }
            ++j;
        } else if (pattern[i] != '.') {
            out.push_back(pattern[i]);
        }
    }
    return out;
}

std::atomic<char> OverriddenSeparator{'\0'};

char ReadSystemSeparator() {
    const std::string text = detail::ReadUserDecimalSeparator();
    if (text.size() == 1 && IsUsableDecimalSeparator(text[0])) {
        return text[0];
    }
    return '.';
}

} // namespace

std::string FormatNumber(double value, std::string_view pattern, char decimalSeparator) {
    const PatternLayout layout = AnalysePattern(pattern);
    if (!std::isfinite(value)) {
        return NonFiniteText(value);
    }
    if (std::fabs(value) >= HugeMagnitude) {
        return FormatGain(value, decimalSeparator);
    }
    std::string integerDigits;
    std::string fractionDigits;
    SplitDigits(std::fabs(value), integerDigits, fractionDigits);
    RoundDigits(integerDigits, fractionDigits, layout.maxFractionDigits);

    const std::size_t significant = integerDigits.find_first_not_of('0');
    integerDigits.erase(0, std::min(significant, integerDigits.size()));
    if (integerDigits.size() < layout.minIntegerDigits) {
        integerDigits.insert(0, layout.minIntegerDigits - integerDigits.size(), '0');
    }
    while (fractionDigits.size() > layout.minFractionDigits && fractionDigits.back() == '0') {
        fractionDigits.pop_back();
    }
    if (fractionDigits.size() < layout.minFractionDigits) {
        fractionDigits.append(layout.minFractionDigits - fractionDigits.size(), '0');
    }
    const bool negative = value < 0 && !(AllZero(integerDigits) && AllZero(fractionDigits));
    return Render(pattern, layout, integerDigits, fractionDigits, negative, decimalSeparator);
}

std::string FormatGain(double value, char decimalSeparator) {
    if (!std::isfinite(value)) {
        return NonFiniteText(value);
    }
    constexpr std::size_t SignificantDigits = 6;
    std::string digits(SignificantDigits, '0');
    int exponent = 0;
    if (value != 0) {
        const DecimalForm form = ShortestDecimal(std::fabs(value));
        digits = form.digits;
        exponent = form.exponent;
        if (digits.size() > SignificantDigits) {
            const bool roundUp = digits[SignificantDigits] >= '5';
            digits.resize(SignificantDigits);
            if (roundUp && IncrementDigits(digits)) {
                digits.front() = '1'; // 9.999995 became 10.0000: one more power of ten
                ++exponent;
            }
        }
        digits.resize(SignificantDigits, '0');
    }
    std::string out;
    if (value < 0) {
        out.push_back('-');
    }
    out.push_back(digits.front());
    out.push_back(decimalSeparator);
    out.append(digits, 1, std::string::npos);
    out.push_back('E');
    out.push_back(exponent < 0 ? '-' : '+');
    const int magnitude = exponent < 0 ? -exponent : exponent;
    if (magnitude < 10) {
        out.push_back('0');
    }
    out += std::to_string(magnitude);
    return out;
}

std::optional<double> ParseNumber(std::string_view text, char decimalSeparator) {
    if (!IsUsableDecimalSeparator(decimalSeparator)) {
        throw std::invalid_argument("unusable decimal separator");
    }
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }

    // Validate by hand and rebuild the number in from_chars' own notation, which never depends
    // on the process locale.
    std::size_t i = 0;
    std::string canonical;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') {
            canonical.push_back('-');
        }
        ++i;
    }
    std::string integerPart;
    std::string fractionPart;
    bool seenSeparator = false;
    for (; i < text.size(); ++i) {
        if (IsDigit(text[i])) {
            (seenSeparator ? fractionPart : integerPart).push_back(text[i]);
        } else if (text[i] == decimalSeparator && !seenSeparator) {
            seenSeparator = true;
        } else {
            break;
        }
    }
    if (integerPart.empty() && fractionPart.empty()) {
        return std::nullopt;
    }
    canonical += integerPart.empty() ? "0" : integerPart;
    if (!fractionPart.empty()) {
        canonical += '.';
        canonical += fractionPart;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        canonical.push_back('e');
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            if (text[i] == '-') {
                canonical.push_back('-');
            }
            ++i;
        }
        const std::size_t exponentStart = i;
        while (i < text.size() && IsDigit(text[i])) {
            canonical.push_back(text[i]);
            ++i;
        }
        if (i == exponentStart) {
            return std::nullopt;
        }
    }
    if (i != text.size()) {
        return std::nullopt;
    }

    double value = 0;
    const char* end = canonical.data() + canonical.size();
    const std::from_chars_result parsed = std::from_chars(canonical.data(), end, value);
    if (parsed.ec != std::errc() || parsed.ptr != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    // A nonzero mantissa that came out as zero fell below the smallest double.
    const bool zeroMantissa = AllZero(integerPart) && AllZero(fractionPart);
    if (value == 0 && !zeroMantissa) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::int64_t> ParseHexPayload(std::string_view payload) {
    if (payload.empty() || payload.size() > 8) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const char c : payload) {
        int digit = 0;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else {
            return std::nullopt;
        }
        value = value * 16 + digit;
    }
    return value;
}

std::string WireNumber(double value, std::string_view pattern) {
    return FormatNumber(value, pattern, '.');
}

std::string WireGain(double value) {
    return FormatGain(value, '.');
}

bool IsUsableDecimalSeparator(char separator) {
    const auto c = static_cast<unsigned char>(separator);
    return c > 0x20 && c < 0x7F && !IsDigit(separator) && separator != '+' && separator != '-' &&
           separator != 'e' && separator != 'E';
}

char SystemDecimalSeparator() {
    const char overridden = OverriddenSeparator.load();
    if (overridden != '\0') {
        return overridden;
    }
    static const char fromSystem = ReadSystemSeparator();
    return fromSystem;
}

void OverrideSystemDecimalSeparator(char separator) {
    if (!IsUsableDecimalSeparator(separator)) {
        throw std::invalid_argument("unusable decimal separator");
    }
    OverriddenSeparator.store(separator);
}

} // namespace protocol
