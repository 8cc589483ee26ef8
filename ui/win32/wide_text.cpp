#include "ui/win32/wide_text.h"

#include "serial/utf8_win32.h"

namespace ui::win32 {

std::wstring Wide(std::string_view utf8) {
    return serial::detail::WidenUtf8(utf8);
}

std::string Utf8(std::wstring_view wide) {
    return serial::detail::NarrowToUtf8(wide);
}

std::string WindowText(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return Utf8(text);
}

void SetWindowText(HWND window, const std::string& utf8) {
    ::SetWindowTextW(window, Wide(utf8).c_str());
}

} // namespace ui::win32
