// The settings file and LoadSettings against any file content. Beyond crashes it stops when
//   - the file's text does not come back byte for byte from its line model;
//   - a value read is longer than the reader allows or holds a line break;
//   - LoadSettings of a file fails (a malformed value must only give a fallback);
//   - settings loaded, stored and loaded again differ;
//   - writing the key "Port" changes what any other key of the file reads.
//
// Input: a flags byte (bit 0: every group stored, not only the basic one; bits 1-7: the port
// number written), then the file's content.

#include "fuzz_input.h"

#include "serial/com_error.h"
#include "serial/com_port.h"
#include "serial/settings_document.h"
#include "serial/settings_file.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

using fuzz::Check;

constexpr const char* Section = "ComPort";

constexpr const char* Keys[] = {"Port",
                                "BaudRate",
                                "CustomBaudRate",
                                "StopBits",
                                "DataBits",
                                "Parity",
                                "FlowControl",
                                "EventChar",
                                "DiscardNull",
                                "Parity.Check",
                                "Parity.Replace",
                                "Parity.ReplaceChar",
                                "Buffer.OutputSize",
                                "Buffer.InputSize",
                                "Timeouts.ReadInterval",
                                "Timeouts.ReadTotalConstant",
                                "Timeouts.ReadTotalMultiplier",
                                "Timeouts.WriteTotalConstant",
                                "Timeouts.WriteTotalMultiplier",
                                "FlowControl.ControlRTS",
                                "FlowControl.ControlDTR",
                                "FlowControl.DSRSensitivity",
                                "FlowControl.OutCTSFlow",
                                "FlowControl.OutDSRFlow",
                                "FlowControl.TxContinueOnXoff",
                                "FlowControl.XonXoffIn",
                                "FlowControl.XonXoffOut",
                                "FlowControl.XoffChar",
                                "FlowControl.XonChar"};

// Sections probed for keys that a write of "Port" must leave alone.
constexpr const char* ProbedSections[] = {"ComPort", "comport", "Other", ""};

const std::string& Folder() {
    static const std::string folder = [] {
        // A memory file system where there is one: every write of the settings file is flushed
        // to the disk, which would otherwise set the pace.
        char inMemory[] = "/dev/shm/lirat-fuzz-settings-XXXXXX";
        char onDisk[] = "/tmp/lirat-fuzz-settings-XXXXXX";
        const char* made = ::mkdtemp(inMemory);
        if (made == nullptr) {
            made = ::mkdtemp(onDisk);
        }
        if (made == nullptr) {
            fuzz::Fail("cannot make a temporary folder");
        }
        return std::string(made);
    }();
    return folder;
}

void WriteFile(const std::string& path, const std::string& contents) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    Check(static_cast<bool>(out), "cannot write the input file", path);
}

// Everything LoadSettings can set, in one comparable text.
std::string Snapshot(const serial::TComPort& port) {
    const serial::TComParity& p = port.Parity();
    const serial::TComFlowControl& f = port.FlowControl();
    const serial::TComBuffer& b = port.Buffer();
    const serial::TComTimeouts& t = port.Timeouts();
    std::string s = port.Port();
    for (const long value : {long(port.BaudRate()),
                             long(port.CustomBaudRate()),
                             long(port.StopBits()),
                             long(port.DataBits()),
                             long(p.Bits()),
                             long(port.EventChar()),
                             long(port.DiscardNull()),
                             long(p.Check()),
                             long(p.Replace()),
                             long(p.ReplaceChar()),
                             long(b.OutputSize()),
                             long(b.InputSize()),
                             long(t.ReadInterval()),
                             long(t.ReadTotalConstant()),
                             long(t.ReadTotalMultiplier()),
                             long(t.WriteTotalConstant()),
                             long(t.WriteTotalMultiplier()),
                             long(f.ControlRTS()),
                             long(f.ControlDTR()),
                             long(f.DSRSensitivity()),
                             long(f.OutCTSFlow()),
                             long(f.OutDSRFlow()),
                             long(f.TxContinueOnXoff()),
                             long(f.XonXoffIn()),
                             long(f.XonXoffOut()),
                             long(f.XoffChar()),
                             long(f.XonChar())}) {
        s += "|" + std::to_string(value);
    }
    return s;
}

