// The event thread over a real pseudo-terminal: what starts it, what it delivers and in which
// order, the three delivery methods, and stopping it.
#include "serial/app_exception.h"
#include "serial/com_port.h"
#include "serial/com_thread.h"
#include "serial/signal_event.h"
#include "serial/sync_dispatcher.h"

#include "tests/serial/far_end_test.h"
#include "tests/serial/journal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace serial;
using Clock = std::chrono::steady_clock;

// Wine's WaitCommEvent on a pseudo-terminal port ends at once with error 995 (it needs the
// serial driver's interrupt counters), so no line event reaches the port there.
#define SKIP_WITHOUT_LINE_EVENTS()                                                                 \
    if (lirat_test::UnderWine())                                                                   \
    GTEST_SKIP() << "Wine reports no line events on a pseudo-terminal port"

long long MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

class EventThread : public lirat_test::FarEndTest {
protected:
    void SetUp() override {
        FarEndTest::SetUp();
        if (IsSkipped())
            return;
        dispatcher = std::make_shared<TPlainDispatcher>();
        SetSyncDispatcher(dispatcher);
        port.SetPort(far->PortName());
        port.SetSyncMethod(smNone);
    }
    void TearDown() override {
        port.Close();
        SetSyncDispatcher(nullptr);
    }

    void RecordEverything() {
        port.OnRxChar = [this](TCustomComPort&, int n) { log.Add("RxChar:" + std::to_string(n)); };
        port.OnRxBuf = [this](TCustomComPort&, const void* b, int n) {
            log.Add("RxBuf:" + std::string(static_cast<const char*>(b), n));
        };
        port.OnTxEmpty = [this](TCustomComPort&) { log.Add("TxEmpty"); };
        port.OnRxFlag = [this](TCustomComPort&) { log.Add("RxFlag"); };
        port.OnRx80Full = [this](TCustomComPort&) { log.Add("Rx80Full"); };
        port.OnError = [this](TCustomComPort&, TComErrors) { log.Add("Error"); };
        port.OnBreak = [this](TCustomComPort&) { log.Add("Break"); };
        port.OnRing = [this](TCustomComPort&) { log.Add("Ring"); };
    }

    std::shared_ptr<TPlainDispatcher> dispatcher;
    TComPort port;
    lirat_test::Journal log;
};

TEST(EventMask, EventsAndMaskBitsMapBothWays) {
    struct Case {
        TComEvent event;
        std::uint32_t bit;
    };
    const Case cases[] = {{evRxChar, 1}, {evRxFlag, 2},     {evTxEmpty, 4}, {evCTS, 8},
                          {evDSR, 16},   {evRLSD, 32},      {evBreak, 64},  {evError, 128},
                          {evRing, 256}, {evRx80Full, 1024}};
    for (const Case& c : cases) {
        EXPECT_EQ(TComThread::EventsToMask({c.event}), c.bit);
        EXPECT_EQ(TComThread::MaskToEvents(c.bit), TComEvents({c.event}));
    }
    EXPECT_EQ(TComThread::EventsToMask(TComEvents::All()), 0x5FFu);
    // Bits outside the table (512, 2048 and up) are ignored.
    EXPECT_EQ(TComThread::MaskToEvents(512 | 2048 | 0x80000000u), TComEvents());
}

TEST_F(EventThread, EmptyEventsStartNoThreadAndAllowWaitForEvent) {
    SKIP_WITHOUT_LINE_EVENTS();
    port.SetEvents({});
    port.Open();
    EXPECT_FALSE(port.WatchThreadRunning());
    EXPECT_EQ(port.WatchThread(), nullptr);

    TComEvents events{evRxChar};
    auto start = Clock::now();
    port.WaitForEvent(events, nullptr, 100);
    long long took = MsSince(start);
    EXPECT_TRUE(events.empty());
    EXPECT_GE(took, 80);

    far->Send("x");
    events = {evRxChar, evRxFlag};
    port.WaitForEvent(events, nullptr, 3000);
    EXPECT_EQ(events, TComEvents({evRxChar}));
}

