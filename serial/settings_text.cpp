#include "serial/settings_text.h"

#include <algorithm>
#include <array>

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

template <typename E, std::size_t N>
std::string ToText(const std::array<std::string_view, N>& forms, E value) {
    const auto index = static_cast<std::size_t>(value);
    return index < N ? std::string(forms[index]) : std::string();
}

template <typename E, std::size_t N>
E FromText(const std::array<std::string_view, N>& forms, std::string_view text, E fallback) {
    for (std::size_t i = 0; i < N; ++i) {
        if (EqualIgnoringCase(forms[i], text)) {
            return static_cast<E>(i);
        }
    }
    return fallback;
}

} // namespace

std::string BaudRateToStr(TBaudRate value) {
    return ToText(kBaudRates, value);
}
TBaudRate StrToBaudRate(std::string_view text) {
    return FromText(kBaudRates, text, br9600);
}

std::string StopBitsToStr(TStopBits value) {
    return ToText(kStopBits, value);
}
TStopBits StrToStopBits(std::string_view text) {
    return FromText(kStopBits, text, sbOneStopBit);
}

std::string DataBitsToStr(TDataBits value) {
    return ToText(kDataBits, value);
}
TDataBits StrToDataBits(std::string_view text) {
    return FromText(kDataBits, text, dbEight);
}

std::string ParityToStr(TParityBits value) {
    return ToText(kParities, value);
}
TParityBits StrToParity(std::string_view text) {
    return FromText(kParities, text, prNone);
}

std::string FlowControlToStr(TFlowControl value) {
    return ToText(kFlowControls, value);
}
TFlowControl StrToFlowControl(std::string_view text) {
    return FromText(kFlowControls, text, fcCustom);
}

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

std::string DTRToStr(TDTRFlowControl value) {
    return ToText(kDTRControls, value);
}
TDTRFlowControl StrToDTR(std::string_view text) {
    return FromText(kDTRControls, text, dtrDisable);
}
std::string RTSToStr(TRTSFlowControl value) {
    return ToText(kRTSControls, value);
}
TRTSFlowControl StrToRTS(std::string_view text) {
    return FromText(kRTSControls, text, rtsDisable);
}

} // namespace detail

} // namespace serial
