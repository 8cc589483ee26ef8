// Internal to the POSIX backend: a helper thread that waits for modem-line changes and kicks the
// device's event wait when one happens. The event wait itself only wakes up for the device's
// descriptor; a driver that can block until a modem line changes (Linux TIOCMIWAIT) gets one of
// these while the event mask asks for modem-line events, so a change of CTS, DSR, RLSD or ring
// alone is seen at once, and a quiet line still costs no wake-ups.
//
// The helper blocks in the driver's wait. Stop interrupts it with a signal whose handler does
// nothing and is installed without SA_RESTART, so the wait returns EINTR instead of going on;
// as the signal may come just before the helper enters the wait, Stop repeats it until the
// helper has ended.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace serial::backend::posix {

class ModemWatch {
public:
    // wait blocks until a change (0), returns EINTR when interrupted, and any other value when
    // the device cannot wait (the helper then ends). changed runs on the helper after a change.
    ModemWatch(std::function<int()> wait, std::function<void()> changed);
    // Stops the helper.
    ~ModemWatch();
    ModemWatch(const ModemWatch&) = delete;
    ModemWatch& operator=(const ModemWatch&) = delete;

    // Starts the helper; 0 or an errno value. A watch starts once.
    int Start();
    // Interrupts the wait and returns when the helper has ended; nothing happens when it never
    // started.
    void Stop();
    // Whether the helper has started and not ended.
    bool Running() const;
    // The changes seen so far.
    std::uint64_t Changes() const { return changes_.load(); }

    // The helper's name in system monitors.
    static constexpr const char* kThreadName = "lirat5-lines";
    // The signal that interrupts the helper's wait.
    static int WakeSignal();

private:
    void Run();

    std::function<int()> wait_;
    std::function<void()> changed_;
    std::atomic<bool> stop_{false};
    std::atomic<std::uint64_t> changes_{0};
    mutable std::mutex mutex_;
    std::condition_variable endedCv_;
    bool started_ = false;
    bool ended_ = false;
    std::thread thread_;
};

} // namespace serial::backend::posix
