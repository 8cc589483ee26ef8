// A USB adapter on the Win32 backend, through the system-call seam: a device whose driver the
// test plays in full, pulled out with each error that removal gives (its calls refused, its
// transfers and event waits left pending for ever, as some adapters' drivers leave them), then
// put back. The port must fail the exchange at once, give the handle back on Close without
// waiting for ever, and open again.

// The printer part of windows.h would turn the port's SetPort into SetPortA.
#define WIN32_LEAN_AND_MEAN
#include "serial/com_port.h"
#include "serial/port_error_explainer.h"
#include "serial/win32_syscalls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <cwchar>
#include <mutex>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include <windows.h>

namespace {

using namespace serial;
using Clock = std::chrono::steady_clock;

constexpr ULONG_PTR kStatusPending = 0x103;
constexpr ULONG_PTR kStatusCancelled = 0xC0000120;

// The driver of one COM port, played by the test; every other device goes to the system.
class FakeAdapter : public backend::win32::SystemCalls {
public:
    static constexpr const char* kPort = "COM239";

    FakeAdapter() { backend::win32::InstallSystemCalls(this); }
    ~FakeAdapter() override { backend::win32::InstallSystemCalls(nullptr); }
    FakeAdapter(const FakeAdapter&) = delete;
    FakeAdapter& operator=(const FakeAdapter&) = delete;

    // Pulled out: the calls fail with error, transfers and event waits never end by themselves.
    // With eventsOnly just the event mask and its waits fail (the rest still answers), so only
    // a cancel can end a pending event wait.
    void Pull(DWORD error, bool eventsOnly) {
        std::lock_guard lock(mutex_);
        error_ = error;
        eventsOnly_ = eventsOnly;
    }
    void PutBack() { Pull(0, false); }
    std::size_t OpenHandles() const {
        std::lock_guard lock(mutex_);
        return handles_.size();
    }
    bool EventWaitPending() const {
        std::lock_guard lock(mutex_);
        return !eventWaits_.empty();
    }
    std::size_t PendingRecords() const {
        std::lock_guard lock(mutex_);
        return pending_.size();
    }

