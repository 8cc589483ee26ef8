#include "cli/utf8_text.h"

namespace cli {
namespace {

constexpr std::string_view Replacement = "\xEF\xBF\xBD";

// The length of the well-formed sequence that starts at `at`, or of its longest ill-formed
// start (at least 1) when `valid` comes back false.
std::size_t SequenceAt(std::string_view text, std::size_t at, bool& valid) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    valid = true;
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    unsigned char low = 0x80;  // the bounds of the second byte, which rule out overlong forms,
    unsigned char high = 0xBF; // surrogates and code points above U+10FFFF
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        valid = false;
        return 1;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const bool inRange = at + i < text.size() && byte(at + i) >= (i == 1 ? low : 0x80) &&
                             byte(at + i) <= (i == 1 ? high : 0xBF);
        if (!inRange) {
            valid = false;
            return i;
        }
    }
    return length;
}

} // namespace

std::string ValidUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        bool valid = true;
        const std::size_t length = SequenceAt(text, at, valid);
        out += valid ? text.substr(at, length) : Replacement;
        at += length;
    }
    return out;
}

std::string_view Utf8Prefix(std::string_view text, std::size_t bytes) {
    if (text.size() <= bytes) {
        return text;
    }
    std::size_t end = bytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    return text.substr(0, end);
}

} // namespace cli
