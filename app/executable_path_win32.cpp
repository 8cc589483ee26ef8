#include "app/executable_path.h"

#include "serial/utf8_win32.h"

#include <algorithm>
#include <windows.h>

namespace app {

namespace {

// The longest path the system accepts, in UTF-16 units, with its terminating zero.
constexpr std::size_t kLongestPath = 32768;

} // namespace

std::string ExecutablePath(std::string_view /*invokedAs: Windows always knows*/) {
    // The wide form: the ANSI one would turn letters outside the code page into "?".
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        // A result that fills the buffer was cut short: try again with more room.
        if (length < path.size()) {
            path.resize(length);
            return serial::detail::NarrowToUtf8(path);
        }
        if (path.size() >= kLongestPath) {
            return {};
        }
        path.resize(std::min(path.size() * 2, kLongestPath));
    }
}

} // namespace app