TEST_F(EventThread, StopEventEndsWaitForEvent) {
    SKIP_WITHOUT_LINE_EVENTS();
    port.SetEvents({});
    port.Open();
    TSignalEvent stop;
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        stop.Set();
    });
    TComEvents events{evRxChar};
    auto start = Clock::now();
    port.WaitForEvent(events, &stop, 10000);
    stopper.join();
    EXPECT_TRUE(events.empty());
    // Long before the time-out of 10 s: the stop event ended the wait.
    EXPECT_LT(MsSince(start), 5000);
}

TEST_F(EventThread, WaitForEventIsRefusedWhileTheThreadRuns) {
    port.SetEvents({evRxChar});
    port.Open();
    ASSERT_TRUE(port.WatchThreadRunning());
    TComEvents events{evRxChar};
    try {
        port.WaitForEvent(events, nullptr, 10);
        FAIL() << "WaitForEvent ran beside the event thread";
    } catch (const EComPort& e) {
        EXPECT_EQ(e.Code(), 20);
        EXPECT_STREQ(e.what(), "Cannot wait for event if event thread is created");
    }
}

TEST_F(EventThread, ReceivedBytesAreCountedAndLeftQueued) {
    SKIP_WITHOUT_LINE_EVENTS();
    RecordEverything();
    port.Open();
    far->Send("ABCDE");
    ASSERT_TRUE(log.WaitFor("RxChar:5"));
    EXPECT_EQ(port.InputCount(), 5);
    for (const std::string& e : log.Entries())
        EXPECT_EQ(e.rfind("RxBuf", 0), std::string::npos) << e;
}

TEST_F(EventThread, ReceivedBytesGoToOnRxBufWhenNotCounted) {
    SKIP_WITHOUT_LINE_EVENTS();
    RecordEverything();
    port.SetTriggersOnRxChar(false);
    port.Open();
    far->Send("ABCDE");
    auto start = Clock::now();
    std::string got;
    while (got.size() < 5 && MsSince(start) < 3000) {
        got.clear();
        for (const std::string& e : log.Entries())
            if (e.rfind("RxBuf:", 0) == 0)
                got += e.substr(6);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(got, "ABCDE");
    EXPECT_EQ(port.InputCount(), 0);
    for (const std::string& e : log.Entries())
        EXPECT_EQ(e.rfind("RxChar", 0), std::string::npos) << e;
}

TEST_F(EventThread, LinkWithReceiveBufferGetsTheSameBytes) {
    SKIP_WITHOUT_LINE_EVENTS();
    RecordEverything();
    TComLink link;
    link.LinkRxBuf = [this](TCustomComPort&, const void* b, int n) {
        log.Add("Link:" + std::string(static_cast<const char*>(b), n));
    };
    link.LinkRx = [this](TCustomComPort&, bool on) { log.Add(on ? "Rx+" : "Rx-"); };
    port.RegisterLink(&link);
    port.Open();
    far->Send("ABCDE");
    ASSERT_TRUE(log.WaitFor("Link:ABCDE"));
    EXPECT_TRUE(log.Has("RxBuf:ABCDE"));
    EXPECT_TRUE(log.Has("Rx+"));
    EXPECT_FALSE(log.Has("RxChar:5")); // the bytes were taken for the link
    EXPECT_THROW(port.SetTriggersOnRxChar(false), EComPort);
    port.Close();
    port.UnRegisterLink(&link);
}

TEST_F(EventThread, EventsOfOneWaitArriveInTheFixedOrder) {
    if (lirat_test::UnderWine())
        GTEST_SKIP() << "Wine's serial event wait does not report the event character or the "
                        "80 % mark";
    RecordEverything();
    port.Buffer().SetInputSize(10); // 80 % is 8 bytes
    port.SetEventChar('!');
    port.Open();
    far->Send("0123456!89"); // one arrival: a byte, the event character and the 80 % mark
    ASSERT_TRUE(log.WaitFor("Rx80Full"));
    std::vector<std::string> order;
    for (const std::string& e : log.Entries())
        if (e == "RxFlag" || e == "Rx80Full" || e.rfind("RxChar", 0) == 0)
            order.push_back(e.rfind("RxChar", 0) == 0 ? "RxChar" : e);
    EXPECT_EQ(order, (std::vector<std::string>{"RxChar", "RxFlag", "Rx80Full"}));
    EXPECT_FALSE(log.Has("Error"));
    EXPECT_FALSE(log.Has("Break"));
    // The bytes taken to look for the event character are still there to read, in order.
    std::string reply;
    EXPECT_EQ(port.ReadStr(reply, 31), 10);
    EXPECT_EQ(reply, "0123456!89");
}

TEST_F(EventThread, ErrorEventWithoutErrorsCallsNoHandler) {
    RecordEverything();
    port.Open();
    port.CallError(); // what the thread runs for evError
    EXPECT_FALSE(log.Has("Error"));
}

TEST_F(EventThread, TransmitQueueRunningEmptyIsReported) {
    SKIP_WITHOUT_LINE_EVENTS();
    RecordEverything();
    TComLink link;
    link.LinkTx = [this](TCustomComPort&, bool on) { log.Add(on ? "Tx+" : "Tx-"); };
    link.LinkTxEmpty = [this](TCustomComPort&) { log.Add("LinkTxEmpty"); };
    port.RegisterLink(&link);
    port.SetEvents({evTxEmpty});
    port.Open();
    EXPECT_EQ(port.WriteStr("$8\r\n"), 4);
    ASSERT_TRUE(log.WaitFor("TxEmpty"));
    EXPECT_TRUE(log.Has("Tx+"));
    EXPECT_TRUE(log.Has("Tx-"));
    EXPECT_TRUE(log.Has("LinkTxEmpty"));
    port.Close();
    port.UnRegisterLink(&link);
}

TEST_F(EventThread, QueueReaching80PercentIsReportedOncePerCrossing) {
    if (lirat_test::UnderWine())
        GTEST_SKIP() << "Wine's serial event wait does not report the 80 % mark";
    RecordEverything();
    port.SetEvents({evRx80Full}); // the tool's own configuration
    port.Buffer().SetInputSize(100);
    port.Open();
    far->Send(std::string(50, 'a'));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(log.Has("Rx80Full"));
    far->Send(std::string(40, 'b'));
    ASSERT_TRUE(log.WaitFor("Rx80Full"));
    far->Send("c");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    auto entries = log.Entries();
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "Rx80Full"), 1);
    // Below the mark again, the next crossing is reported again.
    port.ClearBuffer(true, false);
    far->Send(std::string(85, 'd'));
    auto start = Clock::now();
    while (MsSince(start) < 3000) {
        entries = log.Entries();
        if (std::count(entries.begin(), entries.end(), "Rx80Full") == 2)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "Rx80Full"), 2);
}

