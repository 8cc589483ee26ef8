#pragma once
// Ctrl+C, and whatever else asks the program to stop (SIGTERM; closing the terminal; on Windows
// Ctrl+Break and closing the console window), must neither leave the transducer half-told nor
// lose the record. While an InterruptScope lives, the first request only asks the command to
// stop once the step under way has its reply (InterruptRequested): no further command goes
// out, the port is closed, and the record says how far the run got. A second request, or a
// terminal that is gone, asks it to end at once without waiting for that reply
// (AbandonRequested); a third ends the program the system's way. One implementation per
// platform: signal handlers installed without SA_RESTART on POSIX, so a waiting read returns; a
// console control handler on Windows.

#include <algorithm>
#include <chrono>
#include <thread>

namespace cli {

class InterruptScope {
public:
    InterruptScope();
    ~InterruptScope();
    InterruptScope(const InterruptScope&) = delete;
    InterruptScope& operator=(const InterruptScope&) = delete;
};

bool InterruptRequested();
bool AbandonRequested();
// What asked, for the messages: "Ctrl+C", "SIGTERM", "терминал закрыт"...
const char* InterruptCause();

// Waits until `deadline`, or until an interrupt comes (with `firstWakes`) or a second one (when
// not); false when the wait was cut short so.
inline bool SleepUntil(std::chrono::steady_clock::time_point deadline, bool firstWakes) {
    // Short slices: a signal handler cannot wake a waiting thread in a portable way.
    constexpr auto Slice = std::chrono::milliseconds(20);
    for (;;) {
        if (firstWakes ? InterruptRequested() : AbandonRequested()) {
            return false;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            return true;
        }
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(Slice, deadline - now));
    }
}

} // namespace cli
