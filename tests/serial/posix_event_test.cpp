// POSIX-only checks of the event thread: nothing is left behind by many opens and closes, and
// the thread wakes only for what it waits for.
#include "serial/com_port.h"
#include "serial/com_thread.h"

#include "tests/serial/pty_line.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>

#include <unistd.h>

namespace {

using namespace serial;

// The port on the line, its events delivered by the event thread itself (smNone).
void OnLine(TComPort& port, const lirat_test::PtyLine& line, TComEvents events) {
    port.SetPort(line.DevicePath());
    port.SetEvents(events);
    port.SetSyncMethod(smNone);
}

std::size_t Entries(const char* folder) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
        ++n;
    return n;
}

TEST(EventThreadLifetime, ThousandOpensAndClosesLeaveNoThreadOrDescriptor) {
    lirat_test::PtyLine line;
    TComPort port;
    OnLine(port, line, TComEvents::All());
    port.Open(); // the first open may set up things that live on (the dispatcher)
    port.Close();
    std::size_t fds = Entries("/proc/self/fd");
    std::size_t threads = Entries("/proc/self/task");
    for (int i = 0; i < 1000; ++i) {
        port.Open();
        ASSERT_TRUE(port.WatchThreadRunning()) << "round " << i;
        port.Close();
    }
    EXPECT_EQ(Entries("/proc/self/fd"), fds);
    EXPECT_EQ(Entries("/proc/self/task"), threads);
}

TEST(EventThreadLifetime, HandlersThatCloseTheirOwnPortLeaveNoThreadOrDescriptor) {
    lirat_test::PtyLine line;
    TComPort port;
    OnLine(port, line, {evRxChar});
    std::mutex mutex;
    std::condition_variable changed;
    int opens = 0;
    int closes = 0;
    port.OnRxChar = [&](TCustomComPort& sender, int) {
        // The port takes no locks: the handler closes it only once this thread is done with it.
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return opens > closes; });
        sender.Close();
        ++closes;
        changed.notify_all();
    };
    port.Open(); // the first open may set up things that live on (the dispatcher)
    port.Close();
    std::size_t fds = Entries("/proc/self/fd");
    std::size_t threads = Entries("/proc/self/task");
    for (int i = 1; i <= 200; ++i) {
        port.Open();
        {
            std::lock_guard lock(mutex);
            opens = i;
            changed.notify_all();
        }
        line.Send("x");
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(5), [&] { return closes == i; }))
            << "round " << i;
    }
    port.Open(); // reaps the last stopped thread
    port.Close();
    EXPECT_EQ(Entries("/proc/self/fd"), fds);
    EXPECT_EQ(Entries("/proc/self/task"), threads);
}

// Context switches (each one a wake-up) and CPU ticks of the port's event threads, found by
// their name (a sanitizer's own background threads do not count).
struct ThreadCost {
    long long switches = 0;
    long long cpuTicks = 0;
};

ThreadCost EventThreadsCost() {
    ThreadCost cost;
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
                cost.switches += std::stoll(line.substr(line.find(':') + 1));
        }
        std::ifstream stat(task.path() / "stat");
        std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
        // Fields after the command name in parentheses: utime and stime are the 12th and 13th.
        std::istringstream rest(text.substr(text.rfind(')') + 2));
        std::string field;
        for (int i = 1; i <= 13 && rest >> field; ++i)
            if (i == 12 || i == 13)
                cost.cpuTicks += std::stoll(field);
    }
    return cost;
}

TEST(EventThreadCost, QuietPortAndUnreadReplyWakeNothing) {
    struct Config {
        const char* name;
        TComEvents events;
    };
    const Config configs[] = {{"tool (evRx80Full)", {evRx80Full}},
                              {"all events", TComEvents::All()}};
    for (const Config& config : configs) {
        lirat_test::PtyLine line;
        TComPort port;
        OnLine(port, line, config.events);
        int calls = 0; // the port's only callback; with the tool's settings it must stay unused
        port.OnRxChar = [&](TCustomComPort&, int) { ++calls; };
        port.Open();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        ThreadCost before = EventThreadsCost();
        std::this_thread::sleep_for(std::chrono::seconds(2));
        ThreadCost idle = EventThreadsCost();

        line.Send("!00\r"); // a reply the tool leaves unread for a whole timer interval
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        ThreadCost arrived = EventThreadsCost();
        std::this_thread::sleep_for(std::chrono::seconds(2));
        ThreadCost waited = EventThreadsCost();
        long long idleWakeUps = idle.switches - before.switches;
        long long waitingWakeUps = waited.switches - arrived.switches;
        long long waitingTicks = waited.cpuTicks - arrived.cpuTicks;
        // The arrival itself wakes the thread: proof that the count sees wake-ups at all.
        long long arrivalWakeUps = arrived.switches - idle.switches;
        std::cout << config.name << ": " << idleWakeUps << " wake-ups in 2 s idle, "
                  << waitingWakeUps << " wake-ups and "
                  << waitingTicks * 1000 / ::sysconf(_SC_CLK_TCK)
                  << " ms CPU in 2 s with a reply waiting unread (" << arrivalWakeUps
                  << " for its arrival)\n";
        EXPECT_GE(arrivalWakeUps, 1) << config.name;
        EXPECT_LE(idleWakeUps, 2) << config.name;
        EXPECT_LE(waitingWakeUps, 2) << config.name;
        EXPECT_LE(waitingTicks * 1000 / ::sysconf(_SC_CLK_TCK), 100) << config.name;
        EXPECT_EQ(port.InputCount(), 4) << config.name;
        if (!config.events.contains(evRxChar)) {
            EXPECT_EQ(calls, 0) << config.name;
        }
        port.Close();
    }
}

// A write may only wake the thread when the thread waits for the transmit queue to run empty;
// for any other mask (the tool's is [evRx80Full]) every command sent would otherwise cost the
// thread a wake-up.
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
        OnLine(port, line, c.events);
        std::atomic<int> txEmpty{0};
        port.OnTxEmpty = [&](TCustomComPort&) { ++txEmpty; };
        port.Open();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        long long before = EventThreadsCost().switches;
        std::size_t received = 0;
        for (int i = 0; i < kWrites; ++i) {
            ASSERT_EQ(port.WriteStr("$8\r\n"), 4) << c.name;
            // The far end takes each command, so the transmit queue runs empty every time.
            received += line.Receive(4, 1000).size();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        long long wakeUps = EventThreadsCost().switches - before;
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
