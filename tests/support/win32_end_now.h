#pragma once
// Ends a test program that opened windows under Wine as soon as its results are printed,
// instead of through the ordinary process exit: on a loaded machine Wine's exit of such a
// process was seen to hang after every check had passed, now and then even when the process
// terminated itself, turning a passed run into a time-out. So the program first records its
// exit status where scripts/with-display looks for it (LIRAT_TEST_STATUS_FILE); the script
// takes the status from there if the process still has not gone a while later. Nothing checked
// happens after this.

#include <windows.h>

#include <cstdio>
#include <string>

namespace lirat_test {

inline void RecordExitStatus(int code) {
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetEnvironmentVariableW(L"LIRAT_TEST_STATUS_FILE", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return;
    }
    const HANDLE file = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    const std::string text = std::to_string(code) + "\n";
    DWORD written = 0;
    ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::CloseHandle(file);
}

[[noreturn]] inline void EndNow(int code) {
    std::fflush(stdout);
    std::fflush(stderr);
    RecordExitStatus(code);
    ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(code));
    ::ExitProcess(static_cast<UINT>(code)); // not reached; TerminateProcess does not return
}

} // namespace lirat_test
