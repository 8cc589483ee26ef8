// Win32 backend: the device interface itself, with overlapped transfers on events. Every system
// call on a device goes through the device's SystemCalls (win32_syscalls.h).
#include "serial/backend_win32.h"
#include "serial/backend.h"
#include "serial/utf8_win32.h"

#include <cstring>
#include <cwchar>

namespace serial::backend {

const int kErrorIoPending = ERROR_IO_PENDING;
const int kErrorIoIncomplete = ERROR_IO_INCOMPLETE;
const int kErrorInvalidHandle = ERROR_INVALID_HANDLE;

namespace {

// A wait for a transfer looks this often whether its device still answers.
constexpr DWORD kDeviceCheckMs = 200;
// How long a cancelled transfer may take to end.
constexpr DWORD kCancelGraceMs = 1000;

int LastError() {
    return static_cast<int>(::GetLastError());
}

// 0 while the device answers, else its error. The modem status is asked because asking
// changes nothing (the error query would clear the line errors that LastErrors reports); a
// device without modem lines answers that it has none, which is an answer too.
int DeviceError(Device* device) {
    DWORD lines = 0;
    if (device->sys->GetCommModemStatus(device->handle, &lines))
        return 0;
    int err = LastError();
    return IsModemStatusUnsupported(err) ? 0 : err;
}

} // namespace

HANDLE NativeHandle(Device* device) {
    return device ? device->handle : INVALID_HANDLE_VALUE;
}

win32::SystemCalls& Calls(Device* device) {
    return device ? *device->sys : win32::CurrentSystemCalls();
}

bool IsDeviceGone(int error) {
    switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_BAD_COMMAND:
    case ERROR_GEN_FAILURE:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_DEVICE_REMOVED:
        return true;
    default:
        return false;
    }
}

int OpenDevice(const std::string& port, Device*& device) {
    device = nullptr;
    const std::wstring name = L"\\\\.\\" + detail::WidenUtf8(port);
    win32::SystemCalls& sys = win32::CurrentSystemCalls();
    HANDLE h = sys.CreateFileW(name.c_str());
    if (h == INVALID_HANDLE_VALUE)
        return LastError();
    device = new Device;
    device->handle = h;
    device->sys = &sys;
    return 0;
}

void CloseDevice(Device* device) {
    if (!device)
        return;
    // Also ends whatever is still pending on the handle.
    device->sys->CloseHandle(device->handle);
    delete device;
}

int ApplyLineSettings(Device* device, const TDcbRecord& r) {
    DCB dcb;
    static_assert(sizeof(DCB) == kDcbSize, "the DCB mirror must describe the real record");
    std::memset(&dcb, 0, sizeof dcb);
    dcb.DCBlength = r.DCBlength;
    dcb.BaudRate = r.BaudRate;
    dcb.fBinary = r.fBinary;
    dcb.fParity = r.fParity;
    dcb.fOutxCtsFlow = r.fOutxCtsFlow;
    dcb.fOutxDsrFlow = r.fOutxDsrFlow;
    dcb.fDtrControl = r.fDtrControl;
    dcb.fDsrSensitivity = r.fDsrSensitivity;
    dcb.fTXContinueOnXoff = r.fTXContinueOnXoff;
    dcb.fOutX = r.fOutX;
    dcb.fInX = r.fInX;
    dcb.fErrorChar = r.fErrorChar;
    dcb.fNull = r.fNull;
    dcb.fRtsControl = r.fRtsControl;
    dcb.fAbortOnError = r.fAbortOnError;
    dcb.wReserved = r.wReserved;
    dcb.XonLim = r.XonLim;
    dcb.XoffLim = r.XoffLim;
    dcb.ByteSize = r.ByteSize;
    dcb.Parity = r.Parity;
    dcb.StopBits = r.StopBits;
    dcb.XonChar = r.XonChar;
    dcb.XoffChar = r.XoffChar;
    dcb.ErrorChar = r.ErrorChar;
    dcb.EofChar = r.EofChar;
    dcb.EvtChar = r.EvtChar;
    dcb.wReserved1 = r.wReserved1;
    return Calls(device).SetCommState(NativeHandle(device), &dcb) ? 0 : LastError();
}

