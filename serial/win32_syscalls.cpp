// The real system calls behind the Win32 backend's seam.
#include "serial/win32_syscalls.h"

#include <atomic>

namespace serial::backend::win32 {

namespace {

SystemCalls realCalls;
std::atomic<SystemCalls*> installed{nullptr};

} // namespace

HANDLE SystemCalls::CreateFileW(const wchar_t* name) {
    return ::CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         FILE_FLAG_OVERLAPPED, nullptr);
}
BOOL SystemCalls::CloseHandle(HANDLE device) {
    return ::CloseHandle(device);
}
BOOL SystemCalls::SetCommState(HANDLE device, DCB* dcb) {
    return ::SetCommState(device, dcb);
}
BOOL SystemCalls::SetCommTimeouts(HANDLE device, COMMTIMEOUTS* timeouts) {
    return ::SetCommTimeouts(device, timeouts);
}
BOOL SystemCalls::SetupComm(HANDLE device, DWORD inputSize, DWORD outputSize) {
    return ::SetupComm(device, inputSize, outputSize);
}
BOOL SystemCalls::PurgeComm(HANDLE device, DWORD flags) {
    return ::PurgeComm(device, flags);
}
BOOL SystemCalls::ClearCommError(HANDLE device, DWORD* errors, COMSTAT* status) {
    return ::ClearCommError(device, errors, status);
}
BOOL SystemCalls::GetCommModemStatus(HANDLE device, DWORD* status) {
    return ::GetCommModemStatus(device, status);
}
BOOL SystemCalls::EscapeCommFunction(HANDLE device, DWORD code) {
    return ::EscapeCommFunction(device, code);
}
BOOL SystemCalls::TransmitCommChar(HANDLE device, char ch) {
    return ::TransmitCommChar(device, ch);
}
BOOL SystemCalls::ReadFile(HANDLE device, void* buffer, DWORD count, DWORD* done,
                           OVERLAPPED* overlapped) {
    return ::ReadFile(device, buffer, count, done, overlapped);
}
BOOL SystemCalls::WriteFile(HANDLE device, const void* buffer, DWORD count, DWORD* done,
                            OVERLAPPED* overlapped) {
    return ::WriteFile(device, buffer, count, done, overlapped);
}
BOOL SystemCalls::GetOverlappedResult(HANDLE device, OVERLAPPED* overlapped, DWORD* done,
                                      BOOL wait) {
    return ::GetOverlappedResult(device, overlapped, done, wait);
}
BOOL SystemCalls::CancelIoEx(HANDLE device, OVERLAPPED* overlapped) {
    // Windows Vista and later, so within the Windows 7 the program is built for.
    return ::CancelIoEx(device, overlapped);
}
BOOL SystemCalls::SetCommMask(HANDLE device, DWORD mask) {
    return ::SetCommMask(device, mask);
}
BOOL SystemCalls::WaitCommEvent(HANDLE device, DWORD* mask, OVERLAPPED* overlapped) {
    return ::WaitCommEvent(device, mask, overlapped);
}

SystemCalls& CurrentSystemCalls() {
    SystemCalls* calls = installed.load();
    return calls ? *calls : realCalls;
}

void InstallSystemCalls(SystemCalls* calls) {
    installed.store(calls);
}

} // namespace serial::backend::win32
