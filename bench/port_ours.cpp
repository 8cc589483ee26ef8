// Our serial component, configured as the tool's main window configures its port.
#include "bench/bench_port.h"

#include "serial/com_port.h"

#include <stdexcept>

namespace bench {

namespace {

class OurPort : public BenchPort {
public:
    explicit OurPort(bool eventThread) {
        port_.SetBaudRate(serial::br9600);
        port_.Parity().SetBits(serial::prNone);
        port_.SetStopBits(serial::sbOneStopBit);
        port_.SetDataBits(serial::dbEight);
        port_.SetEvents(eventThread ? serial::TComEvents{serial::evRx80Full}
                                    : serial::TComEvents{});
        port_.FlowControl().SetOutCTSFlow(false);
        port_.FlowControl().SetOutDSRFlow(false);
        port_.FlowControl().SetXonXoffOut(false);
        port_.FlowControl().SetXonXoffIn(false);
        port_.FlowControl().SetControlDTR(serial::dtrDisable);
        port_.FlowControl().SetControlRTS(serial::rtsDisable);
        port_.SetSyncMethod(serial::smNone);
    }

    void Open(const std::string& devicePath) override {
        port_.SetPort(devicePath);
        port_.Open();
    }
    void Close() override { port_.Close(); }

    void WriteAll(const char* data, std::size_t count) override {
        while (count > 0) {
            int n = port_.Write(data, static_cast<int>(count));
            if (n <= 0)
                throw std::runtime_error("ours: write time-out");
            data += n;
            count -= static_cast<std::size_t>(n);
        }
    }

    void ReadExact(char* data, std::size_t count) override {
        // Wait for all the bytes asked for, at most one second.
        SetReadMode(0, 0, 1000);
        if (port_.Read(data, static_cast<int>(count)) != static_cast<int>(count))
            throw std::runtime_error("ours: read time-out");
    }

    std::size_t ReadSome(char* data, std::size_t max) override {
        // Return as soon as any byte is there, waiting for the first at most one second.
        SetReadMode(-1, -1, 1000);
        int n = port_.Read(data, static_cast<int>(max));
        if (n <= 0)
            throw std::runtime_error("ours: read time-out");
        return static_cast<std::size_t>(n);
    }

private:
    void SetReadMode(int interval, int multiplier, int constant) {
        // The setters store and apply only a changed value, so a repeated mode costs nothing.
        port_.Timeouts().SetReadInterval(interval);
        port_.Timeouts().SetReadTotalMultiplier(multiplier);
        port_.Timeouts().SetReadTotalConstant(constant);
    }

    serial::TComPort port_;
};

} // namespace

std::unique_ptr<BenchPort> MakeOurPort(bool eventThread) {
    return std::make_unique<OurPort>(eventThread);
}

std::unique_ptr<BenchPort> MakePort(Library library) {
    switch (library) {
    case Library::Ours:
        return MakeOurPort(true);
    case Library::OursNoThread:
        return MakeOurPort(false);
    case Library::Libserialport:
        return MakeLibserialportPort();
    case Library::QtSerialPort:
        return MakeQtPort();
    case Library::Asio:
        return MakeAsioPort();
    }
    return nullptr;
}

const char* LibraryName(Library library) {
    switch (library) {
    case Library::Ours:
        return "ours (tool's settings, event thread)";
    case Library::OursNoThread:
        return "ours (Events empty, no event thread)";
    case Library::Libserialport:
        return "libserialport";
    case Library::QtSerialPort:
        return "Qt Serial Port";
    case Library::Asio:
        return "Boost.Asio serial_port";
    }
    return "?";
}

const char* LibraryKey(Library library) {
    switch (library) {
    case Library::Ours:
        return "ours";
    case Library::OursNoThread:
        return "ours-no-thread";
    case Library::Libserialport:
        return "libserialport";
    case Library::QtSerialPort:
        return "qt";
    case Library::Asio:
        return "asio";
    }
    return "?";
}

bool IsPeer(Library library) {
    return library != Library::Ours && library != Library::OursNoThread;
}

} // namespace bench