TEST_F(EventThread, ThreadSyncRunsHandlersOnTheUserInterfaceThread) {
    SKIP_WITHOUT_LINE_EVENTS();
    std::atomic<bool> onUiThread{false};
    std::thread::id ui = std::this_thread::get_id();
    port.SetSyncMethod(smThreadSync);
    port.OnRxChar = [&](TCustomComPort&, int n) {
        onUiThread = std::this_thread::get_id() == ui;
        log.Add("RxChar:" + std::to_string(n));
    };
    port.Open();
    far->Send("hi");
    ASSERT_TRUE(log.WaitFor("RxChar:2", 1, dispatcher.get()));
    EXPECT_TRUE(onUiThread);
}

TEST_F(EventThread, CloseServesADeliveryThatWaitsForTheUserInterfaceThread) {
    SKIP_WITHOUT_LINE_EVENTS();
    port.SetSyncMethod(smThreadSync);
    port.OnRxChar = [&](TCustomComPort&, int n) { log.Add("RxChar:" + std::to_string(n)); };
    port.Open();
    far->Send("zz");
    // The event thread now waits in Synchronize, because nobody pumps the dispatcher.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    port.Close();
    EXPECT_TRUE(log.Has("RxChar:2"));
    EXPECT_FALSE(port.WatchThreadRunning());
}

