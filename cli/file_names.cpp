#include "cli/file_names.h"

#include "cli/file_access.h"
#include "cli/utf8_text.h"

#include <cstdint>
#include <cstdio>

namespace cli {
namespace {

constexpr std::string_view Refused = "\\/:*?\"<>|";
constexpr std::size_t ExtensionUnits = 5; // ".json", ".html"

// FNV-1a: short, stable across platforms and runs, and enough to tell two units apart.
std::string CheckCode(std::string_view text) {
    std::uint32_t hash = 2166136261u;
    for (char c : text) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    char code[16];
    std::snprintf(code, sizeof code, "%08x", static_cast<unsigned>(hash));
    return code;
}

} // namespace

std::string FileNamePart(std::string_view name) {
    for (std::string_view prefix : {"/dev/", "\\\\.\\"}) {
        if (name.starts_with(prefix)) {
            name.remove_prefix(prefix.size());
        }
    }
    std::string part = ValidUtf8(name);
    for (char& c : part) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || Refused.find(c) != Refused.npos) {
            c = '_';
        }
    }
    return part.empty() ? "_" : part;
}

std::string PortFileName(const std::string& path, const std::string& port) {
    const auto folder = path.find_last_of("/\\");
    const std::size_t nameStart = folder == std::string::npos ? 0 : folder + 1;
    auto dot = path.rfind('.');
    if (dot == std::string::npos || dot <= nameStart) {
        dot = path.size();
    }
    return path.substr(0, dot) + "-" + FileNamePart(port) + path.substr(dot);
}

std::string RecordStem(std::string_view unitPart, std::string_view stamp, std::string_view kind,
                       int attempt) {
    const std::string rest = "_" + std::string(stamp) + "_" + std::string(kind) +
                             (attempt > 1 ? "_" + std::to_string(attempt) : std::string());
    const std::string whole = std::string(unitPart) + rest;
    if (NameUnits(whole) + ExtensionUnits <= MaxNameUnits) {
        return whole;
    }
    const std::string tail = "~" + CheckCode(unitPart) + rest;
    const std::size_t room = MaxNameUnits - ExtensionUnits - NameUnits(tail);
    // No letter takes fewer than one byte or more than four, so the cut starts short of four
    // bytes a unit and then gives up a letter at a time.
    std::string_view kept = Utf8Prefix(unitPart, 4 * room);
    while (!kept.empty() && NameUnits(kept) > room) {
        kept = Utf8Prefix(kept, kept.size() - 1);
    }
    return std::string(kept) + tail;
}

} // namespace cli
