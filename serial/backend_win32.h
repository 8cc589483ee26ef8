// Internal to the Win32 backend: the open device and the completion record.
#pragma once

#include "serial/backend.h"
#include "serial/win32_syscalls.h"

#include <windows.h>

namespace serial::backend {

struct Device {
    HANDLE handle = INVALID_HANDLE_VALUE;
    win32::SystemCalls* sys = nullptr; // the system calls, as current when the device was opened
    TTimeoutsRecord timeouts{};        // as last applied
};

struct Overlapped {
    OVERLAPPED ov;
    // An event wait's mask lives in the record, not with its caller: a wait the driver never
    // ends writes it when the record has long been given up (see DestroyOverlapped).
    DWORD eventMask = 0;
    std::uint32_t* maskOut = nullptr;
};

// The device's handle, or the invalid-handle value for none (so a call on a closed port fails
// with the system's own error).
HANDLE NativeHandle(Device* device);
// The system calls for the device; for none, the current ones (which fail on the invalid handle).
win32::SystemCalls& Calls(Device* device);

} // namespace serial::backend
