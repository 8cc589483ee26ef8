#pragma once
// The simulator's end of the serial line: a pseudo-terminal whose far (slave) side is the
// device that the configurator opens, set to raw 9600 8N1. The simulator reads commands from
// and writes replies to the near (master) side, at the pace of a 9600-baud line.

#include "simulator/stop_signal.h"

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

namespace sim {

// One byte of 8N1 at 9600 baud: a start bit, eight data bits and a stop bit.
inline constexpr std::chrono::nanoseconds kByteTime9600{1'041'667};

class PtyLine {
public:
    PtyLine() = default;
    ~PtyLine();
    PtyLine(const PtyLine&) = delete;
    PtyLine& operator=(const PtyLine&) = delete;

    // Creates the pseudo-terminal; throws std::system_error when that fails.
    void Open();
    bool IsOpen() const { return master_ >= 0; }
    // The device path the configurator opens, e.g. /dev/pts/3.
    const std::string& DevicePath() const { return path_; }
    // The near side, for poll().
    int MasterFd() const { return master_; }

    // Takes whatever bytes are waiting from the configurator; empty when none are.
    std::string ReadAvailable();

    // Writes `bytes`, one every `byteTime` (all at once when it is zero). Returns the number
    // of bytes written: fewer when the stop is raised or the line cannot take them.
    std::size_t WritePaced(std::string_view bytes, std::chrono::nanoseconds byteTime,
                           const StopSignal& stop);

    // Closes the line: the configurator's side sees a hang-up and the device path goes away.
    void HangUp();

private:
    bool WriteByte(char byte, const StopSignal& stop);

    int master_ = -1;
    // The simulator keeps the far side open too, so the line stays up (and keeps its settings)
    // while the configurator has the port closed between its transactions.
    int slave_ = -1;
    std::string path_;
};

} // namespace sim
