#include "serial/termios_mapping.h"

#include <cerrno>

namespace serial::backend::posix {

namespace {

struct BaudConstant {
    std::uint32_t rate;
    speed_t constant;
};
constexpr BaudConstant kBaudConstants[] = {
    {50, B50},         {75, B75},         {110, B110},       {134, B134},     {150, B150},
    {200, B200},       {300, B300},       {600, B600},       {1200, B1200},   {1800, B1800},
    {2400, B2400},     {4800, B4800},     {9600, B9600},     {19200, B19200}, {38400, B38400},
    {57600, B57600},   {115200, B115200}, {230400, B230400},
#ifdef B460800
    {460800, B460800},
#endif
#ifdef B921600
    {921600, B921600},
#endif
};

bool FindBaudConstant(std::uint32_t rate, speed_t& constant) {
    for (const BaudConstant& b : kBaudConstants) {
        if (b.rate == rate) {
            constant = b.constant;
            return true;
        }
    }
    return false;
}

} // namespace

int MapLineSettings(const TDcbRecord& dcb, termios& tio, bool& standardRate) {
    standardRate = true;
    if (dcb.ByteSize < 5 || dcb.ByteSize > 8 || dcb.Parity > 4 || dcb.StopBits > 2 ||
        dcb.BaudRate == 0)
        return EINVAL;
    // Raw binary transfer: no line editing, no echo, no character translation.
    tio.c_iflag = IGNBRK;
    tio.c_oflag = 0;
    tio.c_lflag = 0;
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS | HUPCL);
#ifdef CMSPAR
    tio.c_cflag &= ~static_cast<tcflag_t>(CMSPAR);
#endif
    tio.c_cflag |= CREAD | CLOCAL;
    static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    tio.c_cflag |= kSizes[dcb.ByteSize - 5];

    switch (dcb.Parity) {
    case 1:
        tio.c_cflag |= PARENB | PARODD;
        break;
    case 2:
        tio.c_cflag |= PARENB;
        break;
#ifdef CMSPAR
    case 3:
        tio.c_cflag |= PARENB | PARODD | CMSPAR;
        break;
    case 4:
        tio.c_cflag |= PARENB | CMSPAR;
        break;
#else
    case 3:
    case 4:
        return EINVAL;
#endif
    default:
        break;
    }
    // One and a half stop bits: the UART sends 1.5 with five data bits when asked for two.
    if (dcb.StopBits != 0)
        tio.c_cflag |= CSTOPB;
    // The kernel has one switch for both directions of hardware handshaking.
    if (dcb.fOutxCtsFlow || dcb.fRtsControl == 2)
        tio.c_cflag |= CRTSCTS;
    if (dcb.fOutX)
        tio.c_iflag |= IXON;
    if (dcb.fInX)
        tio.c_iflag |= IXOFF;
    // Replacing bytes with parity errors: the driver marks each such byte ("\377\0" before it,
    // a real 0xFF doubled), and the backend puts the replacement in its place.
    if (dcb.fParity && dcb.fErrorChar)
        tio.c_iflag |= INPCK | PARMRK;
    tio.c_cc[VSTART] = static_cast<cc_t>(dcb.XonChar);
    tio.c_cc[VSTOP] = static_cast<cc_t>(dcb.XoffChar);
    // The descriptor is non-blocking: with VMIN 1 an empty queue reads as EAGAIN, so a read that
    // finds nothing needs no second system call to tell it from a hung-up line (which reads 0).
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;

    speed_t constant = B0;
    standardRate = FindBaudConstant(dcb.BaudRate, constant);
    if (!standardRate)
        constant = B38400; // the caller then sets the exact rate
    ::cfsetispeed(&tio, constant);
    ::cfsetospeed(&tio, constant);
    return 0;
}

} // namespace serial::backend::posix
