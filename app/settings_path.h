#pragma once
// Where the port settings file lives: beside the executable, with the executable's name and the
// extension ".INI". An installed copy on Linux usually sits in a folder the user cannot write;
// there the file moves to the user's configuration folder under the same name. Paths are UTF-8
// texts, as everywhere in the program, so a folder such as "C:\Users\Пётр" comes through whole.

#include <filesystem>
#include <string>
#include <string_view>

namespace app {

// The file system's path for a UTF-8 path text.
std::filesystem::path PathFromUtf8(std::string_view utf8);

// `path` with the extension of its file name replaced by ".INI" (always capitals), or ".INI"
// appended when the file name has none. Dots in folder names do not count.
std::string ChangeExtensionToIni(std::string_view path);

// The settings file for the executable at `executablePath`: beside it when
// `besideIsUsable`, otherwise in `perUserFolder` under the same file name.
std::string ChooseSettingsFile(std::string_view executablePath, bool besideIsUsable,
                               std::string_view perUserFolder);

// The settings file for the executable at `executablePath` on a system with per-user folders:
// beside it whenever a file is there (writable or not) or the folder can be written; otherwise
// in `perUserFolder`.
std::string SettingsFileFor(std::string_view executablePath, std::string_view perUserFolder);

// The settings file of the executable at `executablePath`. Windows always uses the file beside
// the executable; elsewhere the per-user configuration folder is used only when the folder
// beside the executable holds no file and cannot be written.
std::string SettingsFileNameFor(std::string_view executablePath);

} // namespace app