void PreparePort(serial::TComPort& port, bool allGroups) {
    port.SetName(Section);
    port.SetStoredProps(allGroups ? serial::TStoredProps::All()
                                  : serial::TStoredProps{serial::spBasic});
}

void CheckLineModel(const std::string& contents) {
    const serial::SettingsDocument document = serial::SettingsDocument::Parse(contents, "\n");
    Check(document.Text() == contents, "the line model changed the file's text");
}

void CheckReads(const serial::SettingsFile& file) {
    for (const char* key : Keys) {
        const std::string value = file.ReadString(Section, key, "\x01");
        Check(value.size() <= serial::SettingsFile::MaxValueLength, "value longer than allowed",
              key);
        Check(value.find('\n') == std::string::npos, "value with a line feed", key);
        file.ReadInteger(Section, key, 0);
    }
}

void CheckLoadStoreLoad(const std::string& path, const std::string& copy, bool allGroups) {
    serial::TComPort first;
    PreparePort(first, allGroups);
    try {
        first.LoadSettings(serial::stIniFile, path);
    } catch (const serial::EComPort& error) {
        fuzz::Fail("LoadSettings failed on a file", error.what());
    }
    // A port name with a carriage return or a zero byte inside cannot be written back as one
    // line; the store refuses it instead of writing a broken file.
    const bool storable = first.Port().find_first_of(std::string("\r\0", 2)) == std::string::npos;
    ::unlink(copy.c_str());
    try {
        first.StoreSettings(serial::stIniFile, copy);
    } catch (const serial::EComPort& error) {
        Check(!storable, "StoreSettings failed", error.what());
        Check(error.Code() == serial::CError_StoreFailed, "store failed with a wrong code");
        return;
    }
    serial::TComPort second;
    PreparePort(second, allGroups);
    second.LoadSettings(serial::stIniFile, copy);
    Check(Snapshot(first) == Snapshot(second), "settings changed by a store and a load",
          Snapshot(first) + " / " + Snapshot(second));
}

void CheckPortWrite(const std::string& path, int number) {
    const serial::SettingsFile before(path);
    const std::string portName = "COM" + std::to_string(number);
    try {
        serial::SettingsFile file(path);
        file.WriteString(Section, "Port", portName);
    } catch (const serial::ESettingsFileError&) {
        fuzz::Fail("writing the port into a readable file failed");
    }
    const serial::SettingsFile after(path);
    Check(after.ReadString(Section, "Port", "") == portName, "the port written does not read back",
          after.ReadString(Section, "Port", ""));
    for (const char* section : ProbedSections) {
        // Section names match without regard to letter case.
        const bool portSection =
            std::string_view(section) == "ComPort" || std::string_view(section) == "comport";
        for (const char* key : Keys) {
            if (portSection && std::string_view(key) == "Port") {
                continue;
            }
            Check(before.ReadString(section, key, "\x01") == after.ReadString(section, key, "\x01"),
                  "writing the port changed another key", std::string(section) + "/" + key);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    const std::uint8_t flags = in.Byte();
    const bool allGroups = (flags & 1) != 0;
    const int portNumber = 1 + (flags >> 1) % 100;
    const std::string contents = in.Rest();

    CheckLineModel(contents);

    const std::string path = Folder() + "/conf.INI";
    const std::string copy = Folder() + "/copy.INI";
    WriteFile(path, contents);

    const serial::SettingsFile file(path);
    CheckReads(file);
    CheckLoadStoreLoad(path, copy, allGroups);
    CheckPortWrite(path, portNumber);
    return 0;
}
