#include "cli/paced_port.h"

#include <algorithm>
#include <array>
#include <thread>

namespace cli {

namespace {
constexpr std::uint8_t ReplyEnd = '\r';
// A byte at 9600 baud takes about a millisecond; polling at that rate ends a step within a byte
// time of its reply and costs nothing worth measuring.
constexpr auto PollInterval = std::chrono::milliseconds(1);
} // namespace

bool PacedPort::WaitForReplyEnd(Clock::time_point deadline) {
    for (;;) {
        TakeArrived();
        if (std::find(ahead_.begin(), ahead_.end(), ReplyEnd) != ahead_.end()) {
            return true;
        }
        const auto now = Clock::now();
        if (now >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::min<Clock::duration>(PollInterval, deadline - now));
    }
}

void PacedPort::TakeArrived() {
    std::array<std::uint8_t, 256> chunk{};
    for (int waiting = line_.InputCount(); waiting > 0; waiting = line_.InputCount()) {
        const int got = line_.Read(chunk.data(), std::min<int>(waiting, chunk.size()));
        if (got <= 0) {
            return;
        }
        ahead_.insert(ahead_.end(), chunk.begin(), chunk.begin() + got);
    }
}

void PacedPort::Close() {
    ahead_.clear();
    line_.Close();
}

void PacedPort::ClearBuffer(bool input, bool output) {
    if (input) {
        ahead_.clear();
    }
    line_.ClearBuffer(input, output);
}

int PacedPort::InputCount() {
    return static_cast<int>(ahead_.size()) + line_.InputCount();
}

int PacedPort::Read(std::uint8_t* buffer, int count) {
    int taken = 0;
    while (taken < count && !ahead_.empty()) {
        buffer[taken++] = ahead_.front();
        ahead_.pop_front();
    }
    if (taken < count) {
        const int more = line_.Read(buffer + taken, count - taken);
        taken += more > 0 ? more : 0;
    }
    return taken;
}

} // namespace cli
