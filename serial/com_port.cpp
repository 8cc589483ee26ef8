#include "serial/com_port.h"

#include "serial/app_exception.h"
#include "serial/backend.h"
#include "serial/com_thread.h"
#include "serial/native_records.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>

namespace serial {

namespace {

// Purge flags and modem-status bits of the device interface.
constexpr std::uint32_t kPurgeTxAbort = 1;
constexpr std::uint32_t kPurgeRxAbort = 2;
constexpr std::uint32_t kPurgeTxClear = 4;
constexpr std::uint32_t kPurgeRxClear = 8;

struct SignalLine {
    std::uint32_t line;
    TComSignal signal;
};
constexpr SignalLine kSignalLines[] = {{16, csCTS}, {32, csDSR}, {64, csRing}, {128, csRLSD}};

// The device's error flags; a parity error counts only while the port checks parity.
struct ErrorFlag {
    std::uint32_t flag;
    TComError error;
};
constexpr ErrorFlag kErrorFlags[] = {{8, ceFrame},  {4, ceRxParity}, {2, ceOverrun},
                                     {1, ceRxOver}, {256, ceTxFull}, {16, ceBreak},
                                     {1024, ceIO},  {32768, ceMode}};

// A negative count would be taken as a huge unsigned one by the device calls.
std::uint32_t ByteCount(int count) {
    return count > 0 ? static_cast<std::uint32_t>(count) : 0;
}

// The link callback each link event calls; events without one there call nothing.
template <typename Callback> struct LinkCallback {
    TComLinkEvent event;
    Callback TComLink::*member;
};

constexpr LinkCallback<TComSignalEvent> kSignalLinks[] = {
    {leConn, &TComLink::LinkConn}, {leCTS, &TComLink::LinkCTS}, {leDSR, &TComLink::LinkDSR},
    {leRLSD, &TComLink::LinkRLSD}, {leRx, &TComLink::LinkRx},   {leTx, &TComLink::LinkTx}};
constexpr LinkCallback<TNotifyEvent> kNotifyLinks[] = {{leRing, &TComLink::LinkRing},
                                                       {leTxEmpty, &TComLink::LinkTxEmpty},
                                                       {leRxFlag, &TComLink::LinkRxFlag}};

template <typename Callback, std::size_t N>
Callback TComLink::*MemberOf(const LinkCallback<Callback> (&table)[N], TComLinkEvent event) {
    for (const LinkCallback<Callback>& row : table)
        if (row.event == event)
            return row.member;
    return nullptr;
}

// Calls the callback `member` of every link that has it, in list order.
template <typename Callback, typename... Args>
void CallLinks(const std::vector<TComLink*>& list, Callback TComLink::*member,
               TCustomComPort& sender, const Args&... args) {
    if (list.empty() || !member)
        return; // the usual case: nothing to copy and visit on every transfer
    // A copy of the list: a callback may register or unregister links while we go.
    const std::vector<TComLink*> links = list;
    for (TComLink* link : links)
        if (link->*member)
            (link->*member)(sender, args...);
}

// The queue counts, hold flags and error flags of the device; the query clears the errors.
backend::TCommStatus CommStatus(backend::Device* device) {
    backend::TCommStatus status;
    if (int err = backend::ClearError(device, status); err != 0)
        throw EComPort(CError_ClearComFailed, err);
    return status;
}

} // namespace

// ---- asynchronous records ----

void InitAsync(PAsync& asyncPtr) {
    auto record = std::make_unique<TAsync>();
    if (int err = backend::CreateOverlapped(record->Overlapped); err != 0)
        throw EComPort(CError_InvalidAsync, err);
    asyncPtr = record.release();
}

void DoneAsync(PAsync& asyncPtr) {
    if (!asyncPtr)
        return;
    backend::DestroyOverlapped(asyncPtr->Overlapped);
    delete[] asyncPtr->WriteCopy;
    delete asyncPtr;
    asyncPtr = nullptr;
}

namespace {

// Releases a record made for one synchronous transfer, whatever happens to the transfer.
struct AsyncGuard {
    PAsync record = nullptr;
    AsyncGuard() { InitAsync(record); }
    ~AsyncGuard() { DoneAsync(record); }
    AsyncGuard(const AsyncGuard&) = delete;
    AsyncGuard& operator=(const AsyncGuard&) = delete;
};

} // namespace

// ---- construction ----

TCustomComPort::TCustomComPort() {
    parity_.SetComPort(this);
    flowControl_.SetComPort(this);
    timeouts_.SetComPort(this);
    buffer_.SetComPort(this);
}

TCustomComPort::~TCustomComPort() {
    // A destructor must not throw: when closing fails (for instance a device that has gone
    // away refuses the purge), the thread is still stopped and the device still released.
    try {
        Close();
    } catch (...) {
        try {
            StopEventThread();
        } catch (...) {
        }
        DestroyHandle();
        connected_ = false;
    }
    ReapRetiredThreads();
    // Left only when the port is destroyed by one of its own handlers: that thread cannot be
    // waited for, so it ends on its own.
    for (TComThread* thread : retiredThreads_)
        thread->Abandon();
}

// ---- component state ----

void TCustomComPort::SetDesigning(bool value) {
    if (value)
        componentState_.insert(csDesigning);
    else
        componentState_.erase(csDesigning);
}

void TCustomComPort::Loaded() {
    componentState_.erase(csLoading);
    if (connected_ && !componentState_.contains(csDesigning)) {
        connected_ = false;
        try {
            Open();
        } catch (...) {
            HandleApplicationException(std::current_exception());
        }
    }
}

bool TCustomComPort::Live() const {
    return !componentState_.contains(csDesigning) && !componentState_.contains(csLoading);
}

bool TCustomComPort::CanApply() const {
    return connected_ && updateDepth_ == 0 && Live();
}

template <typename T> void TCustomComPort::ChangeLineSetting(T& field, T value) {
    if (value == field)
        return;
    field = value;
    ApplyDCB();
}

// ---- property setters ----

void TCustomComPort::SetConnected(bool value) {
    if (!Live()) {
        connected_ = value;
        return;
    }
    if (value == connected_)
        return;
    if (value)
        Open();
    else
        Close();
}

void TCustomComPort::SetBaudRate(TBaudRate value) {
    ChangeLineSetting(baudRate_, value);
}

void TCustomComPort::SetPort(const std::string& value) {
    if (value == port_)
        return;
    port_ = value;
    if (connected_ && Live()) {
        Close();
        Open();
    }
}

void TCustomComPort::SetParity(const TComParity& value) {
    value.AssignTo(parity_);
    ApplyDCB();
}

void TCustomComPort::SetStopBits(TStopBits value) {
    ChangeLineSetting(stopBits_, value);
}

void TCustomComPort::SetDataBits(TDataBits value) {
    ChangeLineSetting(dataBits_, value);
}

void TCustomComPort::SetDiscardNull(bool value) {
    ChangeLineSetting(discardNull_, value);
}

void TCustomComPort::SetEventChar(char value) {
    ChangeLineSetting(eventChar_, value);
}

void TCustomComPort::SetBuffer(const TComBuffer& value) {
    value.AssignTo(buffer_);
    ApplyBuffer();
}

void TCustomComPort::SetFlowControl(const TComFlowControl& value) {
    value.AssignTo(flowControl_);
    ApplyDCB();
}

void TCustomComPort::SetTimeouts(const TComTimeouts& value) {
    value.AssignTo(timeouts_);
    ApplyTimeouts();
}

void TCustomComPort::SetSyncMethod(TSyncMethod value) {
    if (connected_ && Live())
        throw EComPort(CError_ConnChangeProp);
    syncMethod_ = value;
}

void TCustomComPort::SetCustomBaudRate(int value) {
    ChangeLineSetting(customBaudRate_, value);
}

void TCustomComPort::SetEventThreadPriority(TThreadPriority value) {
    if (connected_ && Live())
        throw EComPort(CError_ConnChangeProp);
    eventThreadPriority_ = value;
}

void TCustomComPort::SetTriggersOnRxChar(bool value) {
    if (rxBufLinked_)
        throw EComPort(CError_HasLink);
    triggersOnRxChar_ = value;
}

// ---- opening and closing ----

void TCustomComPort::Open() {
    if (connected_ || componentState_.contains(csDesigning))
        return;
    // A thread stopped by a Close from its own handler no longer holds the device, but must be
    // gone before a new one starts.
    ReapRetiredThreads();
    CallBeforeOpen();
    CreateHandle();
    connected_ = true;
    try {
        SetupComPort();
        if (events_.empty())
            watchThreadRunning_ = false;
        else
            StartEventThread();
    } catch (...) {
        StopEventThread();
        DestroyHandle();
        connected_ = false;
        throw;
    }
    CallAfterOpen();
}

void TCustomComPort::Close() {
    // A Close that is already under way finishes the job: code that runs inside it (a hook, or
    // a handler that the wait for the event thread delivers) and closes the port again changes
    // nothing, so the hooks run once and the thread is destroyed once.
    if (!connected_ || closing_ || componentState_.contains(csDesigning))
        return;
    struct ClosingState {
        bool& closing;
        explicit ClosingState(bool& flag) : closing(flag) { closing = true; }
        ~ClosingState() { closing = false; }
        ClosingState(const ClosingState&) = delete;
        ClosingState& operator=(const ClosingState&) = delete;
    } closingState(closing_);
    CallBeforeClose();
    try {
        AbortAllAsync();
    } catch (const EComPort&) {
        // Purging is best effort: a device that has gone away (an unplugged adapter) refuses it
        // with whatever error its driver has, and releasing the handle ends the transfers still
        // pending anyway. The port is released whatever the device says, or it would stay
        // "connected" to a dead handle and no later transaction could open it again.
    }
    StopEventThread();
    DestroyHandle();
    connected_ = false;
    CallAfterClose();
}

void TCustomComPort::CreateHandle() {
    backend::Device* device = nullptr;
    if (int err = backend::OpenDevice(port_, device); err != 0)
        throw EComPort(CError_OpenFailed, err);
    deviceHandle_ = device;
}

void TCustomComPort::DestroyHandle() {
    if (deviceHandle_) {
        backend::CloseDevice(deviceHandle_);
        deviceHandle_ = nullptr;
    }
}

void TCustomComPort::SetupComPort() {
    ApplyBuffer();
    ApplyDCB();
    ApplyTimeouts();
}

void TCustomComPort::CallBeforeOpen() {
    DoBeforeOpen();
}

void TCustomComPort::CallAfterOpen() {
    SendSignalToLink(leConn, true);
    DoAfterOpen();
    CallCTSChange();
    CallDSRChange();
    CallRLSDChange();
}

void TCustomComPort::CallBeforeClose() {
    SendSignalToLink(leCTS, false);
    SendSignalToLink(leDSR, false);
    SendSignalToLink(leRLSD, false);
    DoCTSChange(false);
    DoDSRChange(false);
    DoRLSDChange(false);
    DoBeforeClose();
}

void TCustomComPort::CallAfterClose() {
    SendSignalToLink(leConn, false);
    DoAfterClose();
}

// ---- applying settings ----

void TCustomComPort::BeginUpdate() {
    ++updateDepth_;
}

void TCustomComPort::EndUpdate() {
    if (updateDepth_ <= 0)
        return;
    if (--updateDepth_ == 0)
        SetupComPort();
}

void TCustomComPort::ApplyDCB() {
    if (!CanApply())
        return;
    if (int err = backend::ApplyLineSettings(deviceHandle_, BuildDcb(*this)); err != 0)
        throw EComPort(CError_SetStateFailed, err);
}

void TCustomComPort::ApplyTimeouts() {
    if (!CanApply())
        return;
    if (int err = backend::ApplyTimeouts(deviceHandle_, BuildTimeouts(*this)); err != 0)
        throw EComPort(CError_TimeoutsFailed, err);
}

void TCustomComPort::ApplyBuffer() {
    if (!CanApply())
        return;
    if (int err = backend::ApplyQueueSizes(deviceHandle_, BuildQueueSizes(*this)); err != 0)
        throw EComPort(CError_SetupComFailed, err);
}

void TCustomComPort::ShowSetupDialog() {
    // The setup dialog belongs to the component family's extras, which this tool does not use.
}

// ---- transfers ----

int TCustomComPort::WriteAsync(const void* buffer, int count, PAsync& asyncPtr) {
    return StartWriteRecord(buffer, count, asyncPtr, true);
}

int TCustomComPort::StartWriteRecord(const void* buffer, int count, PAsync& asyncPtr,
                                     bool background) {
    if (!asyncPtr)
        throw EComPort(CError_InvalidAsync);
    std::uint32_t size = ByteCount(count);
    asyncPtr->Operation = okWrite;
    delete[] asyncPtr->WriteCopy;
    asyncPtr->WriteCopy = nullptr;
    asyncPtr->WriteCopySize = 0;
    if (size > 0) {
        asyncPtr->WriteCopy = new char[size];
        std::memcpy(asyncPtr->WriteCopy, buffer, size);
    }
    asyncPtr->WriteCopySize = static_cast<int>(size);
    std::uint32_t transferred = 0;
    int err = backend::StartWrite(deviceHandle_, asyncPtr->Overlapped, asyncPtr->WriteCopy, size,
                                  transferred);
    if (err != 0 && err != backend::kErrorIoPending)
        throw EComPort(CError_WriteFailed, err);
    if (background && err != 0)
        backend::RunInBackground(deviceHandle_, asyncPtr->Overlapped);
    SendSignalToLink(leTx, true);
    return static_cast<int>(transferred);
}

int TCustomComPort::ReadAsync(void* buffer, int count, PAsync& asyncPtr) {
    return StartReadRecord(buffer, count, asyncPtr, true);
}

int TCustomComPort::StartReadRecord(void* buffer, int count, PAsync& asyncPtr, bool background) {
    if (!asyncPtr)
        throw EComPort(CError_InvalidAsync);
    asyncPtr->Operation = okRead;
    std::uint32_t transferred = 0;
    int err = backend::StartRead(deviceHandle_, asyncPtr->Overlapped, buffer, ByteCount(count),
                                 transferred);
    if (err != 0 && err != backend::kErrorIoPending)
        throw EComPort(CError_ReadFailed, err);
    if (background && err != 0)
        backend::RunInBackground(deviceHandle_, asyncPtr->Overlapped);
    return static_cast<int>(transferred);
}

int TCustomComPort::ReadStrAsync(std::string& str, int count, PAsync& asyncPtr) {
    str.resize(ByteCount(count));
    if (count <= 0)
        return 0;
    return ReadAsync(str.data(), count, asyncPtr);
}

int TCustomComPort::WriteStrAsync(const std::string& str, PAsync& asyncPtr) {
    if (str.empty())
        return 0;
    return WriteAsync(str.data(), static_cast<int>(str.size()), asyncPtr);
}

int TCustomComPort::WaitForAsync(PAsync& asyncPtr) {
    if (!asyncPtr)
        throw EComPort(CError_InvalidAsync);
    int failCode = asyncPtr->Operation == okWrite ? CError_WriteFailed : CError_ReadFailed;
    if (int err = backend::WaitOverlapped(deviceHandle_, asyncPtr->Overlapped); err != 0)
        throw EComPort(failCode, err);
    std::uint32_t transferred = 0;
    if (int err = backend::OverlappedResult(deviceHandle_, asyncPtr->Overlapped, transferred);
        err != 0)
        throw EComPort(failCode, err);
    if (asyncPtr->Operation == okRead) {
        if (InputCount() == 0)
            SendSignalToLink(leRx, false);
    } else if (asyncPtr->WriteCopy) {
        // Only a write hands its bytes to the links: a record reused for a read after a write
        // still holds the old copy, which is not what was just transferred.
        TxNotifyLink(asyncPtr->WriteCopy, asyncPtr->WriteCopySize);
    }
    return static_cast<int>(transferred);
}

bool TCustomComPort::IsAsyncCompleted(PAsync asyncPtr) {
    if (!asyncPtr)
        throw EComPort(CError_InvalidAsync);
    std::uint32_t transferred = 0;
    int err = backend::OverlappedResult(deviceHandle_, asyncPtr->Overlapped, transferred);
    if (err == 0)
        return true;
    if (err == backend::kErrorIoIncomplete || err == backend::kErrorIoPending)
        return false;
    throw EComPort(CError_AsyncCheck, err);
}

int TCustomComPort::Read(void* buffer, int count) {
    AsyncGuard guard;
    StartReadRecord(buffer, count, guard.record, false);
    return WaitForAsync(guard.record);
}

int TCustomComPort::Write(const void* buffer, int count) {
    AsyncGuard guard;
    StartWriteRecord(buffer, count, guard.record, false);
    return WaitForAsync(guard.record);
}

int TCustomComPort::ReadStr(std::string& str, int count) {
    str.resize(ByteCount(count));
    int n = Read(str.data(), count);
    str.resize(static_cast<std::size_t>(n));
    return n;
}

int TCustomComPort::WriteStr(const std::string& str) {
    if (str.empty())
        return 0;
    return Write(str.data(), static_cast<int>(str.size()));
}

void TCustomComPort::AbortAllAsync() {
    if (int err = backend::Purge(deviceHandle_, kPurgeTxAbort | kPurgeRxAbort); err != 0)
        throw EComPort(CError_PurgeFailed, err);
}

// ---- queries ----

int TCustomComPort::InputCount() {
    return static_cast<int>(CommStatus(deviceHandle_).InQueue);
}

int TCustomComPort::OutputCount() {
    return static_cast<int>(CommStatus(deviceHandle_).OutQueue);
}

std::uint8_t TCustomComPort::StateFlags() {
    return CommStatus(deviceHandle_).HoldFlags;
}

TComErrors TCustomComPort::LastErrors() {
    const std::uint32_t flags = CommStatus(deviceHandle_).Errors;
    TComErrors errors;
    for (const ErrorFlag& row : kErrorFlags)
        if ((flags & row.flag) && (row.error != ceRxParity || parity_.Check()))
            errors.insert(row.error);
    return errors;
}

TComSignals TCustomComPort::Signals() {
    std::uint32_t lines = 0;
    if (int err = backend::ModemStatus(deviceHandle_, lines); err != 0) {
        // A device without modem lines (a pseudo-terminal, some virtual COM drivers) says the
        // query is not supported: its lines are reported off rather than failing every Open.
        if (!backend::IsModemStatusUnsupported(err))
            throw EComPort(CError_ModemStatFailed, err);
        lines = 0;
    }
    TComSignals signals;
    for (const SignalLine& row : kSignalLines)
        if (lines & row.line)
            signals.insert(row.signal);
    return signals;
}

void TCustomComPort::ClearBuffer(bool input, bool output) {
    std::uint32_t flags = (input ? kPurgeRxClear : 0) | (output ? kPurgeTxClear : 0);
    if (int err = backend::Purge(deviceHandle_, flags); err != 0)
        throw EComPort(CError_PurgeFailed, err);
}

// ---- line control ----

namespace {

void EscapeOrThrow(backend::Device* device, std::uint32_t code) {
    if (int err = backend::Escape(device, code); err != 0)
        throw EComPort(CError_EscapeComFailed, err);
}

} // namespace

void TCustomComPort::SetDTR(bool onOff) {
    EscapeOrThrow(deviceHandle_, onOff ? 5 : 6);
}
void TCustomComPort::SetRTS(bool onOff) {
    EscapeOrThrow(deviceHandle_, onOff ? 3 : 4);
}
void TCustomComPort::SetBreak(bool onOff) {
    EscapeOrThrow(deviceHandle_, onOff ? 8 : 9);
}
void TCustomComPort::SetXonXoff(bool onOff) {
    EscapeOrThrow(deviceHandle_, onOff ? 2 : 1);
}

void TCustomComPort::TransmitChar(char ch) {
    if (int err = backend::TransmitChar(deviceHandle_, ch); err != 0)
        throw EComPort(CError_TransmitFailed, err);
}

// ---- links ----

void TCustomComPort::RegisterLink(TComLink* link) {
    if (!link || std::find(links_.begin(), links_.end(), link) != links_.end())
        throw EComPort(CError_RegFailed);
    links_.push_back(link);
    rxBufLinked_ = HasLink();
}

void TCustomComPort::UnRegisterLink(TComLink* link) {
    auto it = std::find(links_.begin(), links_.end(), link);
    if (!link || it == links_.end())
        throw EComPort(CError_RegFailed);
    links_.erase(it);
    rxBufLinked_ = HasLink();
}

bool TCustomComPort::HasLink() const {
    return std::any_of(links_.begin(), links_.end(),
                       [](const TComLink* link) { return static_cast<bool>(link->LinkRxBuf); });
}

void TCustomComPort::SendSignalToLink(TComLinkEvent event, bool onOff) {
    CallLinks(links_, MemberOf(kSignalLinks, event), *this, onOff);
}

void TCustomComPort::NotifyLink(TComLinkEvent event) {
    CallLinks(links_, MemberOf(kNotifyLinks, event), *this);
}

void TCustomComPort::TxNotifyLink(const void* buffer, int count) {
    CallLinks(links_, &TComLink::LinkTxBuf, *this, buffer, count);
}

// ---- signal reports and event handlers ----

void TCustomComPort::ReportSignal(TComSignal signal, TComLinkEvent linkEvent,
                                  void (TCustomComPort::*hook)(bool)) {
    bool onOff = Signals().contains(signal);
    SendSignalToLink(linkEvent, onOff);
    (this->*hook)(onOff);
}

void TCustomComPort::CallCTSChange() {
    ReportSignal(csCTS, leCTS, &TCustomComPort::DoCTSChange);
}

void TCustomComPort::CallDSRChange() {
    ReportSignal(csDSR, leDSR, &TCustomComPort::DoDSRChange);
}

void TCustomComPort::CallRLSDChange() {
    ReportSignal(csRLSD, leRLSD, &TCustomComPort::DoRLSDChange);
}

void TCustomComPort::CallError() {
    TComErrors errors = LastErrors();
    if (!errors.empty())
        DoError(errors);
}

void TCustomComPort::CallRxChar() {
    int count = InputCount();
    if (count > 0)
        SendSignalToLink(leRx, true);
    if (count > 0 && !GetTriggersOnRxChar()) {
        // The waiting bytes are read at most once, on the first need, and handed to OnRxBuf
        // and to every link that wants them.
        std::unique_ptr<char[]> bytes;
        int got = 0;
        auto readOnce = [&] {
            if (bytes)
                return;
            bytes = std::make_unique<char[]>(static_cast<std::size_t>(count));
            // Hand on only what was really read: fewer bytes than counted (a purge in between,
            // discarded zero bytes) must not pass uninitialised bytes on as data.
            got = Read(bytes.get(), count);
            DoRxBuf(bytes.get(), got);
        };
        const std::vector<TComLink*> links = links_;
        for (TComLink* link : links) {
            if (!link->LinkRxBuf)
                continue;
            readOnce();
            link->LinkRxBuf(*this, bytes.get(), got);
        }
        if (!bytes && !triggersOnRxChar_)
            readOnce();
        if (bytes)
            count = 0;
    }
    if (count > 0)
        DoRxChar(count);
}

void TCustomComPort::CallTxEmpty() {
    SendSignalToLink(leTx, false);
    NotifyLink(leTxEmpty);
    DoTxEmpty();
}

void TCustomComPort::CallBreak() {
    DoBreak();
}

void TCustomComPort::CallRing() {
    NotifyLink(leRing);
    DoRing();
}

void TCustomComPort::CallRxFlag() {
    NotifyLink(leRxFlag);
    DoRxFlag();
}

void TCustomComPort::CallRx80Full() {
    DoRx80Full();
}

// ---- unit functions ----

void EnumComPorts(std::vector<std::string>& list) {
    std::vector<std::string> names;
    if (int err = backend::EnumPortNames(names); err != 0)
        throw EComPort(CError_RegError, err);
    std::sort(names.begin(), names.end());
    list = std::move(names);
}

} // namespace serial