TEST_F(EventThread, WindowMethodShowsAHandlersExceptionAndGoesOn) {
    std::vector<std::string> shown;
    auto previous = SetApplicationExceptionHandler([&](std::exception_ptr e) {
        try {
            std::rethrow_exception(e);
        } catch (const std::exception& error) {
            shown.push_back(error.what());
        }
    });
    port.SetEvents({});
    int calls = 0;
    port.OnRxChar = [&](TCustomComPort&, int n) {
        if (++calls == 1)
            throw std::runtime_error("handler failed");
        log.Add("RxChar:" + std::to_string(n));
    };
    port.OnRing = [&](TCustomComPort&) { log.Add("Ring"); };
    port.Open();
    far->Send("ab");
    auto start = Clock::now();
    while (port.InputCount() < 2 && MsSince(start) < 3000)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    // The messages the event thread sends: received byte (1) twice, then ring (256).
    TMessage message;
    message.Msg = TComThread::kEventMessage;
    message.WParam = 1;
    EXPECT_NO_THROW(port.WindowMethod(message));
    port.WindowMethod(message);
    message.WParam = 256;
    port.WindowMethod(message);
    message.WParam = 512; // no event has this bit: nothing
    port.WindowMethod(message);
    SetApplicationExceptionHandler(previous);
    EXPECT_EQ(shown, std::vector<std::string>{"handler failed"});
    EXPECT_EQ(log.Entries(), (std::vector<std::string>{"RxChar:2", "Ring"}));

    // Other messages go to the default procedure; a closed port ignores event messages.
    TMessage other;
    other.Msg = 1024;
    other.WParam = 1;
    port.WindowMethod(other);
    EXPECT_EQ(other.Result, 0);
    port.Close();
    message.WParam = 1;
    port.WindowMethod(message);
    EXPECT_EQ(calls, 2);
}

TEST_F(EventThread, WindowSyncDeliversOnTheUserInterfaceThreadAfterAFailedHandler) {
    SKIP_WITHOUT_LINE_EVENTS();
    int shown = 0;
    auto previous = SetApplicationExceptionHandler([&](std::exception_ptr) { ++shown; });
    port.SetSyncMethod(smWindowSync);
    std::thread::id ui = std::this_thread::get_id();
    bool onUiThread = true;
    int calls = 0;
    port.OnRxChar = [&](TCustomComPort& sender, int) {
        onUiThread = onUiThread && std::this_thread::get_id() == ui;
        std::string bytes;
        sender.ReadStr(bytes, 31); // take the bytes so that the next ones count afresh
        log.Add("RxChar:" + bytes);
        if (++calls == 1)
            throw std::runtime_error("handler failed");
    };
    port.Open();
    ASSERT_NE(port.SyncWindow(), nullptr);
    far->Send("1");
    ASSERT_TRUE(log.WaitFor("RxChar:1", 1, dispatcher.get()));
    far->Send("2");
    EXPECT_TRUE(log.WaitFor("RxChar:2", 1, dispatcher.get()));
    SetApplicationExceptionHandler(previous);
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(onUiThread);
    port.Close();
    EXPECT_EQ(port.SyncWindow(), nullptr);
    // Messages still queued for the destroyed window are dropped.
    dispatcher->CheckSynchronize();
}

TEST_F(EventThread, CloseWhileWaitingEndsTheThreadAndLeavesTheQueuesEmpty) {
    port.SetEvents(TComEvents::All());
    port.Open();
    far->Send("unread reply");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ASSERT_GT(port.InputCount(), 0);
    port.Close();
    EXPECT_FALSE(port.WatchThreadRunning());
    port.SetEvents({});
    port.Open();
    EXPECT_EQ(port.InputCount(), 0);
    EXPECT_EQ(port.OutputCount(), 0);
}

TEST_F(EventThread, HandlerExceptionOnTheEventThreadDoesNotEndIt) {
    SKIP_WITHOUT_LINE_EVENTS();
    std::atomic<int> shown{0};
    auto previous = SetApplicationExceptionHandler([&](std::exception_ptr) { shown.fetch_add(1); });
    std::atomic<int> calls{0};
    port.OnRxChar = [&](TCustomComPort& sender, int) {
        std::string bytes;
        sender.ReadStr(bytes, 31);
        if (calls.fetch_add(1) == 0)
            throw std::runtime_error("first delivery fails");
    };
    port.Open();
    far->Send("a");
    auto start = Clock::now();
    while (calls < 1 && MsSince(start) < 3000)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    far->Send("b");
    while (calls < 2 && MsSince(start) < 6000)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    port.Close();
    SetApplicationExceptionHandler(previous);
    EXPECT_EQ(calls.load(), 2);
    EXPECT_EQ(shown.load(), 1);
}

} // namespace
