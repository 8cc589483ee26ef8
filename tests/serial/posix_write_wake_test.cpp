// POSIX-only: what a write costs the port's event thread. A write may only wake the thread when
// the thread waits for the transmit queue to run empty; for any other mask (the tool's is
// [evRx80Full]) every command sent would otherwise cost the thread a wake-up.
#include "serial/com_port.h"
#include "serial/com_thread.h"

#include "tests/serial/pty_line.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include <unistd.h>

namespace {

using namespace serial;

// Context switches of the port's event threads, found by their name.
long long EventThreadSwitches() {
    long long switches = 0;
    std::string self = std::to_string(::gettid());
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream comm(task.path() / "comm");
        std::string name;
        std::getline(comm, name);
        if (task.path().filename() == self || name != TComThread::kThreadName)
            continue;
        std::ifstream status(task.path() / "status");
        for (std::string line; std::getline(status, line);) {
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0 ||
                line.rfind("nonvoluntary_ctxt_switches:", 0) == 0)
                switches += std::stoll(line.substr(line.find(':') + 1));
        }
    }
    return switches;
}

TEST(EventThreadCost, WritesWakeTheThreadOnlyWhenItWaitsForTheTransmitQueue) {
    constexpr int kWrites = 200;
    struct Case {
        const char* name;
        TComEvents events;
        bool wakes; // whether the writes must wake the thread
    };
    const Case cases[] = {
        {"tool (evRx80Full)", {evRx80Full}, false},
        {"received bytes and break (evRxChar, evBreak)", {evRxChar, evBreak}, false},
        {"transmit queue empty (evTxEmpty)", {evTxEmpty}, true},
    };
    for (const Case& c : cases) {
        lirat_test::PtyLine line;
        TComPort port;
        port.SetPort(line.DevicePath());
        port.SetEvents(c.events);
        port.SetSyncMethod(smNone);
        std::atomic<int> txEmpty{0};
        port.OnTxEmpty = [&](TCustomComPort&) { ++txEmpty; };
        port.Open();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        long long before = EventThreadSwitches();
        std::size_t received = 0;
        for (int i = 0; i < kWrites; ++i) {
            ASSERT_EQ(port.WriteStr("$8\r\n"), 4) << c.name;
            // The far end takes each command, so the transmit queue runs empty every time.
            received += line.Receive(4, 1000).size();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        long long wakeUps = EventThreadSwitches() - before;
        port.Close();

        EXPECT_EQ(received, std::size_t{4} * kWrites) << c.name;
        if (c.wakes) {
            // Proof that the count sees the thread's wake-ups, and that the event still comes.
            EXPECT_GE(wakeUps, 1) << c.name;
            EXPECT_GE(txEmpty.load(), 1) << c.name;
        } else {
            // A few for the scheduler's own reasons, nowhere near one per write.
            EXPECT_LE(wakeUps, 5) << c.name;
            EXPECT_EQ(txEmpty.load(), 0) << c.name;
        }
    }
}

} // namespace
