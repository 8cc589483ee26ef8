// The serial-port component: one serial device of the operating system, its line settings,
// transfers, queries, line control and links.
#pragma once

#include "serial/com_error.h"
#include "serial/com_settings.h"
#include "serial/com_types.h"

#include <cstdint>
#include <string>
#include <vector>

namespace serial {

namespace backend {
struct Device;
struct Overlapped;
} // namespace backend

class TComThread;
class TSyncWindow;
class TSignalEvent;
class SettingsFile;
class RegistryKey;

// The record of one asynchronous transfer; made by InitAsync, released by DoneAsync.
struct TAsync {
    backend::Overlapped* Overlapped = nullptr; // completion record with its manual-reset event
    TOperationKind Operation = okWrite;
    char* WriteCopy = nullptr; // owned copy of the bytes of the last write
    int WriteCopySize = 0;
};
using PAsync = TAsync*;

void InitAsync(PAsync& asyncPtr);
void DoneAsync(PAsync& asyncPtr);

// A set of callbacks another component registers with a port; the port never owns it.
class TComLink {
public:
    TComSignalEvent LinkConn;
    TRxBufEvent LinkRxBuf;
    TRxBufEvent LinkTxBuf;
    TNotifyEvent LinkTxEmpty;
    TNotifyEvent LinkRxFlag;
    TComSignalEvent LinkCTS;
    TComSignalEvent LinkDSR;
    TComSignalEvent LinkRLSD;
    TNotifyEvent LinkRing;
    TComSignalEvent LinkTx;
    TComSignalEvent LinkRx;
};

// One message of the hidden event window: its number and two parameters.
struct TMessage {
    unsigned Msg = 0;
    std::uintptr_t WParam = 0;
    std::intptr_t LParam = 0;
    std::intptr_t Result = 0;
};

class TCustomComPort {
public:
    TCustomComPort();
    virtual ~TCustomComPort();
    TCustomComPort(const TCustomComPort&) = delete;
    TCustomComPort& operator=(const TCustomComPort&) = delete;

    // ---- properties ----
    bool Connected() const { return connected_; }
    void SetConnected(bool value);
    TBaudRate BaudRate() const { return baudRate_; }
    void SetBaudRate(TBaudRate value);
    const std::string& Port() const { return port_; }
    void SetPort(const std::string& value);
    TComParity& Parity() { return parity_; }
    const TComParity& Parity() const { return parity_; }
    void SetParity(const TComParity& value);
    TStopBits StopBits() const { return stopBits_; }
    void SetStopBits(TStopBits value);
    TDataBits DataBits() const { return dataBits_; }
    void SetDataBits(TDataBits value);
    bool DiscardNull() const { return discardNull_; }
    void SetDiscardNull(bool value);
    char EventChar() const { return eventChar_; }
    void SetEventChar(char value);
    TComEvents Events() const { return events_; }
    void SetEvents(TComEvents value) { events_ = value; }
    TComBuffer& Buffer() { return buffer_; }
    const TComBuffer& Buffer() const { return buffer_; }
    void SetBuffer(const TComBuffer& value);
    TComFlowControl& FlowControl() { return flowControl_; }
    const TComFlowControl& FlowControl() const { return flowControl_; }
    void SetFlowControl(const TComFlowControl& value);
    TComTimeouts& Timeouts() { return timeouts_; }
    const TComTimeouts& Timeouts() const { return timeouts_; }
    void SetTimeouts(const TComTimeouts& value);
    TSyncMethod SyncMethod() const { return syncMethod_; }
    void SetSyncMethod(TSyncMethod value);
    int CustomBaudRate() const { return customBaudRate_; }
    void SetCustomBaudRate(int value);
    TThreadPriority EventThreadPriority() const { return eventThreadPriority_; }
    void SetEventThreadPriority(TThreadPriority value);
    bool TriggersOnRxChar() const { return triggersOnRxChar_; }
    void SetTriggersOnRxChar(bool value);
    TStoredProps StoredProps() const { return storedProps_; }
    void SetStoredProps(TStoredProps value) { storedProps_ = value; }

    // The component's name; the settings persistence uses it as its section name.
    const std::string& Name() const { return name_; }
    void SetName(const std::string& value) { name_ = value; }

    // Component state: designing (in a form designer) and loading (from a form resource).
    TComponentState ComponentState() const { return componentState_; }
    void SetDesigning(bool value);
    // Marks the start of loading from a form resource; Loaded ends it.
    void BeginLoading() { componentState_.insert(csLoading); }
    virtual void Loaded();

