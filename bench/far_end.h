// The far end of the line: a thread on the master side of a pseudo-terminal pair that answers
// the library under test.
#pragma once

#include "bench/harness.h"

#include <atomic>
#include <cstddef>
#include <string>
#include <thread>

namespace bench {

class FarEnd {
public:
    enum class Mode {
        Echo,    // every byte read is written back
        Command, // every 4 bytes read are answered with kReply
        Sink,    // reads `total` bytes, then ends
        Source,  // writes `total` bytes as fast as the line takes them, then ends
    };
    static constexpr char kReply[] = "!25.0\r"; // 6 bytes, like a temperature reply

    // Starts the thread. The master side is switched to non-blocking transfers.
    FarEnd(int master, Mode mode, std::size_t total = 0);
    // Stops the thread (if it has not ended by itself) and waits for it.
    ~FarEnd();
    FarEnd(const FarEnd&) = delete;
    FarEnd& operator=(const FarEnd&) = delete;

    // Sink and Source: waits until the thread has moved all its bytes. Throws if it failed.
    void Wait();
    // When the thread moved its last byte (Sink and Source).
    Clock::time_point Finished() const { return finished_; }
    // CPU seconds the thread used; valid after Wait.
    double CpuSeconds() const { return cpu_; }
    // CPU seconds the thread has used so far.
    double CpuSecondsNow() const { return ThreadCpuSecondsOf(tid_.load()); }

private:
    void Run();
    bool WaitFor(short events); // false when stopped
    bool WriteAll(const char* data, std::size_t count);

    int master_;
    Mode mode_;
    std::size_t total_;
    int stop_ = -1; // eventfd
    std::atomic<int> tid_{0};
    Clock::time_point finished_{};
    double cpu_ = 0;
    std::string error_;
    std::thread thread_;
};

} // namespace bench
