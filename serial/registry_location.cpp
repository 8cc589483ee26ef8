#include "serial/registry_key.h"

#include <algorithm>

namespace serial {

namespace {

std::string UpperAscii(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](char c) {
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    });
    return text;
}

} // namespace

std::optional<RegistryLocation> LocateRegistryKey(const std::string& where,
                                                  const std::string& keyName) {
    const std::size_t slash = where.find('\\');
    if (slash == std::string::npos) {
        return std::nullopt;
    }
    RegistryLocation location;
    if (UpperAscii(where.substr(0, slash)) == "HKEY_LOCAL_MACHINE") {
        location.root = RegistryRoot::LocalMachine;
    }
    std::string key = where.substr(slash + 1);
    if (key.empty() || key.back() != '\\') {
        key += '\\';
    }
    key += keyName;
    // A key path that starts at the root's top ("\Software\...") or ends in "\" (an empty
    // component name) names the same key without those; the registry refuses them as written.
    while (!key.empty() && key.front() == '\\') {
        key.erase(0, 1);
    }
    while (!key.empty() && key.back() == '\\') {
        key.pop_back();
    }
    location.key = std::move(key);
    return location;
}

} // namespace serial
