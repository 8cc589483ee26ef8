#pragma once
// Numbers as texts, in one place: the patterns the windows show numbers with, the gain's
// scientific notation, the strict conversion of typed and received texts, and the system's
// decimal separator. Nothing here depends on the C library's locale, so a toolkit that switches
// the process locale cannot change what is sent to the transducer.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace protocol {

// Formats `value` with a number pattern: "0" is a digit that is always written, "#" a digit
// written only when significant, the first "." the decimal separator (written as
// `decimalSeparator`, and only when a fraction digit follows it; any later "." is ignored), and
// every other character is copied where it stands.
//
// The value is rounded to the pattern's last decimal place, half away from zero, on its shortest
// exact decimal form (the shortest text that reads back as the same double), which is how a
// person reads the number: 2.675 with two decimals gives 2.68, although the nearest double lies
// just below 2.675. Integer digits beyond the pattern's are all written (1100 with "##0" is
// 1100), negative values get a leading "-", and a value that rounds to zero gets no sign.
//
// Values that the patterns cannot show give bounded texts instead: "NAN", "INF" and "-INF" (which
// ParseNumber rejects, so they can never travel back to the transducer), and magnitudes of 1e18
// and above the scientific form of FormatGain. A pattern without any "0" or "#" throws
// std::invalid_argument.
std::string FormatNumber(double value, std::string_view pattern, char decimalSeparator);

// Scientific notation with six significant digits: an optional "-", one digit, the separator,
// five digits, "E", the exponent's sign and at least two exponent digits (3072 gives
// 3.07200E+03). Rounded half away from zero on the shortest exact decimal form, carrying into
// the exponent (9999.995 gives 1.00000E+04). Zero gives 0.00000E+00; "NAN", "INF" and "-INF" as
// for FormatNumber.
std::string FormatGain(double value, char decimalSeparator);

// Numbers as they go to the transducer, which reads a point whatever the system's separator is:
// FormatNumber and FormatGain with ".". Every number sent is formatted here, so no separator of
// the user's (a comma, or any other character a system lets the user choose) reaches the wire.
std::string WireNumber(double value, std::string_view pattern);
std::string WireGain(double value);

// Strict conversion of a typed or received number: blanks (space, tab) around it, an optional
// sign, digits with at most one `decimalSeparator` and at least one digit, and an optional
// exponent ("E" or "e", optional sign, digits). Anything else, a value outside the range of
// double, infinities and not-a-number give nullopt. Throws std::invalid_argument when
// `decimalSeparator` is not a usable separator (see IsUsableDecimalSeparator).
std::optional<double> ParseNumber(std::string_view text, char decimalSeparator);

// The integer that "0x" followed by `payload` stands for: one to eight hexadecimal digits of
// either case and nothing else (no blanks, no sign). Anything else gives nullopt, never 0.
std::optional<std::int64_t> ParseHexPayload(std::string_view payload);

// A character that can serve as decimal separator: printable ASCII other than a digit, a sign,
// "E"/"e" or a blank.
bool IsUsableDecimalSeparator(char separator);

// The decimal separator of the user's locale, read from the operating system on the first call.
// A separator that is not a single usable character (a multi-byte one, say) falls back to ".".
char SystemDecimalSeparator();
// Makes SystemDecimalSeparator return `separator` from now on (tests, or an application that
// takes the separator from its toolkit). Throws std::invalid_argument for an unusable one.
void OverrideSystemDecimalSeparator(char separator);

// The program-wide one-character text holding the decimal separator. Empty until the main window
// is shown; the exchange engine replaces "." in replies by it before converting numbers.
extern std::string DecimalSeparatorText;

} // namespace protocol
