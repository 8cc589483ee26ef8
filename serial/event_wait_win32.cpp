// Win32 backend, line events: event objects, the device's event mask and its overlapped wait.
#include "serial/backend.h"
#include "serial/backend_win32.h"

namespace serial::backend {

namespace {

HANDLE H(Event* event) {
    return reinterpret_cast<HANDLE>(event);
}
int LastError() {
    return static_cast<int>(::GetLastError());
}

} // namespace

int CreateSignalEvent(bool manualReset, bool initialState, Event*& event) {
    HANDLE h = ::CreateEventA(nullptr, manualReset, initialState, nullptr);
    event = reinterpret_cast<Event*>(h);
    return h ? 0 : LastError();
}

void DestroySignalEvent(Event* event) {
    if (event)
        ::CloseHandle(H(event));
}

int SetSignalEvent(Event* event) {
    return ::SetEvent(H(event)) ? 0 : LastError();
}

int ResetSignalEvent(Event* event) {
    return ::ResetEvent(H(event)) ? 0 : LastError();
}

int WaitForEvents(Event* const* events, int count, int timeoutMs, int& index) {
    index = kWaitTimeout;
    if (count <= 0 || count > MAXIMUM_WAIT_OBJECTS)
        return ERROR_INVALID_PARAMETER;
    HANDLE handles[MAXIMUM_WAIT_OBJECTS];
    for (int i = 0; i < count; ++i)
        handles[i] = H(events[i]);
    DWORD rc = ::WaitForMultipleObjects(static_cast<DWORD>(count), handles, FALSE,
                                        timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs));
    if (rc == WAIT_TIMEOUT)
        return 0;
    if (rc < WAIT_OBJECT_0 + static_cast<DWORD>(count)) {
        index = static_cast<int>(rc - WAIT_OBJECT_0);
        return 0;
    }
    int err = LastError();
    return err != 0 ? err : static_cast<int>(rc);
}

Event* OverlappedEvent(Overlapped* overlapped) {
    return overlapped ? reinterpret_cast<Event*>(overlapped->ov.hEvent) : nullptr;
}

int SetEventMask(Device* device, std::uint32_t mask) {
    return Calls(device).SetCommMask(NativeHandle(device), mask) ? 0 : LastError();
}

int StartEventWait(Device* device, Overlapped* overlapped, std::uint32_t* mask) {
    if (!overlapped)
        return ERROR_INVALID_PARAMETER;
    overlapped->eventMask = 0;
    overlapped->maskOut = mask;
    if (mask)
        *mask = 0;
    if (Calls(device).WaitCommEvent(NativeHandle(device), &overlapped->eventMask,
                                    &overlapped->ov)) {
        if (mask)
            *mask = overlapped->eventMask;
        return 0;
    }
    return LastError();
}

void CancelEventWait(Device* device, Overlapped* overlapped) {
    if (device && overlapped && !HasOverlappedIoCompleted(&overlapped->ov))
        device->sys->CancelIoEx(device->handle, &overlapped->ov);
}

void ApplyCurrentThreadPriority(int priority) {
    static constexpr int kPriorities[] = {THREAD_PRIORITY_IDLE,         THREAD_PRIORITY_LOWEST,
                                          THREAD_PRIORITY_BELOW_NORMAL, THREAD_PRIORITY_NORMAL,
                                          THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_HIGHEST,
                                          THREAD_PRIORITY_TIME_CRITICAL};
    if (priority >= 0 && priority <= 6)
        ::SetThreadPriority(::GetCurrentThread(), kPriorities[priority]);
}

void NameCurrentThread(const char*) {
    // Thread descriptions need Windows 10; the event thread does without one.
}

} // namespace serial::backend