    HANDLE CreateFileW(const wchar_t* name) override {
        if (std::wcscmp(name, L"\\\\.\\COM239") != 0)
            return SystemCalls::CreateFileW(name);
        std::lock_guard lock(mutex_);
        if (error_ != 0) {
            ::SetLastError(ERROR_FILE_NOT_FOUND);
            return INVALID_HANDLE_VALUE;
        }
        HANDLE handle = ::CreateEventW(nullptr, TRUE, FALSE, nullptr); // stands for the device
        handles_.insert(handle);
        return handle;
    }
    BOOL CloseHandle(HANDLE device) override {
        std::lock_guard lock(mutex_);
        if (!handles_.erase(device))
            return SystemCalls::CloseHandle(device);
        return ::CloseHandle(device);
    }
    BOOL SetCommState(HANDLE device, DCB* dcb) override {
        return Ours(device) ? Answer(false) : SystemCalls::SetCommState(device, dcb);
    }
    BOOL SetCommTimeouts(HANDLE device, COMMTIMEOUTS* t) override {
        return Ours(device) ? Answer(false) : SystemCalls::SetCommTimeouts(device, t);
    }
    BOOL SetupComm(HANDLE device, DWORD in, DWORD out) override {
        return Ours(device) ? Answer(false) : SystemCalls::SetupComm(device, in, out);
    }
    BOOL PurgeComm(HANDLE device, DWORD flags) override {
        return Ours(device) ? Answer(false) : SystemCalls::PurgeComm(device, flags);
    }
    BOOL ClearCommError(HANDLE device, DWORD* errors, COMSTAT* status) override {
        if (!Ours(device))
            return SystemCalls::ClearCommError(device, errors, status);
        *errors = 0;
        std::memset(status, 0, sizeof *status);
        return Answer(false);
    }
    BOOL GetCommModemStatus(HANDLE device, DWORD* status) override {
        if (!Ours(device))
            return SystemCalls::GetCommModemStatus(device, status);
        *status = 0;
        return Answer(false);
    }
    BOOL EscapeCommFunction(HANDLE device, DWORD code) override {
        return Ours(device) ? Answer(false) : SystemCalls::EscapeCommFunction(device, code);
    }
    BOOL ReadFile(HANDLE device, void* buffer, DWORD count, DWORD* done, OVERLAPPED* ov) override {
        if (!Ours(device))
            return SystemCalls::ReadFile(device, buffer, count, done, ov);
        return Transfer(ov, 0, done);
    }
    BOOL WriteFile(HANDLE device, const void* buffer, DWORD count, DWORD* done,
                   OVERLAPPED* ov) override {
        if (!Ours(device))
            return SystemCalls::WriteFile(device, buffer, count, done, ov);
        return Transfer(ov, count, done);
    }
    BOOL GetOverlappedResult(HANDLE device, OVERLAPPED* ov, DWORD* done, BOOL wait) override {
        if (!Ours(device))
            return SystemCalls::GetOverlappedResult(device, ov, done, wait);
        if (ov->Internal == kStatusPending) {
            ::SetLastError(ERROR_IO_INCOMPLETE);
            return FALSE;
        }
        *done = static_cast<DWORD>(ov->InternalHigh);
        if (ov->Internal == 0)
            return TRUE;
        ::SetLastError(ERROR_OPERATION_ABORTED);
        return FALSE;
    }
    BOOL CancelIoEx(HANDLE device, OVERLAPPED* ov) override {
        if (!Ours(device))
            return SystemCalls::CancelIoEx(device, ov);
        std::lock_guard lock(mutex_);
        for (auto it = pending_.begin(); it != pending_.end();) {
            if (ov && *it != ov) {
                ++it;
                continue;
            }
            (*it)->Internal = kStatusCancelled;
            ::SetEvent((*it)->hEvent);
            eventWaits_.erase(*it);
            it = pending_.erase(it);
        }
        return TRUE;
    }
    BOOL SetCommMask(HANDLE device, DWORD mask) override {
        if (!Ours(device))
            return SystemCalls::SetCommMask(device, mask);
        std::lock_guard lock(mutex_);
        if (error_ != 0) {
            ::SetLastError(error_);
            return FALSE;
        }
        // A new mask ends the event wait in progress with no events.
        for (OVERLAPPED* wait : eventWaits_) {
            wait->Internal = 0;
            ::SetEvent(wait->hEvent);
            pending_.erase(std::remove(pending_.begin(), pending_.end(), wait), pending_.end());
        }
        eventWaits_.clear();
        return TRUE;
    }
    BOOL WaitCommEvent(HANDLE device, DWORD* mask, OVERLAPPED* ov) override {
        if (!Ours(device))
            return SystemCalls::WaitCommEvent(device, mask, ov);
        std::lock_guard lock(mutex_);
        if (error_ != 0) {
            ::SetLastError(error_);
            return FALSE;
        }
        *mask = 0;
        Hang(ov);
        eventWaits_.insert(ov);
        ::SetLastError(ERROR_IO_PENDING);
        return FALSE;
    }

private:
    bool Ours(HANDLE device) const {
        std::lock_guard lock(mutex_);
        return handles_.count(device) != 0;
    }
    // Success, or the pulled adapter's error (the event calls only, if only they fail).
    BOOL Answer(bool eventCall) const {
        std::lock_guard lock(mutex_);
        if (error_ != 0 && (eventCall || !eventsOnly_)) {
            ::SetLastError(error_);
            return FALSE;
        }
        return TRUE;
    }
    // Completes at once while plugged in; pulled out, never by itself.
    BOOL Transfer(OVERLAPPED* ov, DWORD count, DWORD* done) {
        std::lock_guard lock(mutex_);
        if (error_ != 0 && !eventsOnly_) {
            Hang(ov);
            ::SetLastError(ERROR_IO_PENDING);
            return FALSE;
        }
        ov->Internal = 0;
        ov->InternalHigh = count;
        ::SetEvent(ov->hEvent);
        *done = count;
        return TRUE;
    }
    void Hang(OVERLAPPED* ov) {
        ov->Internal = kStatusPending;
        ::ResetEvent(ov->hEvent);
        pending_.push_back(ov);
    }