    // ---- callbacks ----
    TNotifyEvent OnAfterOpen;
    TNotifyEvent OnAfterClose;
    TNotifyEvent OnBeforeOpen;
    TNotifyEvent OnBeforeClose;
    TRxCharEvent OnRxChar;
    TRxBufEvent OnRxBuf;
    TNotifyEvent OnTxEmpty;
    TNotifyEvent OnBreak;
    TNotifyEvent OnRing;
    TComSignalEvent OnCTSChange;
    TComSignalEvent OnDSRChange;
    TComSignalEvent OnRLSDChange;
    TNotifyEvent OnRxFlag;
    TComErrorEvent OnError;
    TNotifyEvent OnRx80Full;

    // ---- operations ----
    void Open();
    // Called again while a Close is under way (from a hook, or from a handler that the wait for
    // the event thread delivers), it returns at once: the outer Close finishes the job.
    void Close();
    void BeginUpdate();
    void EndUpdate();
    void ShowSetupDialog();

    int Read(void* buffer, int count);
    int Write(const void* buffer, int count);
    int ReadStr(std::string& str, int count);
    int WriteStr(const std::string& str);
    int ReadAsync(void* buffer, int count, PAsync& asyncPtr);
    int WriteAsync(const void* buffer, int count, PAsync& asyncPtr);
    int ReadStrAsync(std::string& str, int count, PAsync& asyncPtr);
    int WriteStrAsync(const std::string& str, PAsync& asyncPtr);
    int WaitForAsync(PAsync& asyncPtr);
    bool IsAsyncCompleted(PAsync asyncPtr);
    void AbortAllAsync();

    int InputCount();
    int OutputCount();
    TComSignals Signals();
    std::uint8_t StateFlags();
    TComErrors LastErrors();
    void ClearBuffer(bool input, bool output);

    void SetDTR(bool onOff);
    void SetRTS(bool onOff);
    void SetBreak(bool onOff);
    void SetXonXoff(bool onOff);
    void TransmitChar(char ch);

    void RegisterLink(TComLink* link);
    void UnRegisterLink(TComLink* link);
    bool HasLink() const;
    void SendSignalToLink(TComLinkEvent event, bool onOff);
    void NotifyLink(TComLinkEvent event);
    void TxNotifyLink(const void* buffer, int count);

    // Waits without the event thread for one of events; afterwards events holds those that
    // occurred (empty after the time-out or the stop event). stopEvent may be null; a negative
    // timeout waits without a limit.
    void WaitForEvent(TComEvents& events, TSignalEvent* stopEvent, int timeout);

    // Handlers of single line events, called by the event thread's delivery.
    void CallRxChar();
    void CallTxEmpty();
    void CallBreak();
    void CallRing();
    void CallError();
    void CallRxFlag();
    void CallRx80Full();
    void CallCTSChange();
    void CallDSRChange();
    void CallRLSDChange();
    // TriggersOnRxChar, unless a link takes the received bytes.
    bool GetTriggersOnRxChar() const { return triggersOnRxChar_ && !rxBufLinked_; }

    // Window procedure of the hidden event window (smWindowSync).
    void WindowMethod(TMessage& message);

    // ---- internal state visible to the event thread and to tests ----
    backend::Device* DeviceHandle() const { return deviceHandle_; }
    TComThread* WatchThread() const { return watchThread_; }
    bool WatchThreadRunning() const { return watchThreadRunning_; }
    TSyncWindow* SyncWindow() const { return syncWindow_; }
    int UpdateDepth() const { return updateDepth_; }
    const std::vector<TComLink*>& LinkList() const { return links_; }

    // ---- settings persistence (com_port_storage.cpp) ----
    // Saves or loads the groups in StoredProps: in the settings file `where` (stIniFile) or
    // below the registry path `where` (stRegistry), in the section or key named Name(). Any
    // failure inside raises code 16 (store) or 17 (load) with the failure attached as its
    // nested exception; settings loaded before a failure stay assigned.
    void StoreSettings(TStoreType storeType, const std::string& where);
    void LoadSettings(TStoreType storeType, const std::string& where);

    // ---- overridable steps and hooks ----
    virtual void StoreRegistry(RegistryKey& reg);
    virtual void StoreIniFile(SettingsFile& iniFile);
    virtual void LoadRegistry(RegistryKey& reg);
    virtual void LoadIniFile(SettingsFile& iniFile);
    virtual void CreateHandle();
    virtual void DestroyHandle();
    virtual void SetupComPort();

