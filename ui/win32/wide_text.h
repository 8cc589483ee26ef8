#pragma once
// Texts cross into Windows as UTF-16: the window logic speaks UTF-8, the W functions UTF-16.
// These are the only conversions the Win32 front end makes.

#include <windows.h>

#include <string>
#include <string_view>

namespace ui::win32 {

std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

// A window's text (caption, edit text, combo box edit field) as UTF-8.
std::string WindowText(HWND window);
void SetWindowText(HWND window, const std::string& utf8);

} // namespace ui::win32
