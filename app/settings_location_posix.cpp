#include "app/settings_location.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace app {

bool HasPerUserSettings() {
    return true;
}

std::string PerUserSettingsFolder() {
    // The configuration home of the XDG base directories: $XDG_CONFIG_HOME when it is an
    // absolute path, otherwise ".config" in the home folder.
    if (const char* configHome = std::getenv("XDG_CONFIG_HOME");
        configHome != nullptr && configHome[0] == '/') {
        return std::string(configHome) + "/lirat5";
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
        const passwd* user = ::getpwuid(::getuid());
        home = user != nullptr ? user->pw_dir : nullptr;
    }
    if (home == nullptr || home[0] == '\0') {
        return {};
    }
    return std::string(home) + "/.config/lirat5";
}

bool FolderIsWritable(const std::string& folder) {
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

} // namespace app
