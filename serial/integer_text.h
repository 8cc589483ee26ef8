#pragma once

#include <optional>
#include <string_view>

namespace serial {

// Converts the text of a 32-bit signed integer as settings files and user input hold it:
// leading blanks and one sign are allowed, "$" or "0x"/"0X" after the sign marks hexadecimal
// digits, and nothing may follow the digits. A value outside the 32-bit range, a text without
// digits or with any other character gives no value.
std::optional<int> ParseInteger(std::string_view text);

} // namespace serial
