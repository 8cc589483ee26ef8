// The backend's event objects, which completion records, the event thread's stop and
// WaitForEvent's stop event are built on: signalled and reset, manual and automatic reset,
// before and after a wait has first polled them.
#include "serial/backend.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <thread>
#include <vector>

namespace {

using namespace serial::backend;
using Clock = std::chrono::steady_clock;

// Owns one event for the length of a test case.
struct EventHolder {
    Event* event = nullptr;
    EventHolder(bool manualReset, bool initialState) {
        EXPECT_EQ(CreateSignalEvent(manualReset, initialState, event), 0);
    }
    ~EventHolder() { DestroySignalEvent(event); }
};

// The index a wait for the one event reports: 0 when it was signalled, kWaitTimeout otherwise.
int WaitOne(Event* event, int timeoutMs) {
    int index = -1;
    EXPECT_EQ(WaitForEvents(&event, 1, timeoutMs, index), 0);
    return index;
}

enum class Step { Set, Reset, Poll };

TEST(SignalEvent, StateAfterEachSequence) {
    // "Poll" is a wait that times out at once: it makes the event pollable while unsignalled,
    // so the steps after it run on whatever the wait needs from the system.
    struct Case {
        const char* name;
        bool manualReset;
        bool initialState;
        std::vector<Step> steps;
        std::vector<int> waits; // expected index of each wait (0 ms) after the steps
    };
    const int T = kWaitTimeout;
    const Case cases[] = {
        {"manual, made signalled, stays signalled", true, true, {}, {0, 0, 0}},
        {"auto, made signalled, one wait takes it", false, true, {}, {0, T}},
        {"manual, made unsignalled", true, false, {}, {T, T}},
        {"manual, set", true, false, {Step::Set}, {0, 0}},
        {"manual, set then reset", true, false, {Step::Set, Step::Reset}, {T}},
        {"manual, set twice then reset once",
         true,
         false,
         {Step::Set, Step::Set, Step::Reset},
         {T}},
        {"auto, set twice, one wait takes it", false, false, {Step::Set, Step::Set}, {0, T}},
        {"manual, polled, then set", true, false, {Step::Poll, Step::Set}, {0, 0}},
        {"manual, polled, set, reset", true, false, {Step::Poll, Step::Set, Step::Reset}, {T, T}},
        {"manual, polled, set twice, reset once",
         true,
         false,
         {Step::Poll, Step::Set, Step::Set, Step::Reset},
         {T}},
        {"auto, polled, then set", false, false, {Step::Poll, Step::Set}, {0, T}},
        {"auto, polled, set, taken, set again",
         false,
         false,
         {Step::Poll, Step::Set, Step::Poll, Step::Set},
         {0, T}},
        {"manual, made signalled, polled, reset", true, true, {Step::Poll, Step::Reset}, {T}},
    };
    for (const Case& c : cases) {
        EventHolder holder(c.manualReset, c.initialState);
        Event* event = holder.event;
        ASSERT_NE(event, nullptr) << c.name;
        for (Step step : c.steps) {
            if (step == Step::Set)
                EXPECT_EQ(SetSignalEvent(event), 0) << c.name;
            else if (step == Step::Reset)
                EXPECT_EQ(ResetSignalEvent(event), 0) << c.name;
            else
                WaitOne(event, 0);
        }
        for (std::size_t i = 0; i < c.waits.size(); ++i)
            EXPECT_EQ(WaitOne(event, 0), c.waits[i]) << c.name << ", wait " << i;
    }
}

TEST(SignalEvent, WaitEndsWhenAnotherThreadSetsOneOfTheEvents) {
    for (bool pollFirst : {false, true}) {
        EventHolder first(true, false);
        EventHolder second(false, false);
        if (pollFirst)
            WaitOne(second.event, 0);
        Event* events[2] = {first.event, second.event};
        std::thread setter([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            SetSignalEvent(second.event);
        });
        int index = -1;
        auto start = Clock::now();
        EXPECT_EQ(WaitForEvents(events, 2, -1, index), 0);
        auto waited = Clock::now() - start;
        setter.join();
        EXPECT_EQ(index, 1) << "poll first: " << pollFirst;
        EXPECT_GE(waited, std::chrono::milliseconds(30)) << "poll first: " << pollFirst;
        // The automatic one was taken by the wait.
        EXPECT_EQ(WaitOne(second.event, 0), kWaitTimeout);
    }
}

TEST(SignalEvent, WaitWithoutASignalEndsAfterItsTimeOut) {
    EventHolder holder(true, false);
    auto start = Clock::now();
    EXPECT_EQ(WaitOne(holder.event, 100), kWaitTimeout);
    auto waited = Clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(90));
}

#ifndef _WIN32
double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1000 + static_cast<double>(t.tv_nsec) / 1e6;
}

// An event that was set and reset after a wait first polled it must not look signalled to the
// system any more: a wait on it would spin through its whole time-out instead of sleeping.
TEST(SignalEvent, ResetEventKeepsNoWaitBusy) {
    for (bool manualReset : {true, false}) {
        EventHolder holder(manualReset, false);
        WaitOne(holder.event, 0);
        SetSignalEvent(holder.event);
        SetSignalEvent(holder.event);
        ResetSignalEvent(holder.event);
        double cpu0 = ThreadCpuMs();
        EXPECT_EQ(WaitOne(holder.event, 300), kWaitTimeout);
        EXPECT_LT(ThreadCpuMs() - cpu0, 150) << "manual reset: " << manualReset;
    }
}
#endif

} // namespace