int ApplyTimeouts(Device* device, const TTimeoutsRecord& r) {
    COMMTIMEOUTS t;
    t.ReadIntervalTimeout = r.ReadIntervalTimeout;
    t.ReadTotalTimeoutMultiplier = r.ReadTotalTimeoutMultiplier;
    t.ReadTotalTimeoutConstant = r.ReadTotalTimeoutConstant;
    t.WriteTotalTimeoutMultiplier = r.WriteTotalTimeoutMultiplier;
    t.WriteTotalTimeoutConstant = r.WriteTotalTimeoutConstant;
    if (!Calls(device).SetCommTimeouts(NativeHandle(device), &t))
        return LastError();
    device->timeouts = r;
    return 0;
}

int ApplyQueueSizes(Device* device, const TQueueSizes& sizes) {
    return Calls(device).SetupComm(NativeHandle(device), sizes.InputSize, sizes.OutputSize)
               ? 0
               : LastError();
}

int Purge(Device* device, std::uint32_t flags) {
    if (Calls(device).PurgeComm(NativeHandle(device), flags))
        return 0;
    int err = LastError();
    // A removed adapter's driver may refuse the purge and leave its transfers pending: they are
    // cancelled all the same, so that nothing waits for them.
    if (device && (flags & (PURGE_TXABORT | PURGE_RXABORT)))
        device->sys->CancelIoEx(device->handle, nullptr);
    return err;
}

int ClearError(Device* device, TCommStatus& status) {
    DWORD errors = 0;
    COMSTAT stat;
    std::memset(&stat, 0, sizeof stat);
    if (!Calls(device).ClearCommError(NativeHandle(device), &errors, &stat))
        return LastError();
    status.Errors = errors;
    status.HoldFlags = static_cast<std::uint8_t>(
        (stat.fCtsHold ? 1 : 0) | (stat.fDsrHold ? 2 : 0) | (stat.fRlsdHold ? 4 : 0) |
        (stat.fXoffHold ? 8 : 0) | (stat.fXoffSent ? 16 : 0) | (stat.fEof ? 32 : 0) |
        (stat.fTxim ? 64 : 0));
    status.InQueue = stat.cbInQue;
    status.OutQueue = stat.cbOutQue;
    return 0;
}

int ModemStatus(Device* device, std::uint32_t& lines) {
    DWORD status = 0;
    lines = 0;
    if (!Calls(device).GetCommModemStatus(NativeHandle(device), &status))
        return LastError();
    lines = status;
    return 0;
}

bool IsModemStatusUnsupported(int error) {
    // Wine's pseudo-terminal ports and some virtual drivers answer that they have no lines.
    return error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION;
}

int Escape(Device* device, std::uint32_t code) {
    return Calls(device).EscapeCommFunction(NativeHandle(device), code) ? 0 : LastError();
}

int TransmitChar(Device* device, char ch) {
    return Calls(device).TransmitCommChar(NativeHandle(device), ch) ? 0 : LastError();
}

int CreateOverlapped(Overlapped*& overlapped, bool signalled) {
    overlapped = nullptr;
    HANDLE event = ::CreateEventA(nullptr, TRUE, signalled, nullptr);
    if (!event)
        return LastError();
    overlapped = new Overlapped;
    std::memset(&overlapped->ov, 0, sizeof overlapped->ov);
    overlapped->ov.hEvent = event;
    return 0;
}

void DestroyOverlapped(Overlapped* overlapped) {
    if (!overlapped)
        return;
    // A record whose transfer even a cancel did not end still belongs to the driver, which
    // would write into it (and signal its event) whenever it gets round to it: it is left to
    // the driver rather than freed under it. Only a removed device's broken driver gets here.
    if (!HasOverlappedIoCompleted(&overlapped->ov))
        return;
    ::CloseHandle(overlapped->ov.hEvent);
    delete overlapped;
}

namespace {

// Starts a transfer on the record, which no longer belongs to an event wait: `start` makes the
// system call, given where the count of a transfer done at once goes.
template <typename Start>
int StartTransfer(Overlapped* overlapped, std::uint32_t& transferred, const Start& start) {
    transferred = 0;
    if (!overlapped)
        return ERROR_INVALID_PARAMETER;
    overlapped->maskOut = nullptr;
    DWORD n = 0;
    if (!start(n))
        return LastError();
    transferred = n;
    return 0;
}

} // namespace

