#pragma once
// A stop request that a thread can wait on together with a file descriptor: a pipe whose read
// end becomes readable once Raise() has been called. Waits are short sleeps that end early when
// the stop is raised, so a simulator that waits for a late reply still stops at once.

#include <chrono>

namespace sim {

class StopSignal {
public:
    StopSignal(); // throws std::system_error when no pipe can be made
    ~StopSignal();
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    void Raise();
    bool Raised() const;
    // Clears a raised stop so the signal can be used for another run.
    void Reset();
    // Readable once raised; for poll().
    int Fd() const { return readFd_; }

    // Sleeps for `duration` or until the stop is raised; true when it was raised.
    bool WaitFor(std::chrono::nanoseconds duration) const;

private:
    int readFd_ = -1;
    int writeFd_ = -1;
};

} // namespace sim
