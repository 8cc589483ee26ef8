#include "app/settings_path.h"

#include "app/settings_location.h"

#include <filesystem>
#include <system_error>

namespace app {

namespace {

std::size_t FileNameStart(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? 0 : slash + 1;
}

} // namespace

std::filesystem::path PathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string ChangeExtensionToIni(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    const std::string_view stem =
        dot != std::string_view::npos && dot >= FileNameStart(path) ? path.substr(0, dot) : path;
    return std::string(stem) + ".INI";
}

std::string ChooseSettingsFile(std::string_view executablePath, bool besideIsUsable,
                               std::string_view perUserFolder) {
    std::string beside = ChangeExtensionToIni(executablePath);
    if (besideIsUsable || perUserFolder.empty()) {
        return beside;
    }
    std::string folder(perUserFolder);
    if (folder.back() != '/' && folder.back() != '\\') {
        folder += '/';
    }
    return folder + beside.substr(FileNameStart(beside));
}

std::string SettingsFileFor(std::string_view executablePath, std::string_view perUserFolder) {
    // A file beside the program is always the one read, even when it cannot be written: the
    // user put it there, and a write then fails with a message instead of the tool quietly
    // switching to another file that holds none of the stored settings.
    const std::filesystem::path beside = PathFromUtf8(ChangeExtensionToIni(executablePath));
    std::error_code error;
    const bool exists = std::filesystem::exists(beside, error);
    std::filesystem::path folder = beside.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    const std::u8string folderText = folder.u8string();
    const bool usable =
        exists || FolderIsWritable(std::string(folderText.begin(), folderText.end()));
    return ChooseSettingsFile(executablePath, usable, perUserFolder);
}

std::string SettingsFileNameFor(std::string_view executablePath) {
    if (!HasPerUserSettings()) {
        return ChangeExtensionToIni(executablePath);
    }
    return SettingsFileFor(executablePath, PerUserSettingsFolder());
}

} // namespace app
