// The far end of a serial line for tests: a pseudo-terminal whose device side the port under
// test opens, while the test drives the other side.
//
// Natively the test opens the pseudo-terminal pair itself (openpty) and names the device by its
// path. A Windows build runs under Wine and cannot call openpty, so there the far end is served
// by a small native program, lirat_pty_peer, built by a native build of this tree. The test
// finds it through LIRAT_PTY_PEER_PROGRAM (set by CMake for the test), starts it (Wine starts
// native programs too) with an address file, and talks to it over a loopback TCP connection
// with one-line requests: a new pseudo-terminal linked into the Wine prefix as dosdevices/comN
// (a free N from 50 up, so every test gets its own name), bytes to send, bytes received, the
// device's line settings, closing the far side or the whole line, and a new pseudo-terminal
// behind the same link. The peer removes each
// link and pseudo-terminal when the test drops its far end, and everything that is left when
// the connection closes, also when the test process dies. Without the program MakeFarEnd says
// why and the tests skip. LIRAT_PTY_PEER=127.0.0.1:<port> points the test at a peer already
// running instead.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace lirat_test {

// The line settings the device really has, as the kernel reports them.
struct DeviceLine {
    std::uint32_t baud = 0;
    int dataBits = 0;
    char parity = '?'; // N, O, E, M (mark), S (space)
    int stopBits = 0;  // 1 or 2
    bool crtscts = false;
    bool ixon = false;
    bool ixoff = false;
};

class FarEnd {
public:
    virtual ~FarEnd() = default;
    // The name to give the port's Port property.
    virtual std::string PortName() const = 0;
    virtual void Send(const std::string& bytes) = 0;
    // Collects bytes until max have arrived or timeoutMs has passed.
    virtual std::string Receive(std::size_t max, int timeoutMs) = 0;
    virtual DeviceLine Line() = 0;
    // Closes the far side (as if the cable's other end went away); the device stays.
    virtual void CloseFarSide() = 0;
    // A COM name that stays with this far end when it is replugged: natively a per-user
    // port-name mapping (in a folder of the far end's own while it lives), under Wine the
    // prefix's COM link.
    virtual std::string StableName() = 0;
    // As if the adapter were pulled out and put back: the device goes away (its far side
    // closes) and a new device comes up, which StableName then leads to.
    virtual void Replug() = 0;
};

// A new far end, or nullptr with the reason in whyNot.
std::unique_ptr<FarEnd> MakeFarEnd(std::string& whyNot);
// A port name that names no device on this platform.
std::string MissingPortName();
// Whether the Windows build runs under Wine, whose serial layer differs from Windows in a few
// places the tests must not hold against the port.
bool UnderWine();

} // namespace lirat_test
