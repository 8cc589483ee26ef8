#pragma once
// Ctrl+C during an output calibration: the transducer is driving a test code and must be told
// "$B" before the program ends, so while an InterruptScope lives the first Ctrl+C only asks the
// calibration to stop (InterruptRequested) and a second one ends the program as usual. One
// implementation per platform: a SIGINT handler installed without SA_RESTART on POSIX, so a
// waiting read returns; a console control handler on Windows.

namespace cli {

class InterruptScope {
public:
    InterruptScope();
    ~InterruptScope();
    InterruptScope(const InterruptScope&) = delete;
    InterruptScope& operator=(const InterruptScope&) = delete;
};

bool InterruptRequested();

} // namespace cli
