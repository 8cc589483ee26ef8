#pragma once
// Conversion between UTF-8 text and the Windows-1251 code page, the Cyrillic code page that the
// transducer's documentation and the original tool use for every text.
//
// Byte 0x98 is the one position the code page leaves unassigned. A character the code page
// lacks (or an unassigned byte, or malformed UTF-8) makes the whole conversion fail with nullopt:
// substituting "?" or dropping the character would hand on a byte that looks like data but is
// wrong, so the caller has to decide what to do instead.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace catalogue {

// The character that byte `byte` stands for; nullopt for the unassigned byte 0x98.
std::optional<char32_t> Windows1251ToCodePoint(std::uint8_t byte);
// The byte that stands for `codePoint`; nullopt when the code page has no such character.
std::optional<std::uint8_t> CodePointToWindows1251(char32_t codePoint);

// UTF-8 text to Windows-1251 bytes; nullopt for malformed UTF-8 (overlong forms, surrogates,
// cut sequences, stray continuation bytes) or a character the code page lacks.
std::optional<std::string> Utf8ToWindows1251(std::string_view utf8);
// Windows-1251 bytes to UTF-8 text; nullopt when the bytes hold the unassigned 0x98.
std::optional<std::string> Windows1251ToUtf8(std::string_view bytes);
// Windows-1251 bytes as UTF-8 text to show, never failing: the unassigned 0x98 shows as the
// replacement character U+FFFD. For texts the user reads, not for data handed on.
std::string Windows1251ToUtf8ForDisplay(std::string_view bytes);

} // namespace catalogue
