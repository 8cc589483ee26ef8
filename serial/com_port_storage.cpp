// Saving and loading a port's settings: the settings file (stIniFile) and the registry
// (stRegistry) share the keys, their groups, their order and their written forms.
#include "serial/com_port.h"

#include <exception>
#include <stdexcept>
#include <string>

#include "serial/registry_key.h"
#include "serial/settings_file.h"
#include "serial/settings_text.h"
#include "serial/stored_value_text.h"

namespace serial {

namespace {

using detail::CharToStr;
using detail::StrToChar;
using detail::StrToYesNo;
using detail::YesNoToStr;

// The custom rate a load assumes when the store has none.
constexpr int kDefaultCustomBaudRate = 9600;

// One side of a store: the same walk over the keys reads through a Reader and writes through
// a Writer. `current` is what a missing key gives.
class Reader {
public:
    virtual ~Reader() = default;
    virtual std::string Text(const char* key, const std::string& current) = 0;
    virtual int Integer(const char* key, int current) = 0;
};

class Writer {
public:
    virtual ~Writer() = default;
    virtual void Text(const char* key, const std::string& value) = 0;
    virtual void Integer(const char* key, int value) = 0;
};

class IniReader : public Reader {
public:
    IniReader(SettingsFile& file, const std::string& section) : file_(file), section_(section) {}
    std::string Text(const char* key, const std::string& current) override {
        return file_.ReadString(section_, key, current);
    }
    int Integer(const char* key, int current) override {
        return file_.ReadInteger(section_, key, current);
    }

private:
    SettingsFile& file_;
    const std::string& section_;
};

class IniWriter : public Writer {
public:
    IniWriter(SettingsFile& file, const std::string& section) : file_(file), section_(section) {}
    void Text(const char* key, const std::string& value) override {
        file_.WriteString(section_, key, value);
    }
    void Integer(const char* key, int value) override { file_.WriteInteger(section_, key, value); }

private:
    SettingsFile& file_;
    const std::string& section_;
};

// The registry has no defaults: a missing text reads empty, a missing integer fails the load.
class RegistryReader : public Reader {
public:
    explicit RegistryReader(RegistryKey& key) : key_(key) {}
    std::string Text(const char* key, const std::string&) override { return key_.ReadString(key); }
    int Integer(const char* key, int) override { return key_.ReadInteger(key); }

private:
    RegistryKey& key_;
};

class RegistryWriter : public Writer {
public:
    explicit RegistryWriter(RegistryKey& key) : key_(key) {}
    void Text(const char* key, const std::string& value) override { key_.WriteString(key, value); }
    void Integer(const char* key, int value) override { key_.WriteInteger(key, value); }

private:
    RegistryKey& key_;
};

// Each key is read with the setting's current value in its written form as the default and
// assigned through the setters, one at a time in the stored order; so "BaudRate" is in place
// before "CustomBaudRate" is considered, and the flow-control group's single keys come after
// the basic group's summary and decide when both groups are stored.
void LoadGroups(TCustomComPort& port, Reader& in) {
    const TStoredProps groups = port.StoredProps();
    if (groups.contains(spBasic)) {
        port.SetPort(in.Text("Port", port.Port()));
        port.SetBaudRate(StrToBaudRate(in.Text("BaudRate", BaudRateToStr(port.BaudRate()))));
        if (port.BaudRate() == brCustom) {
            port.SetCustomBaudRate(in.Integer("CustomBaudRate", kDefaultCustomBaudRate));
        }
        port.SetStopBits(StrToStopBits(in.Text("StopBits", StopBitsToStr(port.StopBits()))));
        port.SetDataBits(StrToDataBits(in.Text("DataBits", DataBitsToStr(port.DataBits()))));
        port.Parity().SetBits(StrToParity(in.Text("Parity", ParityToStr(port.Parity().Bits()))));
        TComFlowControl& flow = port.FlowControl();
        flow.SetFlowControl(
            StrToFlowControl(in.Text("FlowControl", FlowControlToStr(flow.FlowControl()))));
    }
    if (groups.contains(spOthers)) {
        port.SetEventChar(StrToChar(in.Text("EventChar", CharToStr(port.EventChar()))));
        port.SetDiscardNull(StrToYesNo(in.Text("DiscardNull", YesNoToStr(port.DiscardNull()))));
    }
    if (groups.contains(spParity)) {
        TComParity& parity = port.Parity();
        parity.SetCheck(StrToYesNo(in.Text("Parity.Check", YesNoToStr(parity.Check()))));
        parity.SetReplace(StrToYesNo(in.Text("Parity.Replace", YesNoToStr(parity.Replace()))));
        parity.SetReplaceChar(
            StrToChar(in.Text("Parity.ReplaceChar", CharToStr(parity.ReplaceChar()))));
    }
    if (groups.contains(spBuffer)) {
        TComBuffer& buffer = port.Buffer();
        buffer.SetOutputSize(in.Integer("Buffer.OutputSize", buffer.OutputSize()));
        buffer.SetInputSize(in.Integer("Buffer.InputSize", buffer.InputSize()));
    }
    if (groups.contains(spTimeouts)) {
        TComTimeouts& t = port.Timeouts();
        t.SetReadInterval(in.Integer("Timeouts.ReadInterval", t.ReadInterval()));
        t.SetReadTotalConstant(in.Integer("Timeouts.ReadTotalConstant", t.ReadTotalConstant()));
        t.SetReadTotalMultiplier(
            in.Integer("Timeouts.ReadTotalMultiplier", t.ReadTotalMultiplier()));
        t.SetWriteTotalConstant(in.Integer("Timeouts.WriteTotalConstant", t.WriteTotalConstant()));
        t.SetWriteTotalMultiplier(
            in.Integer("Timeouts.WriteTotalMultiplier", t.WriteTotalMultiplier()));
    }
    if (groups.contains(spFlowControl)) {
        TComFlowControl& f = port.FlowControl();
        f.SetControlRTS(StrToEnum<TRTSFlowControl>(
            in.Text("FlowControl.ControlRTS", EnumToStr(f.ControlRTS()))));
        f.SetControlDTR(StrToEnum<TDTRFlowControl>(
            in.Text("FlowControl.ControlDTR", EnumToStr(f.ControlDTR()))));
        f.SetDSRSensitivity(
            StrToYesNo(in.Text("FlowControl.DSRSensitivity", YesNoToStr(f.DSRSensitivity()))));
        f.SetOutCTSFlow(StrToYesNo(in.Text("FlowControl.OutCTSFlow", YesNoToStr(f.OutCTSFlow()))));
        f.SetOutDSRFlow(StrToYesNo(in.Text("FlowControl.OutDSRFlow", YesNoToStr(f.OutDSRFlow()))));
        f.SetTxContinueOnXoff(
            StrToYesNo(in.Text("FlowControl.TxContinueOnXoff", YesNoToStr(f.TxContinueOnXoff()))));
        f.SetXonXoffIn(StrToYesNo(in.Text("FlowControl.XonXoffIn", YesNoToStr(f.XonXoffIn()))));
        f.SetXonXoffOut(StrToYesNo(in.Text("FlowControl.XonXoffOut", YesNoToStr(f.XonXoffOut()))));
        f.SetXoffChar(StrToChar(in.Text("FlowControl.XoffChar", CharToStr(f.XoffChar()))));
        f.SetXonChar(StrToChar(in.Text("FlowControl.XonChar", CharToStr(f.XonChar()))));
    }
}

void StoreGroups(const TCustomComPort& port, Writer& out) {
    const TStoredProps groups = port.StoredProps();
    if (groups.contains(spBasic)) {
        out.Text("Port", port.Port());
        out.Text("BaudRate", BaudRateToStr(port.BaudRate()));
        if (port.BaudRate() == brCustom) {
            out.Integer("CustomBaudRate", port.CustomBaudRate());
        }
        out.Text("StopBits", StopBitsToStr(port.StopBits()));
        out.Text("DataBits", DataBitsToStr(port.DataBits()));
        out.Text("Parity", ParityToStr(port.Parity().Bits()));
        out.Text("FlowControl", FlowControlToStr(port.FlowControl().FlowControl()));
    }
    if (groups.contains(spOthers)) {
        out.Text("EventChar", CharToStr(port.EventChar()));
        out.Text("DiscardNull", YesNoToStr(port.DiscardNull()));
    }
    if (groups.contains(spParity)) {
        const TComParity& parity = port.Parity();
        out.Text("Parity.Check", YesNoToStr(parity.Check()));
        out.Text("Parity.Replace", YesNoToStr(parity.Replace()));
        out.Text("Parity.ReplaceChar", CharToStr(parity.ReplaceChar()));
    }
    if (groups.contains(spBuffer)) {
        out.Integer("Buffer.OutputSize", port.Buffer().OutputSize());
        out.Integer("Buffer.InputSize", port.Buffer().InputSize());
    }
    if (groups.contains(spTimeouts)) {
        const TComTimeouts& t = port.Timeouts();
        out.Integer("Timeouts.ReadInterval", t.ReadInterval());
        out.Integer("Timeouts.ReadTotalConstant", t.ReadTotalConstant());
        out.Integer("Timeouts.ReadTotalMultiplier", t.ReadTotalMultiplier());
        out.Integer("Timeouts.WriteTotalConstant", t.WriteTotalConstant());
        out.Integer("Timeouts.WriteTotalMultiplier", t.WriteTotalMultiplier());
    }
    if (groups.contains(spFlowControl)) {
        const TComFlowControl& f = port.FlowControl();
        out.Text("FlowControl.ControlRTS", EnumToStr(f.ControlRTS()));
        out.Text("FlowControl.ControlDTR", EnumToStr(f.ControlDTR()));
        out.Text("FlowControl.DSRSensitivity", YesNoToStr(f.DSRSensitivity()));
        out.Text("FlowControl.OutCTSFlow", YesNoToStr(f.OutCTSFlow()));
        out.Text("FlowControl.OutDSRFlow", YesNoToStr(f.OutDSRFlow()));
        out.Text("FlowControl.TxContinueOnXoff", YesNoToStr(f.TxContinueOnXoff()));
        out.Text("FlowControl.XonXoffIn", YesNoToStr(f.XonXoffIn()));
        out.Text("FlowControl.XonXoffOut", YesNoToStr(f.XonXoffOut()));
        out.Text("FlowControl.XoffChar", CharToStr(f.XoffChar()));
        out.Text("FlowControl.XonChar", CharToStr(f.XonChar()));
    }
}

// Raises the component's error with `code` in place of the failure being handled; the
// failure stays attached as the nested exception, so the reason can still be found.
[[noreturn]] void RaiseInstead(const std::exception_ptr& failure, int code) {
    try {
        std::rethrow_exception(failure);
    } catch (...) {
        std::throw_with_nested(EComPort(code));
    }
}

} // namespace

void TCustomComPort::StoreSettings(TStoreType storeType, const std::string& where) {
    try {
        if (storeType == stIniFile) {
            // All keys reach the disk together, or none do.
            SettingsFile file(where, SettingsFile::WriteMode::OnFlush);
            StoreIniFile(file);
            file.Flush();
        } else if (storeType == stRegistry) {
            RegistryKey key(where, Name());
            StoreRegistry(key);
        } else {
            throw std::invalid_argument("unknown store type");
        }
    } catch (...) {
        RaiseInstead(std::current_exception(), CError_StoreFailed);
    }
}

void TCustomComPort::LoadSettings(TStoreType storeType, const std::string& where) {
    std::exception_ptr failure;
    BeginUpdate();
    try {
        if (storeType == stIniFile) {
            SettingsFile file(where);
            LoadIniFile(file);
        } else if (storeType == stRegistry) {
            RegistryKey key(where, Name());
            LoadRegistry(key);
        } else {
            throw std::invalid_argument("unknown store type");
        }
    } catch (...) {
        failure = std::current_exception();
    }
    // The bracket closes in every case; on an open port this applies what was loaded.
    try {
        EndUpdate();
    } catch (...) {
        if (!failure) {
            failure = std::current_exception();
        }
    }
    if (failure) {
        RaiseInstead(failure, CError_LoadFailed);
    }
}

void TCustomComPort::StoreRegistry(RegistryKey& reg) {
    RegistryWriter out(reg);
    StoreGroups(*this, out);
}

void TCustomComPort::StoreIniFile(SettingsFile& iniFile) {
    IniWriter out(iniFile, Name());
    StoreGroups(*this, out);
}

void TCustomComPort::LoadRegistry(RegistryKey& reg) {
    RegistryReader in(reg);
    LoadGroups(*this, in);
}

void TCustomComPort::LoadIniFile(SettingsFile& iniFile) {
    IniReader in(iniFile, Name());
    LoadGroups(*this, in);
}

} // namespace serial
