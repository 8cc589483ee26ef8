#pragma once
// File names inside lirat5-cli are UTF-8, as the command line gives them (on Windows taken from
// its wide form), and as the serial component's settings-file code takes them; a path made
// with PathOf opens the same file on either system, whatever letters its name has.

#include <filesystem>
#include <string>

namespace cli {

inline std::filesystem::path PathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string Utf8Of(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace cli
