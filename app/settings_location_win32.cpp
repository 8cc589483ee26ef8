#include "app/settings_location.h"

namespace app {

// The settings file always lives beside the executable, as the tool's users expect of a program
// they copy onto a laptop; a folder that cannot be written makes the write fail with its message.
bool HasPerUserSettings() {
    return false;
}

std::string PerUserSettingsFolder() {
    return {};
}

bool FolderIsWritable(const std::string&) {
    return true;
}

} // namespace app
