// Internal to the Win32 backend: every system call the backend makes on a serial device goes
// through one of these, so that a test can stand a device in for the driver that fails as a
// removed USB adapter does (calls refused with the driver's error, transfers and event waits
// that never complete by themselves). Nothing else can show that a pulled cable leaves no
// handle behind and no wait without end: Wine's serial layer never fails that way.
//
// The device takes the calls current when it is opened and keeps them until it is closed. The
// real ones are plain forwarders: one indirect call per system call.
#pragma once

#include <windows.h>

namespace serial::backend::win32 {

class SystemCalls {
public:
    virtual ~SystemCalls() = default;

    // As the functions of the same names; failures leave their error for GetLastError.
    // CreateFileW opens the device for the port: read and write, no sharing, overlapped.
    virtual HANDLE CreateFileW(const wchar_t* name);
    virtual BOOL CloseHandle(HANDLE device);
    virtual BOOL SetCommState(HANDLE device, DCB* dcb);
    virtual BOOL SetCommTimeouts(HANDLE device, COMMTIMEOUTS* timeouts);
    virtual BOOL SetupComm(HANDLE device, DWORD inputSize, DWORD outputSize);
    virtual BOOL PurgeComm(HANDLE device, DWORD flags);
    virtual BOOL ClearCommError(HANDLE device, DWORD* errors, COMSTAT* status);
    virtual BOOL GetCommModemStatus(HANDLE device, DWORD* status);
    virtual BOOL EscapeCommFunction(HANDLE device, DWORD code);
    virtual BOOL TransmitCommChar(HANDLE device, char ch);
    virtual BOOL ReadFile(HANDLE device, void* buffer, DWORD count, DWORD* done,
                          OVERLAPPED* overlapped);
    virtual BOOL WriteFile(HANDLE device, const void* buffer, DWORD count, DWORD* done,
                           OVERLAPPED* overlapped);
    virtual BOOL GetOverlappedResult(HANDLE device, OVERLAPPED* overlapped, DWORD* done, BOOL wait);
    // Ends the record's transfer or event wait (nullptr: every one of the device), from any
    // thread; the record completes with ERROR_OPERATION_ABORTED.
    virtual BOOL CancelIoEx(HANDLE device, OVERLAPPED* overlapped);
    virtual BOOL SetCommMask(HANDLE device, DWORD mask);
    virtual BOOL WaitCommEvent(HANDLE device, DWORD* mask, OVERLAPPED* overlapped);
};

// The calls devices opened from now on use; the real ones unless a test has installed others.
SystemCalls& CurrentSystemCalls();
// Installs calls for the devices opened from now on (nullptr: the real ones again). Tests only;
// the calls must outlive every device opened with them.
void InstallSystemCalls(SystemCalls* calls);

} // namespace serial::backend::win32