    // Each hook calls the callback of the same name, if one is assigned.
    virtual void DoAfterClose() { Fire(OnAfterClose); }
    virtual void DoAfterOpen() { Fire(OnAfterOpen); }
    virtual void DoBeforeClose() { Fire(OnBeforeClose); }
    virtual void DoBeforeOpen() { Fire(OnBeforeOpen); }
    virtual void DoRxChar(int count) { Fire(OnRxChar, count); }
    virtual void DoRxBuf(const void* buffer, int count) { Fire(OnRxBuf, buffer, count); }
    virtual void DoTxEmpty() { Fire(OnTxEmpty); }
    virtual void DoBreak() { Fire(OnBreak); }
    virtual void DoRing() { Fire(OnRing); }
    virtual void DoRxFlag() { Fire(OnRxFlag); }
    virtual void DoCTSChange(bool onOff) { Fire(OnCTSChange, onOff); }
    virtual void DoDSRChange(bool onOff) { Fire(OnDSRChange, onOff); }
    virtual void DoError(TComErrors errors) { Fire(OnError, errors); }
    virtual void DoRLSDChange(bool onOff) { Fire(OnRLSDChange, onOff); }
    virtual void DoRx80Full() { Fire(OnRx80Full); }
    virtual void ApplyDCB();
    virtual void ApplyTimeouts();
    virtual void ApplyBuffer();

protected:
    void CallBeforeOpen();
    void CallAfterOpen();
    void CallBeforeClose();
    void CallAfterClose();

private:
    template <typename Callback, typename... Args>
    void Fire(const Callback& callback, const Args&... args) {
        if (callback)
            callback(*this, args...);
    }
    // Neither in a form designer nor loading from a form resource: changes reach the device.
    bool Live() const;
    bool CanApply() const;
    // Stores a changed line setting and applies the line settings; an equal value is ignored.
    template <typename T> void ChangeLineSetting(T& field, T value);
    // Runs a signal report: reads one modem line, tells the links, calls the hook.
    void ReportSignal(TComSignal signal, TComLinkEvent linkEvent,
                      void (TCustomComPort::*hook)(bool));
    void StartEventThread();
    void StopEventThread();
    // Destroys the threads that a Close from inside their own delivery left running, except one
    // the caller is still inside of.
    void ReapRetiredThreads();
    // Starts a transfer on the record; background lets one left pending go on by itself (the
    // asynchronous calls), the synchronous calls carry theirs on in the wait.
    int StartWriteRecord(const void* buffer, int count, PAsync& asyncPtr, bool background);
    int StartReadRecord(void* buffer, int count, PAsync& asyncPtr, bool background);

    std::string name_;
    TComponentState componentState_;
    bool connected_ = false;
    bool closing_ = false; // a Close is under way (it may be waiting for the event thread)
    TBaudRate baudRate_ = br9600;
    std::string port_ = "COM1";
    TComParity parity_;
    TStopBits stopBits_ = sbOneStopBit;
    TDataBits dataBits_ = dbEight;
    bool discardNull_ = false;
    char eventChar_ = 0;
    TComEvents events_ = TComEvents::All();
    TComBuffer buffer_;
    TComFlowControl flowControl_;
    TComTimeouts timeouts_;
    TSyncMethod syncMethod_ = smThreadSync;
    int customBaudRate_ = 9600;
    TThreadPriority eventThreadPriority_ = tpNormal;
    bool triggersOnRxChar_ = true;
    TStoredProps storedProps_ = {spBasic};

    backend::Device* deviceHandle_ = nullptr;
    TComThread* watchThread_ = nullptr; // owned; made by Open, destroyed by Close
    // Owned; threads stopped by a Close from inside their own delivery, which could not wait for
    // their end. The next Open or the destructor destroys them.
    std::vector<TComThread*> retiredThreads_;
    bool watchThreadRunning_ = false;
    TSyncWindow* syncWindow_ = nullptr; // owned; exists with the thread for smWindowSync
    int updateDepth_ = 0;
    std::vector<TComLink*> links_;
    bool rxBufLinked_ = false;
};

// The class placed on a window; it adds nothing to TCustomComPort.
class TComPort : public TCustomComPort {};

// The names of the serial devices this system knows, sorted; replaces list's contents.
void EnumComPorts(std::vector<std::string>& list);

} // namespace serial
