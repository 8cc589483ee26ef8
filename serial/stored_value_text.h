#pragma once

#include <string>
#include <string_view>

// Written forms used only by the port settings store: yes/no and single characters. Not part
// of the component's public functions. (The two line-control enumerations, DTR and RTS, are
// written as the others are: EnumToStr and StrToEnum in settings_text.h.)
namespace serial::detail {

// "Yes" or "No"; reads true only for "YES" in any letter case.
std::string YesNoToStr(bool value);
bool StrToYesNo(std::string_view text);

// Codes 33 to 127 as the character itself, every other code as "#" and the code in decimal.
// Reading: an empty text is code 0; a text that does not start with "#", or is "#" alone, gives
// its first character; otherwise the low 8 bits of the integer after "#", or 0 when it is none.
std::string CharToStr(char value);
char StrToChar(std::string_view text);

} // namespace serial::detail
