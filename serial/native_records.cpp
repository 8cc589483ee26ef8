#include "serial/native_records.h"

#include "serial/com_port.h"

#include <array>

namespace serial {

namespace {

constexpr std::array<std::uint32_t, 16> kRates = {0,     110,    300,    600,   1200,  2400,
                                                  4800,  9600,   14400,  19200, 38400, 56000,
                                                  57600, 115200, 128000, 256000};

std::uint32_t TimeoutValue(int value) {
    return static_cast<std::uint32_t>(value);
}

} // namespace

std::uint32_t TDcbRecord::Flags() const {
    std::uint32_t f = 0;
    f |= std::uint32_t{fBinary} << 0;
    f |= std::uint32_t{fParity} << 1;
    f |= std::uint32_t{fOutxCtsFlow} << 2;
    f |= std::uint32_t{fOutxDsrFlow} << 3;
    f |= std::uint32_t{fDtrControl & 3u} << 4;
    f |= std::uint32_t{fDsrSensitivity} << 6;
    f |= std::uint32_t{fTXContinueOnXoff} << 7;
    f |= std::uint32_t{fOutX} << 8;
    f |= std::uint32_t{fInX} << 9;
    f |= std::uint32_t{fErrorChar} << 10;
    f |= std::uint32_t{fNull} << 11;
    f |= std::uint32_t{fRtsControl & 3u} << 12;
    f |= std::uint32_t{fAbortOnError} << 14;
    return f;
}

std::uint32_t EffectiveBaudRate(const TCustomComPort& port) {
    TBaudRate rate = port.BaudRate();
    if (rate == brCustom)
        return static_cast<std::uint32_t>(port.CustomBaudRate());
    auto index = static_cast<std::size_t>(rate);
    return index < kRates.size() ? kRates[index] : 0;
}

TDcbRecord BuildDcb(const TCustomComPort& port) {
    const TComParity& parity = port.Parity();
    const TComFlowControl& flow = port.FlowControl();
    TDcbRecord dcb;
    dcb.DCBlength = kDcbSize;
    dcb.BaudRate = EffectiveBaudRate(port);
    dcb.fBinary = true;
    dcb.fParity = parity.Check();
    dcb.fOutxCtsFlow = flow.OutCTSFlow();
    dcb.fOutxDsrFlow = flow.OutDSRFlow();
    dcb.fDtrControl = static_cast<std::uint8_t>(flow.ControlDTR());
    dcb.fDsrSensitivity = flow.DSRSensitivity();
    dcb.fTXContinueOnXoff = flow.TxContinueOnXoff();
    dcb.fOutX = flow.XonXoffOut();
    dcb.fInX = flow.XonXoffIn();
    dcb.fErrorChar = parity.Check() && parity.Replace();
    dcb.fNull = port.DiscardNull();
    dcb.fRtsControl = static_cast<std::uint8_t>(flow.ControlRTS());
    dcb.fAbortOnError = false;
    // A quarter of the input queue, truncated toward zero, kept to the 16-bit field.
    auto limit = static_cast<std::uint16_t>(port.Buffer().InputSize() / 4);
    dcb.XonLim = limit;
    dcb.XoffLim = limit;
    dcb.ByteSize = static_cast<std::uint8_t>(5 + static_cast<int>(port.DataBits()));
    dcb.Parity = static_cast<std::uint8_t>(parity.Bits());
    dcb.StopBits = static_cast<std::uint8_t>(port.StopBits());
    dcb.XonChar = flow.XonChar();
    dcb.XoffChar = flow.XoffChar();
    dcb.ErrorChar = dcb.fErrorChar ? parity.ReplaceChar() : 0;
    dcb.EvtChar = port.EventChar();
    return dcb;
}

TTimeoutsRecord BuildTimeouts(const TCustomComPort& port) {
    const TComTimeouts& t = port.Timeouts();
    TTimeoutsRecord r;
    r.ReadIntervalTimeout = TimeoutValue(t.ReadInterval());
    r.ReadTotalTimeoutMultiplier = TimeoutValue(t.ReadTotalMultiplier());
    r.ReadTotalTimeoutConstant = TimeoutValue(t.ReadTotalConstant());
    r.WriteTotalTimeoutMultiplier = TimeoutValue(t.WriteTotalMultiplier());
    r.WriteTotalTimeoutConstant = TimeoutValue(t.WriteTotalConstant());
    return r;
}

TQueueSizes BuildQueueSizes(const TCustomComPort& port) {
    return {static_cast<std::uint32_t>(port.Buffer().InputSize()),
            static_cast<std::uint32_t>(port.Buffer().OutputSize())};
}

} // namespace serial
