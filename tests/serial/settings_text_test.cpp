#include "serial/settings_text.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "serial/stored_value_text.h"

namespace serial {
namespace {

// The written forms are the file format other installations already hold; each value must
// write its form and read back from it.
template <typename E> struct Form {
    E value;
    const char* text;
};

template <typename E>
void ExpectForms(const std::vector<Form<E>>& forms, std::string (*toStr)(E),
                 E (*strTo)(std::string_view)) {
    for (const auto& form : forms) {
        EXPECT_EQ(toStr(form.value), form.text);
        EXPECT_EQ(strTo(form.text), form.value) << form.text;
    }
}

TEST(WrittenForms, EveryValueWritesAndReadsItsForm) {
    ExpectForms<TBaudRate>({{brCustom, "Custom"},
                            {br110, "110"},
                            {br300, "300"},
                            {br600, "600"},
                            {br1200, "1200"},
                            {br2400, "2400"},
                            {br4800, "4800"},
                            {br9600, "9600"},
                            {br14400, "14400"},
                            {br19200, "19200"},
                            {br38400, "38400"},
                            {br56000, "56000"},
                            {br57600, "57600"},
                            {br115200, "115200"},
                            {br128000, "128000"},
                            {br256000, "256000"}},
                           BaudRateToStr, StrToBaudRate);
    ExpectForms<TStopBits>({{sbOneStopBit, "1"}, {sbOne5StopBits, "1.5"}, {sbTwoStopBits, "2"}},
                           StopBitsToStr, StrToStopBits);
    ExpectForms<TDataBits>({{dbFive, "5"}, {dbSix, "6"}, {dbSeven, "7"}, {dbEight, "8"}},
                           DataBitsToStr, StrToDataBits);
    ExpectForms<TParityBits>(
        {{prNone, "None"}, {prOdd, "Odd"}, {prEven, "Even"}, {prMark, "Mark"}, {prSpace, "Space"}},
        ParityToStr, StrToParity);
    ExpectForms<TFlowControl>({{fcHardware, "Hardware"},
                               {fcSoftware, "Software"},
                               {fcNone, "None"},
                               {fcCustom, "Custom"}},
                              FlowControlToStr, StrToFlowControl);
    ExpectForms<TDTRFlowControl>(
        {{dtrDisable, "Disable"}, {dtrEnable, "Enable"}, {dtrHandshake, "Handshake"}},
        EnumToStr<TDTRFlowControl>, StrToEnum<TDTRFlowControl>);
    ExpectForms<TRTSFlowControl>({{rtsDisable, "Disable"},
                                  {rtsEnable, "Enable"},
                                  {rtsHandshake, "Handshake"},
                                  {rtsToggle, "Toggle"}},
                                 EnumToStr<TRTSFlowControl>, StrToEnum<TRTSFlowControl>);
}

TEST(WrittenForms, ReadingIgnoresAsciiLetterCase) {
    EXPECT_EQ(StrToBaudRate("custom"), brCustom);
    EXPECT_EQ(StrToBaudRate("CUSTOM"), brCustom);
    EXPECT_EQ(StrToParity("EVEN"), prEven);
    EXPECT_EQ(StrToParity("sPaCe"), prSpace);
    EXPECT_EQ(StrToFlowControl("hardware"), fcHardware);
    EXPECT_EQ(StrToFlowControl("NONE"), fcNone);
    EXPECT_EQ(StrToEnum<TRTSFlowControl>("toggle"), rtsToggle);
    EXPECT_EQ(StrToEnum<TDTRFlowControl>("HANDSHAKE"), dtrHandshake);
}

TEST(WrittenForms, UnknownTextsGiveTheFallback) {
    for (const char* text : {"9601", "", " 9600", "9600 ", "96OO", "0x2580", "$2580", "brCustom"}) {
        EXPECT_EQ(StrToBaudRate(text), br9600) << text;
    }
    for (const char* text : {"", "1,5", "3", "one", "0"}) {
        EXPECT_EQ(StrToStopBits(text), sbOneStopBit) << text;
    }
    for (const char* text : {"", "4", "9", "eight"}) {
        EXPECT_EQ(StrToDataBits(text), dbEight) << text;
    }
    for (const char* text : {"", "N", "Evenn", "0"}) {
        EXPECT_EQ(StrToParity(text), prNone) << text;
    }
    for (const char* text : {"", "RTS/CTS", "XonXoff", "Hard ware"}) {
        EXPECT_EQ(StrToFlowControl(text), fcCustom) << text;
    }
    // "Toggle" is an RTS form only.
    EXPECT_EQ(StrToEnum<TDTRFlowControl>("Toggle"), dtrDisable);
    EXPECT_EQ(StrToEnum<TRTSFlowControl>("On"), rtsDisable);
}

TEST(WrittenForms, ValueOutsideItsEnumerationWritesEmptyText) {
    EXPECT_EQ(BaudRateToStr(static_cast<TBaudRate>(16)), "");
    EXPECT_EQ(ParityToStr(static_cast<TParityBits>(-1)), "");
    EXPECT_EQ(FlowControlToStr(static_cast<TFlowControl>(4)), "");
}

TEST(YesNoText, OnlyYesInAnyCaseIsTrue) {
    EXPECT_EQ(detail::YesNoToStr(true), "Yes");
    EXPECT_EQ(detail::YesNoToStr(false), "No");
    for (const char* text : {"yes", "YES", "Yes", "yEs"}) {
        EXPECT_TRUE(detail::StrToYesNo(text)) << text;
    }
    for (const char* text : {"1", "true", "TRUE", "Y", "yes ", " yes", "No", "", "yess"}) {
        EXPECT_FALSE(detail::StrToYesNo(text)) << text;
    }
}

struct CharCase {
    std::string text;
    int code;
};

TEST(CharacterText, ReadsEveryForm) {
    const std::vector<CharCase> cases = {
        {"", 0},        {"#17", 17},   {"#19", 19},    {"#0", 0},          {"#32", 32},
        {"#x", 0},      {"#300", 44},  {"#256", 0},    {"#-1", 255},       {"#$41", 'A'},
        {"#0x7E", '~'}, {"# 65", 'A'}, {"#1 7", 0},    {"A", 'A'},         {"AB", 'A'},
        {"#", '#'},     {"x#17", 'x'}, {"\xC0", 0xC0}, {"#99999999999", 0}};
    for (const CharCase& c : cases) {
        EXPECT_EQ(static_cast<unsigned char>(detail::StrToChar(c.text)), c.code)
            << '"' << c.text << '"';
    }
}

TEST(CharacterText, WritesPrintableAsItselfAndTheRestAsCodes) {
    EXPECT_EQ(detail::CharToStr(17), "#17");
    EXPECT_EQ(detail::CharToStr(19), "#19");
    EXPECT_EQ(detail::CharToStr(0), "#0");
    EXPECT_EQ(detail::CharToStr(' '), "#32");
    EXPECT_EQ(detail::CharToStr('!'), "!");
    EXPECT_EQ(detail::CharToStr('#'), "#");
    EXPECT_EQ(detail::CharToStr(127), "\x7F");
    EXPECT_EQ(detail::CharToStr(static_cast<char>(128)), "#128");
    EXPECT_EQ(detail::CharToStr(static_cast<char>(255)), "#255");
    // Whatever the form, every code reads back as itself.
    for (int code = 0; code < 256; ++code) {
        const char c = static_cast<char>(code);
        EXPECT_EQ(detail::StrToChar(detail::CharToStr(c)), c) << code;
    }
}

} // namespace
} // namespace serial
