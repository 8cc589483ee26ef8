// The far end of the line: a thread on the master side of a pseudo-terminal pair that answers
// the library under test.
#pragma once

#include "bench/harness.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>

namespace bench {

class FarEnd {
public:
    enum class Mode {
        Echo,    // every byte read is written back
        Command, // every 4 bytes read are answered with kReply
        Drain,   // reads and counts everything; WaitReceived waits for a count
        Feed,    // writes as many bytes as Feed has asked for, as fast as the line takes them
    };
    static constexpr char kReply[] = "!25.0\r"; // 6 bytes, like a temperature reply

    // Starts the thread. The master side is switched to non-blocking transfers.
    FarEnd(int master, Mode mode);
    // Stops the thread and waits for it.
    ~FarEnd();
    FarEnd(const FarEnd&) = delete;
    FarEnd& operator=(const FarEnd&) = delete;

    // Drain: waits until `total` bytes have been read since the start; false after 10 s.
    bool WaitReceived(std::size_t total);
    // Feed: asks for `count` more bytes to be written.
    void Feed(std::size_t count);
    // CPU seconds the thread has used so far.
    double CpuSecondsNow() const { return ThreadCpuSecondsOf(tid_.load()); }
    // Why the thread stopped early, if it did.
    std::string Error();

private:
    void Run();
    bool WaitFor(short events); // false when stopped
    bool WriteAll(const char* data, std::size_t count);
    void Moved(std::size_t count);

    int master_;
    Mode mode_;
    int stop_ = -1;    // eventfd: the thread ends
    int request_ = -1; // eventfd: Feed asked for more
    std::atomic<int> tid_{0};
    std::atomic<std::size_t> wanted_{0}; // Feed: bytes asked for so far
    std::mutex mutex_;
    std::condition_variable movedChanged_;
    std::size_t moved_ = 0; // bytes read (Drain) or written (Feed) so far
    std::string error_;
    std::thread thread_;
};

} // namespace bench
