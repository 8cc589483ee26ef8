#pragma once
// Texts inside the program are UTF-8; the wide-character interface of Windows takes and gives
// UTF-16. These two convert at that edge, so that a path or a name with letters outside the
// ANSI code page (a folder "Пётр" on an English system) reaches the system as it is.

#include <string>
#include <string_view>

namespace serial::detail {

// Bytes that are not UTF-8 become U+FFFD, so such a path names no file rather than another one.
std::wstring WidenUtf8(std::string_view text);
// Unpaired surrogates become U+FFFD.
std::string NarrowToUtf8(std::wstring_view text);

} // namespace serial::detail