int StartRead(Device* device, Overlapped* overlapped, void* buffer, std::uint32_t count,
              std::uint32_t& transferred) {
    return StartTransfer(overlapped, transferred, [&](DWORD& n) -> BOOL {
        if (device && device->timeouts.ReadIntervalTimeout == MAXDWORD &&
            device->timeouts.ReadTotalTimeoutMultiplier == 0 &&
            device->timeouts.ReadTotalTimeoutConstant == 0) {
            // A read that must return at once with what has arrived. Windows completes it at
            // once; Wine leaves it pending until more bytes come. Asking for no more than is
            // waiting gives the same answer on both, and when nothing waits the record completes
            // here with 0.
            DWORD errors = 0;
            COMSTAT stat;
            std::memset(&stat, 0, sizeof stat);
            if (!device->sys->ClearCommError(device->handle, &errors, &stat))
                return FALSE;
            if (stat.cbInQue < count)
                count = stat.cbInQue;
            if (count == 0) {
                overlapped->ov.Internal = 0; // STATUS_SUCCESS
                overlapped->ov.InternalHigh = 0;
                ::SetEvent(overlapped->ov.hEvent);
                return TRUE;
            }
        }
        return Calls(device).ReadFile(NativeHandle(device), buffer, count, &n, &overlapped->ov);
    });
}

int StartWrite(Device* device, Overlapped* overlapped, const void* buffer, std::uint32_t count,
               std::uint32_t& transferred) {
    int err = StartTransfer(overlapped, transferred, [&](DWORD& n) {
        return Calls(device).WriteFile(NativeHandle(device), buffer, count, &n, &overlapped->ov);
    });
    if (err == ERROR_TIMEOUT) {
        // The write time-out passed: a result with the bytes sent so far, not a failure.
        transferred = static_cast<std::uint32_t>(overlapped->ov.InternalHigh);
        return 0;
    }
    return err;
}

void RunInBackground(Device*, Overlapped*) {
    // Overlapped transfers go on in the driver by themselves.
}

int WaitOverlapped(Device* device, Overlapped* overlapped) {
    if (!overlapped)
        return ERROR_INVALID_PARAMETER;
    // Without a device nothing can be pending: the handle's close ended it.
    const DWORD slice = device ? kDeviceCheckMs : INFINITE;
    for (;;) {
        DWORD rc = ::WaitForSingleObject(overlapped->ov.hEvent, slice);
        if (rc == WAIT_OBJECT_0)
            return 0;
        if (rc != WAIT_TIMEOUT) {
            int err = LastError();
            return err != 0 ? err : static_cast<int>(rc);
        }
        // Some adapters' drivers never end a pending transfer once the adapter has been pulled
        // out. A device that no longer answers has the transfer cancelled, and its own error is
        // the result.
        if (int gone = DeviceError(device); gone != 0) {
            device->sys->CancelIoEx(device->handle, &overlapped->ov);
            ::WaitForSingleObject(overlapped->ov.hEvent, kCancelGraceMs);
            return gone;
        }
    }
}

int OverlappedResult(Device* device, Overlapped* overlapped, std::uint32_t& transferred) {
    DWORD n = 0;
    transferred = 0;
    if (!overlapped)
        return ERROR_INVALID_PARAMETER;
    if (!Calls(device).GetOverlappedResult(NativeHandle(device), &overlapped->ov, &n, FALSE)) {
        int err = LastError();
        // Windows completes a timed-out transfer successfully with the bytes moved so far;
        // Wine reports the time-out as an error. Both mean the same here.
        if (err != ERROR_TIMEOUT)
            return err;
    }
    transferred = n;
    // An event wait's mask reaches its caller only now that the wait is known to have ended.
    if (overlapped->maskOut)
        *overlapped->maskOut = overlapped->eventMask;
    return 0;
}

int EnumPortNames(std::vector<std::string>& names) {
    HKEY key = nullptr;
    LONG rc =
        ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key);
    if (rc != ERROR_SUCCESS)
        return static_cast<int>(rc);
    int result = 0;
    for (DWORD index = 0;; ++index) {
        // Room for 256 characters of name and of data. The device names come back as UTF-8,
        // the form OpenDevice takes.
        wchar_t name[256];
        wchar_t data[256];
        DWORD nameLen = sizeof name / sizeof name[0];
        DWORD dataLen = sizeof data;
        DWORD type = 0;
        rc = ::RegEnumValueW(key, index, name, &nameLen, nullptr, &type,
                             reinterpret_cast<BYTE*>(data), &dataLen);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        if (rc != ERROR_SUCCESS) {
            result = static_cast<int>(rc);
            break;
        }
        names.push_back(detail::NarrowToUtf8(
            std::wstring_view(data, ::wcsnlen(data, dataLen / sizeof(wchar_t)))));
    }
    ::RegCloseKey(key);
    return result;
}

} // namespace serial::backend