    mutable std::mutex mutex_;
    std::set<HANDLE> handles_;
    std::vector<OVERLAPPED*> pending_;
    std::set<OVERLAPPED*> eventWaits_;
    DWORD error_ = 0;
    bool eventsOnly_ = false;
};

long long MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

struct PullRow {
    const char* name;
    DWORD error;
    bool eventsOnly;
};

void PrintTo(const PullRow& row, std::ostream* os) {
    *os << row.name;
}

class PulledAdapter : public ::testing::TestWithParam<PullRow> {};

TEST_P(PulledAdapter, FailsTheExchangeGivesTheHandleBackAndOpensAgain) {
    const PullRow& r = GetParam();
    FakeAdapter adapter;
    TComPort port;
    port.SetEvents({evRx80Full}); // the tool's port: its event thread waits on the device
    port.SetSyncMethod(smNone);
    port.SetPort(FakeAdapter::kPort);
    port.Open();
    ASSERT_EQ(port.WriteStr("$8\r\n"), 4);
    // Pulled out while the event thread waits on the device, as it does for the tool's port.
    const auto opened = Clock::now();
    while (!adapter.EventWaitPending() && MsSince(opened) < 3000)
        ::Sleep(1);
    ASSERT_TRUE(adapter.EventWaitPending());

    adapter.Pull(r.error, r.eventsOnly);
    if (!r.eventsOnly) {
        try {
            port.InputCount();
            ADD_FAILURE() << "the queue of a pulled adapter was counted";
        } catch (const EComPort& e) {
            EXPECT_EQ(e.Code(), CError_ClearComFailed);
            EXPECT_EQ(e.WinErrorCode(), static_cast<int>(r.error));
            EXPECT_EQ(ExplainPortError(e, port.Port()).fault, PortFault::Disconnected);
        }
        // A write the driver never ends is given up once the device no longer answers.
        try {
            port.WriteStr("$H\r\n");
            ADD_FAILURE() << "a write to a pulled adapter went through";
        } catch (const EComPort& e) {
            EXPECT_EQ(e.Code(), CError_WriteFailed);
            EXPECT_EQ(e.WinErrorCode(), static_cast<int>(r.error));
        }
    }

    EXPECT_NO_THROW(port.Close());
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(adapter.OpenHandles(), 0u);
    EXPECT_EQ(adapter.PendingRecords(), 0u);

    adapter.PutBack();
    ASSERT_NO_THROW(port.Open());
    EXPECT_EQ(port.WriteStr("ok"), 2);
    EXPECT_EQ(port.InputCount(), 0);
    port.Close();
    EXPECT_EQ(adapter.OpenHandles(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Removal, PulledAdapter,
    ::testing::Values(PullRow{"bad_command", ERROR_BAD_COMMAND, false},
                      PullRow{"operation_aborted", ERROR_OPERATION_ABORTED, false},
                      PullRow{"access_denied", ERROR_ACCESS_DENIED, false},
                      PullRow{"gen_failure", ERROR_GEN_FAILURE, false},
                      PullRow{"device_not_connected", ERROR_DEVICE_NOT_CONNECTED, false},
                      // Only the event wait hangs: the thread must cancel it before it waits.
                      PullRow{"event_wait_only", ERROR_GEN_FAILURE, true}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
