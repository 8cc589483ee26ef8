// Internal to the Win32 backend: the open device and the completion record.
#pragma once

#include "serial/backend.h"

#include <windows.h>

namespace serial::backend {

struct Device {
    HANDLE handle = INVALID_HANDLE_VALUE;
    TTimeoutsRecord timeouts{}; // as last applied
};

struct Overlapped {
    OVERLAPPED ov;
};

// The device's handle, or the invalid-handle value for none (so a call on a closed port fails
// with the system's own error).
HANDLE NativeHandle(Device* device);

} // namespace serial::backend
