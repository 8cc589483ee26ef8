#pragma once

#include <string>
#include <string_view>

#include "serial/com_types.h"

// The written forms of the line-setting enumerations in stored port settings. Reading compares
// a text with every written form without regard to ASCII letter case and takes the first that
// is equal; a text equal to none gives the type's fallback (br9600, sbOneStopBit, dbEight,
// prNone, fcCustom). A value outside its enumeration is written as an empty text.
namespace serial {

std::string BaudRateToStr(TBaudRate value);
TBaudRate StrToBaudRate(std::string_view text);

std::string StopBitsToStr(TStopBits value);
TStopBits StrToStopBits(std::string_view text);

std::string DataBitsToStr(TDataBits value);
TDataBits StrToDataBits(std::string_view text);

std::string ParityToStr(TParityBits value);
TParityBits StrToParity(std::string_view text);

std::string FlowControlToStr(TFlowControl value);
TFlowControl StrToFlowControl(std::string_view text);

} // namespace serial
