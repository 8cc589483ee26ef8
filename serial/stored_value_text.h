#pragma once

#include <string>
#include <string_view>

#include "serial/com_types.h"

// Written forms used only by the port settings store: yes/no, single characters and the two
// line-control enumerations. Not part of the component's public functions.
namespace serial::detail {

// "Yes" or "No"; reads true only for "YES" in any letter case.
std::string YesNoToStr(bool value);
bool StrToYesNo(std::string_view text);

// Codes 33 to 127 as the character itself, every other code as "#" and the code in decimal.
// Reading: an empty text is code 0; a text that does not start with "#", or is "#" alone, gives
// its first character; otherwise the low 8 bits of the integer after "#", or 0 when it is none.
std::string CharToStr(char value);
char StrToChar(std::string_view text);

// "Disable", "Enable", "Handshake" (and "Toggle" for RTS); fallback: disabled.
std::string DTRToStr(TDTRFlowControl value);
TDTRFlowControl StrToDTR(std::string_view text);
std::string RTSToStr(TRTSFlowControl value);
TRTSFlowControl StrToRTS(std::string_view text);

} // namespace serial::detail
