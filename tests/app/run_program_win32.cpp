#include "tests/app/run_program.h"

#include "serial/utf8_win32.h"

#include <windows.h>

namespace lirat_test {

int RunProgram(const std::string& program, const std::string& argument) {
    const std::wstring path = serial::detail::WidenUtf8(program);
    std::wstring command = L"\"" + path + L"\" \"" + serial::detail::WidenUtf8(argument) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(path.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &process)) {
        return -1;
    }
    ::CloseHandle(process.hThread);
    DWORD code = 0;
    const bool ended = ::WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0 &&
                       ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hProcess);
    return ended ? static_cast<int>(code) : -1;
}

} // namespace lirat_test
