#include "catalogue/windows1251.h"

#include <array>
#include <cstddef>

namespace catalogue {

namespace {

// Bytes 0x80 to 0xBF: the letters of the other Cyrillic alphabets, typographic punctuation and a
// few signs. 0 marks the unassigned 0x98. 0x00 to 0x7F are ASCII and 0xC0 to 0xFF are the
// Russian alphabet А to я in order (U+0410 to U+044F).
constexpr std::array<char32_t, 64> UpperHalf{
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // B8
};

constexpr char32_t FirstRussianLetter = 0x0410; // А, byte 0xC0
constexpr char32_t LastRussianLetter = 0x044F;  // я, byte 0xFF

// Decodes one UTF-8 sequence at `pos`, advancing it; nullopt for anything malformed.
std::optional<char32_t> DecodeUtf8(std::string_view text, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    std::size_t length = 0;
    char32_t value = 0;
    char32_t smallest = 0; // the smallest value this length may encode (no overlong forms)
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        value = lead & 0x1Fu;
        smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        value = lead & 0x0Fu;
        smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        value = lead & 0x07u;
        smallest = 0x10000;
    } else {
        return std::nullopt; // a continuation byte or 0xF8 and above cannot start a sequence
    }
    if (text.size() - pos < length) {
        return std::nullopt;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) {
            return std::nullopt;
        }
        value = (value << 6) | (next & 0x3Fu);
    }
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return std::nullopt;
    }
    pos += length;
    return value;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        // Every character of the code page lies below U+10000.
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

} // namespace

std::optional<char32_t> Windows1251ToCodePoint(std::uint8_t byte) {
    if (byte < 0x80) {
        return byte;
    }
    if (byte >= 0xC0) {
        return FirstRussianLetter + (byte - 0xC0u);
    }
    const char32_t cp = UpperHalf[byte - 0x80u];
    if (cp == 0) {
        return std::nullopt;
    }
    return cp;
}

std::optional<std::uint8_t> CodePointToWindows1251(char32_t codePoint) {
    if (codePoint < 0x80) {
        return static_cast<std::uint8_t>(codePoint);
    }
    if (codePoint >= FirstRussianLetter && codePoint <= LastRussianLetter) {
        return static_cast<std::uint8_t>(0xC0 + (codePoint - FirstRussianLetter));
    }
    for (std::size_t i = 0; i < UpperHalf.size(); ++i) {
        if (UpperHalf[i] != 0 && UpperHalf[i] == codePoint) {
            return static_cast<std::uint8_t>(0x80 + i);
        }
    }
    return std::nullopt;
}

std::optional<std::string> Utf8ToWindows1251(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const std::optional<char32_t> cp = DecodeUtf8(utf8, pos);
        if (!cp) {
            return std::nullopt;
        }
        const std::optional<std::uint8_t> byte = CodePointToWindows1251(*cp);
        if (!byte) {
            return std::nullopt;
        }
        out.push_back(static_cast<char>(*byte));
    }
    return out;
}

std::optional<std::string> Windows1251ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const std::optional<char32_t> cp = Windows1251ToCodePoint(static_cast<std::uint8_t>(c));
        if (!cp) {
            return std::nullopt;
        }
        AppendUtf8(out, *cp);
    }
    return out;
}

std::string Windows1251ToUtf8ForDisplay(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        AppendUtf8(out, Windows1251ToCodePoint(static_cast<std::uint8_t>(c)).value_or(U'\uFFFD'));
    }
    return out;
}

} // namespace catalogue
