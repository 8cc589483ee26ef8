#include "catalogue/windows1251.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <set>
#include <string>

namespace catalogue {
namespace {

TEST(Windows1251, EveryAssignedByteRoundTripsThroughUtf8) {
    std::string all;
    std::set<char32_t> seen;
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<std::uint8_t>(b);
        const std::optional<char32_t> cp = Windows1251ToCodePoint(byte);
        if (b == 0x98) {
            EXPECT_EQ(std::nullopt, cp);
            continue;
        }
        ASSERT_TRUE(cp.has_value()) << b;
        EXPECT_TRUE(seen.insert(*cp).second) << "two bytes for one character at " << b;
        EXPECT_EQ(byte, CodePointToWindows1251(*cp)) << b;
        all.push_back(static_cast<char>(byte));
    }
    ASSERT_EQ(255u, all.size());
    const std::optional<std::string> utf8 = Windows1251ToUtf8(all);
    ASSERT_TRUE(utf8.has_value());
    EXPECT_EQ(all, Utf8ToWindows1251(*utf8));
}

TEST(Windows1251, KnownCharacters) {
    struct Row {
        const char* utf8;
        std::uint8_t byte;
    };
    const Row rows[] = {
        {"А", 0xC0}, {"я", 0xFF}, {"Ё", 0xA8}, {"ё", 0xB8}, {"№", 0xB9},        {"€", 0x88},
        {"Ђ", 0x80}, {"џ", 0x9F}, {"Ґ", 0xA5}, {"ґ", 0xB4}, {"–", 0x96},        {"—", 0x97},
        {"™", 0x99}, {"«", 0xAB}, {"»", 0xBB}, {"°", 0xB0}, {"\xC2\xA0", 0xA0}, {"ї", 0xBF},
        {"Ї", 0xAF}, {"і", 0xB3}, {"І", 0xB2}, {"…", 0x85}, {"T", 0x54},        {"Т", 0xD2},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(std::string(1, static_cast<char>(row.byte)), Utf8ToWindows1251(row.utf8))
            << row.utf8;
        EXPECT_EQ(std::string(row.utf8),
                  Windows1251ToUtf8(std::string(1, static_cast<char>(row.byte))))
            << row.utf8;
    }
    EXPECT_EQ(std::string("\0", 1), Utf8ToWindows1251(std::string("\0", 1)));
    EXPECT_EQ(std::string(), Utf8ToWindows1251(""));
    EXPECT_EQ(std::string(), Windows1251ToUtf8(""));
}

// Characters the code page lacks fail the whole text rather than turning into a wrong byte.
TEST(Windows1251, MissingCharactersAndMalformedUtf8FailTheWholeText) {
    const char* rejected[] = {
        "Ω",                    // Greek capital omega: not in the code page
        "abc\xF0\x9F\x98\x80",  // an emoji after valid text
        "\xC2\x98",             // U+0098, the character behind the unassigned byte elsewhere
        "\xC0\x80",             // overlong NUL
        "\xE0\x80\xAF",         // overlong '/'
        "\xED\xA0\x80",         // a UTF-16 surrogate
        "\xF4\x90\x80\x80",     // beyond U+10FFFF
        "\xF8\x88\x80\x80\x80", // five-byte form
        "\xD0",                 // cut sequence at the end
        "\xD0\x41",             // lead byte followed by ASCII
        "\x80",                 // stray continuation byte
        "\xE2\x82",             // cut three-byte sequence (the euro sign without its last byte)
    };
    for (const char* text : rejected) {
        EXPECT_EQ(std::nullopt, Utf8ToWindows1251(text)) << testing::PrintToString(text);
    }
    EXPECT_EQ(std::nullopt, CodePointToWindows1251(0x0098));
    EXPECT_EQ(std::nullopt, CodePointToWindows1251(0xFFFF));
    EXPECT_EQ(std::nullopt, Windows1251ToUtf8("ok\x98"));
}

} // namespace
} // namespace catalogue
