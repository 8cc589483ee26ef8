#pragma once

#include <string>
#include <string_view>

#include "serial/com_types.h"

// The written forms of the line-setting enumerations in stored port settings. Reading compares
// a text with every written form without regard to ASCII letter case and takes the first that
// is equal; a text equal to none gives the type's fallback (br9600, sbOneStopBit, dbEight,
// prNone, fcCustom, dtrDisable, rtsDisable). A value outside its enumeration is written as an
// empty text.
namespace serial {

template <typename E> std::string EnumToStr(E value);
template <typename E> E StrToEnum(std::string_view text);

// The component's names for them.
inline constexpr auto& BaudRateToStr = EnumToStr<TBaudRate>;
inline constexpr auto& StrToBaudRate = StrToEnum<TBaudRate>;
inline constexpr auto& StopBitsToStr = EnumToStr<TStopBits>;
inline constexpr auto& StrToStopBits = StrToEnum<TStopBits>;
inline constexpr auto& DataBitsToStr = EnumToStr<TDataBits>;
inline constexpr auto& StrToDataBits = StrToEnum<TDataBits>;
inline constexpr auto& ParityToStr = EnumToStr<TParityBits>;
inline constexpr auto& StrToParity = StrToEnum<TParityBits>;
inline constexpr auto& FlowControlToStr = EnumToStr<TFlowControl>;
inline constexpr auto& StrToFlowControl = StrToEnum<TFlowControl>;

} // namespace serial
