// Bytes as the far-end peer and the Windows tests pass them in one-line requests: two lower-case
// hex digits a byte, so that any byte (a NUL, a line end) fits in a line of text.
#pragma once

#include <cstddef>
#include <string>

namespace lirat_test {

inline std::string Hex(const std::string& bytes) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

inline std::string Unhex(const std::string& hex) {
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return out;
}

} // namespace lirat_test
