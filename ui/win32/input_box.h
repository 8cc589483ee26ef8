#pragma once
// The input box: a small modal dialog of the tool's own with a caption, a prompt, an edit box
// holding the default text, OK (the default button) and Cancel. Enter is OK, Escape is Cancel.

#include <windows.h>

#include <optional>
#include <string>

namespace ui::win32 {

// Control identifiers of the box, for programs that fill it from outside.
inline constexpr int InputBoxPromptId = 100;
inline constexpr int InputBoxEditId = 101;

// The edited text on OK; nullopt on Cancel or when the box could not be shown.
std::optional<std::string> RunInputBox(HWND owner, const std::string& caption,
                                       const std::string& prompt, const std::string& defaultText);

} // namespace ui::win32
