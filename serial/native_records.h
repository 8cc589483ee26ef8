// The records that a port hands to the device, built from the port's properties alone: a portable
// mirror of the Win32 line-settings record (DCB), the time-out record (COMMTIMEOUTS) and the two
// driver queue sizes. The Win32 backend copies them into the real structures; the POSIX backend
// maps them onto termios and its own time-out emulation.
#pragma once

#include <cstdint>

namespace serial {

class TCustomComPort;

// Field for field the Win32 DCB, with the bit fields of its flag word as separate members.
struct TDcbRecord {
    std::uint32_t DCBlength = 0;
    std::uint32_t BaudRate = 0;
    bool fBinary = false;
    bool fParity = false;
    bool fOutxCtsFlow = false;
    bool fOutxDsrFlow = false;
    std::uint8_t fDtrControl = 0; // 0 disable, 1 enable, 2 handshake
    bool fDsrSensitivity = false;
    bool fTXContinueOnXoff = false;
    bool fOutX = false;
    bool fInX = false;
    bool fErrorChar = false;
    bool fNull = false;
    std::uint8_t fRtsControl = 0; // 0 disable, 1 enable, 2 handshake, 3 toggle
    bool fAbortOnError = false;
    std::uint16_t wReserved = 0;
    std::uint16_t XonLim = 0;
    std::uint16_t XoffLim = 0;
    std::uint8_t ByteSize = 0;
    std::uint8_t Parity = 0;   // 0 none, 1 odd, 2 even, 3 mark, 4 space
    std::uint8_t StopBits = 0; // 0 one, 1 one and a half, 2 two
    char XonChar = 0;
    char XoffChar = 0;
    char ErrorChar = 0;
    char EofChar = 0;
    char EvtChar = 0;
    std::uint16_t wReserved1 = 0;

    // The flag word as the Win32 record lays it out (fBinary in bit 0 ... fAbortOnError in 14).
    std::uint32_t Flags() const;
};

// Size of the Win32 DCB in bytes, the value of DCBlength.
inline constexpr std::uint32_t kDcbSize = 28;

// The Win32 COMMTIMEOUTS record; -1 in a property becomes 0xFFFFFFFF here.
struct TTimeoutsRecord {
    std::uint32_t ReadIntervalTimeout = 0;
    std::uint32_t ReadTotalTimeoutMultiplier = 0;
    std::uint32_t ReadTotalTimeoutConstant = 0;
    std::uint32_t WriteTotalTimeoutMultiplier = 0;
    std::uint32_t WriteTotalTimeoutConstant = 0;
};

struct TQueueSizes {
    std::uint32_t InputSize = 0;
    std::uint32_t OutputSize = 0;
};

// The rate in bits per second that BaudRate names (CustomBaudRate for brCustom).
std::uint32_t EffectiveBaudRate(const TCustomComPort& port);

TDcbRecord BuildDcb(const TCustomComPort& port);
TTimeoutsRecord BuildTimeouts(const TCustomComPort& port);
TQueueSizes BuildQueueSizes(const TCustomComPort& port);

} // namespace serial
