// One serial library behind the few blocking operations the transfer benchmarks need. Every
// implementation opens the device at 9600 8N1 without flow control, as the tool does.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace bench {

class BenchPort {
public:
    virtual ~BenchPort() = default;
    virtual void Open(const std::string& devicePath) = 0;
    virtual void Close() = 0;
    // Returns when the library has handed every byte to the driver.
    virtual void WriteAll(const char* data, std::size_t count) = 0;
    // Returns when count bytes have arrived; throws after a second without them.
    virtual void ReadExact(char* data, std::size_t count) = 0;
    // Returns as soon as at least one byte has arrived (at most max); throws after a second.
    virtual std::size_t ReadSome(char* data, std::size_t max) = 0;
};

enum class Library { Ours, OursNoThread, Libserialport, QtSerialPort, Asio };

// Our component with the tool's settings (an event thread waiting for evRx80Full, smNone), or
// with Events empty (no event thread).
std::unique_ptr<BenchPort> MakeOurPort(bool eventThread);
std::unique_ptr<BenchPort> MakeLibserialportPort();
std::unique_ptr<BenchPort> MakeQtPort();
std::unique_ptr<BenchPort> MakeAsioPort();

std::unique_ptr<BenchPort> MakePort(Library library);
const char* LibraryName(Library library);
// The short name --libraries takes: ours, ours-no-thread, libserialport, qt, asio.
const char* LibraryKey(Library library);
bool IsPeer(Library library);
inline constexpr Library kAllLibraries[] = {Library::Ours, Library::OursNoThread,
                                            Library::Libserialport, Library::QtSerialPort,
                                            Library::Asio};

} // namespace bench
