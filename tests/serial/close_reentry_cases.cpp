#include "tests/serial/close_reentry_cases.h"

#include "serial/com_port.h"
#include "serial/com_thread.h"
#include "tests/serial/far_end.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace lirat_test {

using namespace serial;
using Clock = std::chrono::steady_clock;

std::vector<ReentryRow> ReentryRows() {
    return {
        {"ThreadSyncHook", smThreadSync, InnerClose::FromBeforeCloseHook, false},
        {"WindowSyncHook", smWindowSync, InnerClose::FromBeforeCloseHook, false},
        {"NoSyncHook", smNone, InnerClose::FromBeforeCloseHook, false},
        {"ThreadSyncEvent", smThreadSync, InnerClose::FromEventDuringTheWait, true},
        {"WindowSyncEvent", smWindowSync, InnerClose::FromEventDuringTheWait, false},
    };
}

std::string RowName(const ReentryRow& row) {
    return row.name;
}

void CheckServeUntilLeavesPostedWork(DispatcherKit& kit) {
    const std::shared_ptr<TSyncDispatcher> dispatcher = kit.Dispatcher();
    std::vector<std::string> ran; // touched on this thread only: both items run here
    std::thread worker([&] {
        dispatcher->Post([&] { ran.push_back("posted"); });
        dispatcher->Synchronize([&] { ran.push_back("synchronised"); });
    });
    dispatcher->ServeUntil([&] { return !ran.empty(); });
    worker.join();
    EXPECT_EQ(ran, std::vector<std::string>{"synchronised"});
    for (auto start = Clock::now();
         ran.size() < 2 && Clock::now() - start < std::chrono::seconds(5);)
        kit.Pump(10);
    EXPECT_EQ(ran, (std::vector<std::string>{"synchronised", "posted"}));
}

namespace {

// Waits, without serving the dispatcher, until the event thread has woken for an event: its
// delivery then follows for certain, also once Close has signalled the thread to stop.
bool AwaitWakeUp(TCustomComPort& port, std::uint64_t before) {
    for (auto start = Clock::now(); Clock::now() - start < std::chrono::seconds(5);) {
        if (port.WatchThread() && port.WatchThread()->WakeUps() > before)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

} // namespace

void CheckCloseReentry(DispatcherKit& kit, const ReentryRow& row) {
    const bool byEvent = row.source == InnerClose::FromEventDuringTheWait;
    if (byEvent && UnderWine())
        GTEST_SKIP() << "Wine reports no line events on a pseudo-terminal port";
    std::string whyNot;
    std::unique_ptr<FarEnd> far = MakeFarEnd(whyNot);
    if (!far)
        GTEST_SKIP() << whyNot;
    SetSyncDispatcher(kit.Dispatcher());
    struct Restore {
        ~Restore() { SetSyncDispatcher(nullptr); }
    } restore;

    int beforeClose = 0;
    int afterClose = 0;
    std::atomic<int> handled{0}; // the later session's smNone handler runs on the event thread
    int handledInsideClose = 0;
    bool insideClose = false;
    auto port = std::make_unique<TComPort>();
    port->SetPort(far->PortName());
    port->SetSyncMethod(row.method);
    port->SetEvents({evRxChar});
    port->OnBeforeClose = [&](TCustomComPort& sender) {
        if (++beforeClose == 1 && !byEvent)
            sender.Close();
    };
    port->OnAfterClose = [&](TCustomComPort&) { ++afterClose; };
    port->OnRxChar = [&](TCustomComPort& sender, int) {
        ++handled;
        handledInsideClose += insideClose;
        sender.Close();
    };
    port->Open();
    ASSERT_TRUE(port->WatchThreadRunning());
    if (byEvent) {
        const std::uint64_t wakeUps = port->WatchThread()->WakeUps();
        far->Send("x");
        ASSERT_TRUE(AwaitWakeUp(*port, wakeUps));
    }
    insideClose = true;
    EXPECT_NO_THROW(port->Close());
    insideClose = false;
    EXPECT_EQ(beforeClose, 1);
    EXPECT_EQ(afterClose, 1);
    EXPECT_FALSE(port->Connected());
    EXPECT_EQ(port->WatchThread(), nullptr);
    EXPECT_EQ(port->DeviceHandle(), nullptr);
    EXPECT_EQ(handledInsideClose, row.handlerRunsInsideClose ? 1 : 0);
    // What was posted for the closed port goes with its window: no handler sees it later.
    kit.Pump(100);
    EXPECT_EQ(handled, handledInsideClose);

    // The port is whole: it opens again, delivers, and closes with its hooks once more.
    handled = 0;
    port->OnRxChar = [&](TCustomComPort& sender, int) {
        std::string bytes;
        sender.ReadStr(bytes, 16);
        if (!bytes.empty())
            ++handled;
    };
    ASSERT_NO_THROW(port->Open());
    EXPECT_TRUE(port->Connected());
    EXPECT_TRUE(port->WatchThreadRunning());
    if (!UnderWine()) {
        far->Send("y");
        for (auto start = Clock::now();
             handled == 0 && Clock::now() - start < std::chrono::seconds(5);)
            kit.Pump(10);
        EXPECT_EQ(handled, 1);
    }
    port->Close();
    EXPECT_EQ(beforeClose, 2);
    EXPECT_EQ(afterClose, 2);
    port.reset(); // a thread destroyed twice shows up here, under AddressSanitizer
}

} // namespace lirat_test
