#include "serial/settings_text.h"

#include <algorithm>
#include <array>
#include <span>

#include "serial/integer_text.h"
#include "serial/stored_value_text.h"

namespace serial {

namespace {

constexpr std::array<std::string_view, 16> kBaudRates = {
    "Custom", "110",   "300",   "600",   "1200",  "2400",   "4800",   "9600",
    "14400",  "19200", "38400", "56000", "57600", "115200", "128000", "256000"};
constexpr std::array<std::string_view, 3> kStopBits = {"1", "1.5", "2"};
constexpr std::array<std::string_view, 4> kDataBits = {"5", "6", "7", "8"};
constexpr std::array<std::string_view, 5> kParities = {"None", "Odd", "Even", "Mark", "Space"};
constexpr std::array<std::string_view, 4> kFlowControls = {"Hardware", "Software", "None",
                                                           "Custom"};
constexpr std::array<std::string_view, 3> kDTRControls = {"Disable", "Enable", "Handshake"};
constexpr std::array<std::string_view, 4> kRTSControls = {"Disable", "Enable", "Handshake",
                                                          "Toggle"};

char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return UpperAscii(x) == UpperAscii(y);
           });
}

// The written forms of one enumeration, in enumeration order, and what reading falls back to.
template <typename E> struct WrittenForms {
    std::span<const std::string_view> texts;
    E fallback;
};

template <typename E> constexpr WrittenForms<E> kForms = {};
template <> constexpr WrittenForms<TBaudRate> kForms<TBaudRate> = {kBaudRates, br9600};
template <> constexpr WrittenForms<TStopBits> kForms<TStopBits> = {kStopBits, sbOneStopBit};
template <> constexpr WrittenForms<TDataBits> kForms<TDataBits> = {kDataBits, dbEight};
template <> constexpr WrittenForms<TParityBits> kForms<TParityBits> = {kParities, prNone};
template <> constexpr WrittenForms<TFlowControl> kForms<TFlowControl> = {kFlowControls, fcCustom};
template <>
constexpr WrittenForms<TDTRFlowControl> kForms<TDTRFlowControl> = {kDTRControls, dtrDisable};
template <>
constexpr WrittenForms<TRTSFlowControl> kForms<TRTSFlowControl> = {kRTSControls, rtsDisable};

} // namespace

template <typename E> std::string EnumToStr(E value) {
    const auto index = static_cast<std::size_t>(value);
    return index < kForms<E>.texts.size() ? std::string(kForms<E>.texts[index]) : std::string();
}

template <typename E> E StrToEnum(std::string_view text) {
    const std::span<const std::string_view> texts = kForms<E>.texts;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (EqualIgnoringCase(texts[i], text)) {
            return static_cast<E>(i);
        }
    }
    return kForms<E>.fallback;
}

template std::string EnumToStr(TBaudRate);
template std::string EnumToStr(TStopBits);
template std::string EnumToStr(TDataBits);
template std::string EnumToStr(TParityBits);
template std::string EnumToStr(TFlowControl);
template std::string EnumToStr(TDTRFlowControl);
template std::string EnumToStr(TRTSFlowControl);
template TBaudRate StrToEnum(std::string_view);
template TStopBits StrToEnum(std::string_view);
template TDataBits StrToEnum(std::string_view);
template TParityBits StrToEnum(std::string_view);
template TFlowControl StrToEnum(std::string_view);
template TDTRFlowControl StrToEnum(std::string_view);
template TRTSFlowControl StrToEnum(std::string_view);

namespace detail {

std::string YesNoToStr(bool value) {
    return value ? "Yes" : "No";
}
bool StrToYesNo(std::string_view text) {
    return EqualIgnoringCase(text, "YES");
}

std::string CharToStr(char value) {
    const auto code = static_cast<unsigned char>(value);
    if (code >= 33 && code <= 127) {
        return std::string(1, value);
    }
    return "#" + std::to_string(code);
}

char StrToChar(std::string_view text) {
    if (text.empty()) {
        return 0;
    }
    if (text.front() != '#' || text.size() == 1) {
        return text.front();
    }
    const auto code = ParseInteger(text.substr(1));
    return code ? static_cast<char>(static_cast<unsigned>(*code) & 0xFFu) : char{0};
}

} // namespace detail

} // namespace serial
