// The backend contract: the few platform operations the portable port code calls. One file per
// platform implements it (backend_posix.cpp, backend_win32.cpp). Every operation returns 0 on
// success or the operating system's error number (errno on POSIX, GetLastError on Win32); the
// portable code turns a non-zero result into the EComPort of the operation that failed.
#pragma once

#include "serial/native_records.h"

#include <cstdint>
#include <string>
#include <vector>

namespace serial::backend {

struct Device;     // an open serial device
struct Overlapped; // the completion record of one transfer, with a manual-reset event
struct Event;      // an event object that WaitForEvents can wait on

// The platform's error numbers that the portable code tells apart.
extern const int kErrorIoPending;     // a transfer was started and goes on in the background
extern const int kErrorIoIncomplete;  // a transfer has not finished yet
extern const int kErrorInvalidHandle; // the operation was given no open device
// The index WaitForEvents reports when its time-out passed first.
inline constexpr int kWaitTimeout = 258;

// Whether an error says the device itself has gone away (an unplugged USB adapter).
bool IsDeviceGone(int error);

// Opens the device that port names, exclusively, for non-blocking transfers.
int OpenDevice(const std::string& port, Device*& device);
// Releases the device; nullptr is ignored.
void CloseDevice(Device* device);

int ApplyLineSettings(Device* device, const TDcbRecord& dcb);
int ApplyTimeouts(Device* device, const TTimeoutsRecord& timeouts);
int ApplyQueueSizes(Device* device, const TQueueSizes& sizes);

// Purge flags: 1 abort pending writes, 2 abort pending reads, 4 discard the transmit queue,
// 8 discard the receive queue.
int Purge(Device* device, std::uint32_t flags);

struct TCommStatus {
    std::uint32_t Errors = 0;   // 1 rx overflow, 2 overrun, 4 parity, 8 frame, 16 break,
                                // 256 tx full, 1024 I/O, 32768 mode
    std::uint8_t HoldFlags = 0; // the low byte of the COMSTAT flag word
    std::uint32_t InQueue = 0;  // bytes waiting to be read
    std::uint32_t OutQueue = 0; // bytes waiting to be sent
};
// Gives the queue counts and hold flags, and gives and clears the error flags.
int ClearError(Device* device, TCommStatus& status);

// Modem input lines: 16 CTS, 32 DSR, 64 ring, 128 RLSD.
int ModemStatus(Device* device, std::uint32_t& lines);
// Whether an error of ModemStatus only says the device has no modem lines at all.
bool IsModemStatusUnsupported(int error);

// Escape codes: 1 as if Xoff received, 2 as if Xon received, 3/4 RTS on/off, 5/6 DTR on/off,
// 8/9 break on/off.
int Escape(Device* device, std::uint32_t code);
int TransmitChar(Device* device, char ch);

// Completion records; the record's event is manual-reset, signalled or not as asked.
int CreateOverlapped(Overlapped*& overlapped, bool signalled = true);
void DestroyOverlapped(Overlapped* overlapped);
Event* OverlappedEvent(Overlapped* overlapped);

// Starting a transfer: 0 when it completed at once (transferred is set), kErrorIoPending when it
// goes on, any other value when it could not be started.
int StartRead(Device* device, Overlapped* overlapped, void* buffer, std::uint32_t count,
              std::uint32_t& transferred);
int StartWrite(Device* device, Overlapped* overlapped, const void* buffer, std::uint32_t count,
               std::uint32_t& transferred);
// Lets a transfer that StartRead or StartWrite left pending go on by itself, without a waiter,
// as an asynchronous transfer does; nothing happens for a finished one, and on a platform whose
// transfers always go on by themselves. A synchronous transfer, whose caller waits for it at
// once, is not handed over.
void RunInBackground(Device* device, Overlapped* overlapped);
// Waits for the record's event (a record that never started a transfer is signalled); 0 when
// the event became signalled. There is no time limit while the device answers; on a device that
// has gone away, whose driver may never end what was pending, the wait cancels the record's
// transfer and returns the device's error instead.
int WaitOverlapped(Device* device, Overlapped* overlapped);
// The result of the record's transfer without waiting: 0 with the bytes moved, or
// kErrorIoIncomplete / kErrorIoPending while it goes on, or the transfer's error.
int OverlappedResult(Device* device, Overlapped* overlapped, std::uint32_t& transferred);

// Events.
int CreateSignalEvent(bool manualReset, bool initialState, Event*& event);
void DestroySignalEvent(Event* event);
int SetSignalEvent(Event* event);
int ResetSignalEvent(Event* event);
// Waits until one of the events is signalled (an auto-reset one is reset by the wait) or
// timeoutMs passes (-1: no limit). index is the event's position, or kWaitTimeout.
int WaitForEvents(Event* const* events, int count, int timeoutMs, int& index);

// Line events: the mask bits of the device interface (1 received byte, 2 event character,
// 4 transmit queue empty, 8 CTS, 16 DSR, 32 RLSD, 64 break, 128 line error, 256 ring,
// 1024 receive queue 80 % full). Setting the mask ends a pending event wait with an empty mask.
int SetEventMask(Device* device, std::uint32_t mask);
// Starts a wait for the events of the mask; the record's event is signalled when it ends, and
// the events that occurred are written to *mask then. Results as for StartRead.
int StartEventWait(Device* device, Overlapped* overlapped, std::uint32_t* mask);
// Ends the record's event wait if it is still pending, as a wait that is no longer wanted: a
// device that has gone away may refuse the new mask that would otherwise end it.
void CancelEventWait(Device* device, Overlapped* overlapped);

// Gives the calling thread a priority on the usual scale (0 idle ... 3 normal ... 6 critical);
// as far as the system lets an unprivileged process.
void ApplyCurrentThreadPriority(int priority);
// Names the calling thread for debuggers and system monitors, where the system has names.
void NameCurrentThread(const char* name);

// The names usable as a port name, unsorted.
int EnumPortNames(std::vector<std::string>& names);

} // namespace serial::backend
