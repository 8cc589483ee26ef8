#pragma once
// Texts that come from outside (the command line, a transducer's reply, a file) may hold bytes
// that are not UTF-8: a unit number typed in a Windows-1251 terminal, a damaged profile. What
// the program writes for other programs and for browsers (JSON, HTML, file names) must still be
// valid UTF-8, so such bytes become U+FFFD, as a browser shows them.

#include <string>
#include <string_view>

namespace cli {

// `text` with every byte that does not belong to a well-formed UTF-8 sequence (overlong forms,
// surrogates and code points above U+10FFFF included) replaced by U+FFFD, one for each maximal
// ill-formed part as Unicode recommends.
std::string ValidUtf8(std::string_view text);

// The longest start of the valid UTF-8 `text` that ends between two characters and has at most
// `bytes` bytes.
std::string_view Utf8Prefix(std::string_view text, std::size_t bytes);

} // namespace cli
