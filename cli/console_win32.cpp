// The Windows console shows text in its own code page (866 or 437 by default), which is not the
// UTF-8 the program holds, so a console handle gets the text as UTF-16 through WriteConsoleW and
// shows Cyrillic correctly in cmd.exe and PowerShell whatever the code page. Anything else (a
// file, a pipe) gets the UTF-8 bytes unchanged.
#include "cli/console.h"

#include "cli/interrupt.h"
#include "serial/utf8_win32.h"

#include <string>
#include <windows.h>

namespace cli {
namespace {

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && handle != nullptr && ::GetConsoleMode(handle, &mode);
}

void Write(DWORD which, std::string_view text) {
    const HANDLE handle = ::GetStdHandle(which);
    if (text.empty() || handle == INVALID_HANDLE_VALUE || handle == nullptr) {
        return;
    }
    if (IsConsole(handle)) {
        const std::wstring wide = serial::detail::WidenUtf8(text);
        DWORD written = 0;
        ::WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    while (!text.empty()) {
        DWORD written = 0;
        if (!::WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
            written == 0) {
            return;
        }
        text.remove_prefix(written);
    }
}

InputLine Finish(InputLine line) {
    if (!line.text.empty() && line.text.back() == '\r') {
        line.text.pop_back();
    }
    return line;
}

InputLine ReadConsoleLine(HANDLE handle) {
    std::wstring wide;
    for (;;) {
        wchar_t c = 0;
        DWORD got = 0;
        const BOOL ok = ::ReadConsoleW(handle, &c, 1, &got, nullptr);
        // Ctrl+C ends the read at once, while its handler runs on a thread of its own: a read
        // that brought nothing gives that thread a moment to say so.
        if (!ok || got == 0) {
            ::Sleep(100);
        }
        if (InterruptRequested()) {
            return InputLine{InputEnd::Interrupted, {}};
        }
        // Ctrl+Z at the start of a line is the console's end of input.
        if (!ok || got == 0 || (c == 26 && wide.empty())) {
            return InputLine{wide.empty() ? InputEnd::EndOfInput : InputEnd::Line,
                             serial::detail::NarrowToUtf8(wide)};
        }
        if (c == L'\n') {
            return Finish(InputLine{InputEnd::Line, serial::detail::NarrowToUtf8(wide)});
        }
        wide.push_back(c);
    }
}

InputLine ReadFileLine(HANDLE handle) {
    InputLine line;
    for (;;) {
        char c = 0;
        DWORD got = 0;
        if (!::ReadFile(handle, &c, 1, &got, nullptr) || got == 0) {
            line.end = line.text.empty() ? InputEnd::EndOfInput : InputEnd::Line;
            return Finish(line);
        }
        if (c == '\n') {
            line.end = InputEnd::Line;
            return Finish(line);
        }
        line.text.push_back(c);
    }
}

class WindowsConsole : public Console {
public:
    void Out(std::string_view text) override { Write(STD_OUTPUT_HANDLE, text); }
    void Err(std::string_view text) override { Write(STD_ERROR_HANDLE, text); }

    // The live lines move the cursor with escape sequences, which a Windows 10 console
    // understands once asked to; an older console, or one that refuses, gets plain lines.
    std::optional<int> ErrTerminalWidth() override {
        const HANDLE handle = ::GetStdHandle(STD_ERROR_HANDLE);
        DWORD mode = 0;
        CONSOLE_SCREEN_BUFFER_INFO info{};
        if (!IsConsole(handle) || !::GetConsoleMode(handle, &mode) ||
            !::SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) ||
            !::GetConsoleScreenBufferInfo(handle, &info)) {
            return std::nullopt;
        }
        return info.srWindow.Right - info.srWindow.Left + 1;
    }

    InputLine ReadLine() override {
        const HANDLE handle = ::GetStdHandle(STD_INPUT_HANDLE);
        if (handle == INVALID_HANDLE_VALUE || handle == nullptr) {
            return InputLine{InputEnd::EndOfInput, {}};
        }
        return IsConsole(handle) ? ReadConsoleLine(handle) : ReadFileLine(handle);
    }
};

} // namespace

std::unique_ptr<Console> MakeSystemConsole() {
    return std::make_unique<WindowsConsole>();
}

} // namespace cli
