// A pseudo-terminal pair for tests: the device side is left for the port to open by its path,
// the master side is driven here. Used by the native tests and by lirat_pty_peer.
#pragma once

#include "tests/serial/far_end.h"

#include <string>

namespace lirat_test {

class PtyLine {
public:
    PtyLine(); // throws std::runtime_error when no pseudo-terminal can be had
    ~PtyLine();
    PtyLine(const PtyLine&) = delete;
    PtyLine& operator=(const PtyLine&) = delete;

    const std::string& DevicePath() const { return devicePath_; }
    void Send(const std::string& bytes);
    std::string Receive(std::size_t max, int timeoutMs);
    DeviceLine Line();
    void CloseMaster();

private:
    int master_ = -1;
    std::string devicePath_;
};

} // namespace lirat_test
