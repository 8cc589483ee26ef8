#pragma once
// The platform's part of choosing the settings file: whether a program that cannot write beside
// itself keeps its settings in a per-user folder, where that folder is, and whether the current
// user may write a folder. One file per platform.

#include <string>

namespace app {

// False on Windows, where the file always lives beside the executable.
bool HasPerUserSettings();

// The tool's per-user configuration folder (the XDG configuration home's "lirat5"); empty when
// there is none.
std::string PerUserSettingsFolder();

// True when the current user may create files in `folder` (UTF-8).
bool FolderIsWritable(const std::string& folder);

} // namespace app
