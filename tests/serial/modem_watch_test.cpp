// Modem-line changes on POSIX: which counter changes are which line events, which devices get
// the helper that waits for the lines, and the helper itself (woken by a change, stopped
// promptly however its wait and the stop meet). No device here can wait for its modem lines, so
// the helper is driven through a blocking read of a pipe, which, like the driver's wait, a
// signal ends only when its handler was installed without SA_RESTART.
#include "serial/line_counters.h"
#include "serial/modem_watch.h"

#include "serial/com_port.h"
#include "serial/com_thread.h"

#include "tests/serial/pty_line.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>
#include <thread>

#include <unistd.h>

namespace {

using namespace serial;
using serial::backend::posix::CounterEvents;
using serial::backend::posix::LineCounters;
using serial::backend::posix::ModemWatch;
using serial::backend::posix::NeedsModemWatch;
using Clock = std::chrono::steady_clock;

long long MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

TEST(CounterEvents, EachCounterStandsForItsEvent) {
    struct Case {
        const char* name;
        std::uint32_t LineCounters::*counter;
        std::uint32_t event;
    };
    const Case cases[] = {
        {"cts", &LineCounters::cts, 8},
        {"dsr", &LineCounters::dsr, 16},
        {"dcd", &LineCounters::dcd, 32},
        {"rng", &LineCounters::rng, 256},
        {"brk", &LineCounters::brk, 64},
        {"frame", &LineCounters::frame, 128},
        {"parity", &LineCounters::parity, 128},
        {"overrun", &LineCounters::overrun, 128},
        {"bufOverrun", &LineCounters::bufOverrun, 128},
    };
    for (const Case& c : cases) {
        LineCounters was;
        was.*c.counter = 7;
        LineCounters now = was;
        EXPECT_EQ(CounterEvents(was, now), 0u) << c.name << " unchanged";
        now.*c.counter = 8;
        EXPECT_EQ(CounterEvents(was, now), c.event) << c.name;
        now.*c.counter = 9; // two changes between looks are still one event
        EXPECT_EQ(CounterEvents(was, now), c.event) << c.name << " twice";
        was.*c.counter = 0xFFFFFFFFu; // the driver's counter wrapped around
        now.*c.counter = 0;
        EXPECT_EQ(CounterEvents(was, now), c.event) << c.name << " wrapped";
    }
}

TEST(CounterEvents, ChangesTogetherGiveEveryEventOnce) {
    LineCounters was;
    LineCounters now;
    now.frame = 1;
    now.parity = 2;
    now.overrun = 3;
    EXPECT_EQ(CounterEvents(was, now), 128u); // three kinds of line error: one error event
    now.cts = 1;
    now.rng = 4;
    now.brk = 1;
    EXPECT_EQ(CounterEvents(was, now), 128u | 8u | 256u | 64u);
    now = LineCounters{};
    now.cts = now.dsr = now.dcd = now.rng = 1;
    EXPECT_EQ(CounterEvents(was, now), 8u | 16u | 32u | 256u);
}

TEST(ModemWatchDecision, OnlyModemLineEventsOnADriverWithCounters) {
    struct Case {
        bool haveCounters;
        std::uint32_t mask;
        bool watch;
    };
    const Case cases[] = {
        {true, 8, true},     // CTS
        {true, 16, true},    // DSR
        {true, 32, true},    // RLSD
        {true, 256, true},   // ring
        {true, 0x5FF, true}, // all ten events
        {true, 1024, false}, // the tool's own configuration: 80 % full only
        {true, 1 | 2 | 4, false},
        {true, 64 | 128, false}, // break and errors arrive with the data, not on the lines
        {true, 0, false},        // no mask: the thread has ended
        {false, 0x5FF, false},   // a pseudo-terminal: no counters, so no helper
        {false, 8, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NeedsModemWatch(c.haveCounters, c.mask), c.watch)
            << "counters " << c.haveCounters << " mask " << c.mask;
}

// A pipe whose blocking read stands in for the driver's wait: a byte written is a line change.
class PipeLines {
public:
    PipeLines() {
        if (::pipe(fds_) != 0)
            throw std::runtime_error("pipe");
    }
    ~PipeLines() {
        ::close(fds_[0]);
        ::close(fds_[1]);
    }
    PipeLines(const PipeLines&) = delete;
    PipeLines& operator=(const PipeLines&) = delete;

    std::function<int()> Wait() {
        int fd = fds_[0];
        return [fd] {
            char byte = 0;
            ssize_t n = ::read(fd, &byte, 1);
            if (n == 1)
                return 0;
            return n == 0 ? EPIPE : errno;
        };
    }
    void Change() {
        char byte = 'x';
        ASSERT_EQ(::write(fds_[1], &byte, 1), 1);
    }

private:
    int fds_[2] = {-1, -1};
};

bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 3000) {
    auto start = Clock::now();
    while (!done()) {
        if (MsSince(start) > timeoutMs)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// Stops the watch on another thread; a stop that hangs is released through the pipe and fails
// the test instead of hanging it.
void StopPromptly(ModemWatch& watch, PipeLines& lines, int limitMs = 2000) {
    auto start = Clock::now();
    auto stopped = std::async(std::launch::async, [&] { watch.Stop(); });
    if (stopped.wait_for(std::chrono::milliseconds(limitMs)) != std::future_status::ready) {
        lines.Change(); // lets a wait that the signal did not end return
        stopped.wait();
        FAIL() << "Stop did not end the helper's wait";
    }
    EXPECT_LT(MsSince(start), limitMs);
    EXPECT_FALSE(watch.Running());
}

TEST(ModemWatchHelper, EachChangeKicksOnce) {
    PipeLines lines;
    std::atomic<int> kicks{0};
    ModemWatch watch(lines.Wait(), [&] { kicks.fetch_add(1); });
    ASSERT_EQ(watch.Start(), 0);
    EXPECT_TRUE(watch.Running());
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(kicks.load(), 0); // no change, no kick
    lines.Change();
    ASSERT_TRUE(WaitUntil([&] { return kicks.load() == 1; }));
    lines.Change();
    ASSERT_TRUE(WaitUntil([&] { return kicks.load() == 2; }));
    EXPECT_EQ(watch.Changes(), 2u);
    StopPromptly(watch, lines);
    EXPECT_EQ(kicks.load(), 2);
}

TEST(ModemWatchHelper, StopEndsAWaitThatARestartingHandlerWouldResume) {
    PipeLines lines;
    ModemWatch watch(lines.Wait(), [] {});
    ASSERT_EQ(watch.Start(), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(100)); // well inside the read
    StopPromptly(watch, lines);
    EXPECT_EQ(watch.Changes(), 0u);
}

TEST(ModemWatchHelper, StopRightAfterStartNeverHangs) {
    // The signal often comes before the helper is in its wait: Stop must still get it out.
    for (int round = 0; round < 200; ++round) {
        PipeLines lines;
        ModemWatch watch(lines.Wait(), [] {});
        ASSERT_EQ(watch.Start(), 0) << "round " << round;
        if (round % 2)
            std::this_thread::yield();
        StopPromptly(watch, lines);
        if (HasFatalFailure() || HasFailure())
            FAIL() << "round " << round;
    }
}

TEST(ModemWatchHelper, ASignalThatComesBeforeTheWaitDoesNotStrandTheHelper) {
    // The helper spends a while between its look at the stop and the wait itself, and the
    // stop's first signal lands there, where it ends nothing.
    PipeLines lines;
    auto read = lines.Wait();
    ModemWatch watch(
        [read] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            return read();
        },
        [] {});
    ASSERT_EQ(watch.Start(), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    StopPromptly(watch, lines);
}

TEST(ModemWatchHelper, ADeviceThatCannotWaitEndsTheHelperAtOnce) {
    int waits = 0;
    ModemWatch watch(
        [&] {
            ++waits;
            return ENOTTY; // what a pseudo-terminal answers
        },
        [] { ADD_FAILURE() << "kicked"; });
    ASSERT_EQ(watch.Start(), 0);
    ASSERT_TRUE(WaitUntil([&] { return !watch.Running(); }));
    watch.Stop();
    EXPECT_EQ(waits, 1);
    EXPECT_EQ(watch.Changes(), 0u);
}

TEST(ModemWatchHelper, AWatchNeverStartedStopsAtOnce) {
    ModemWatch watch([] { return 0; }, [] {});
    EXPECT_FALSE(watch.Running());
    watch.Stop();
    EXPECT_FALSE(watch.Running());
}

int ThreadsNamed(const std::string& wanted) {
    int n = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream comm(task.path() / "comm");
        std::string name;
        std::getline(comm, name);
        if (name == wanted)
            ++n;
    }
    return n;
}

TEST(ModemWatchDevice, APseudoTerminalGetsNoHelper) {
    lirat_test::PtyLine line;
    TComPort port;
    port.SetPort(line.DevicePath());
    port.SetEvents(TComEvents::All()); // modem-line events asked for
    port.SetSyncMethod(smNone);
    int before = ThreadsNamed(ModemWatch::kThreadName);
    port.Open();
    // The count sees the event thread (once it has named itself)...
    EXPECT_TRUE(WaitUntil([] { return ThreadsNamed(TComThread::kThreadName) == 1; }));
    // ...but no helper beside it.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(ThreadsNamed(ModemWatch::kThreadName), before);
    port.Close();
    EXPECT_EQ(ThreadsNamed(ModemWatch::kThreadName), before);
}

} // namespace
