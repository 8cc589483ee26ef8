// A port closed by one of its own event handlers: on the event thread itself (smNone) and on the
// user-interface thread inside a delivery the event thread waits for (smThreadSync). Neither may
// wait for the thread's end; the port must still be released at once and open again cleanly.
// The port takes no locks, so a handler on the event thread that closes the port first waits
// until the test's thread says it is done with the port ("opened").
#include "serial/com_port.h"
#include "serial/com_thread.h"
#include "serial/sync_dispatcher.h"

#include "tests/serial/far_end_test.h"
#include "tests/serial/journal.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace serial;

class CloseFromHandler : public lirat_test::FarEndTest {
protected:
    void SetUp() override {
        if (lirat_test::UnderWine())
            GTEST_SKIP() << "Wine reports no line events on a pseudo-terminal port";
        FarEndTest::SetUp();
        if (IsSkipped())
            return;
        dispatcher = std::make_shared<TPlainDispatcher>();
        SetSyncDispatcher(dispatcher);
        port = std::make_unique<TComPort>();
        port->SetPort(far->PortName());
        port->SetSyncMethod(smNone);
    }
    void TearDown() override {
        port.reset();
        SetSyncDispatcher(nullptr);
    }

    std::shared_ptr<TPlainDispatcher> dispatcher;
    std::unique_ptr<TComPort> port;
    lirat_test::Journal log;
};

TEST_F(CloseFromHandler, OnTheEventThreadReleasesThePortAndDropsTheRestOfTheEvents) {
    port->SetEvents({evRxChar, evRxFlag});
    port->SetEventChar('!');
    bool closeNext = true;
    port->OnRxChar = [&](TCustomComPort& sender, int n) {
        if (closeNext) {
            closeNext = false;
            log.WaitFor("opened"); // the test's thread is done with the port
            sender.Close();
            log.Add(sender.Connected() ? "still open" : "closed");
        } else {
            log.Add("RxChar:" + std::to_string(n));
        }
    };
    port->OnRxFlag = [&](TCustomComPort&) { log.Add("RxFlag"); };
    port->Open();
    log.Add("opened");
    far->Send("ab!"); // one arrival: a received byte and the event character together
    ASSERT_TRUE(log.WaitFor("closed"));
    EXPECT_EQ(port->WatchThread(), nullptr);
    EXPECT_EQ(port->DeviceHandle(), nullptr);

    // The port is free at once: it opens again on the same device, with a new thread, and the
    // bytes of the closed session are gone.
    port->Open();
    ASSERT_TRUE(port->Connected());
    EXPECT_TRUE(port->WatchThreadRunning());
    EXPECT_EQ(port->InputCount(), 0);
    far->Send("xyz");
    EXPECT_TRUE(log.WaitFor("RxChar:3"));
    port->Close();
    // The event character came with the byte whose handler closed the port: never delivered.
    EXPECT_EQ(log.Count("RxFlag"), 0);
    EXPECT_EQ(log.Count("still open"), 0);
}

TEST_F(CloseFromHandler, OnTheEventThreadMayOpenThePortAgainAtOnce) {
    port->SetEvents({evRxChar});
    int round = 0;
    port->OnRxChar = [&](TCustomComPort& sender, int) {
        std::string bytes;
        sender.ReadStr(bytes, 31);
        if (++round == 1) {
            log.WaitFor("opened");
            sender.Close();
            sender.Open(); // the device must already be free for its exclusive open
            log.Add(sender.Connected() && sender.WatchThreadRunning() ? "reopened" : "not open");
        } else {
            log.Add("got:" + bytes);
        }
    };
    port->Open();
    log.Add("opened");
    far->Send("1");
    ASSERT_TRUE(log.WaitFor("reopened"));
    far->Send("2");
    EXPECT_TRUE(log.WaitFor("got:2"));
    port->Close();
    EXPECT_EQ(log.Count("not open"), 0);
}

TEST_F(CloseFromHandler, InsideAThreadSyncDeliveryReturnsWithoutWaitingForTheThread) {
    port->SetSyncMethod(smThreadSync);
    port->SetEvents({evRxChar});
    std::thread::id ui = std::this_thread::get_id();
    bool closing = true;
    port->OnRxChar = [&](TCustomComPort& sender, int n) {
        if (std::this_thread::get_id() != ui)
            log.Add("wrong thread");
        if (!closing) {
            log.Add("RxChar:" + std::to_string(n));
            return;
        }
        closing = false;
        // The event thread waits for this very handler: Close must not wait for the thread.
        sender.Close();
        log.Add("closed");
    };
    port->Open();
    far->Send("hello");
    ASSERT_TRUE(log.WaitFor("closed", 1, dispatcher.get()));
    EXPECT_FALSE(port->Connected());

    port->Open();
    far->Send("again");
    EXPECT_TRUE(log.WaitFor("RxChar:5", 1, dispatcher.get()));
    port->Close();
    EXPECT_EQ(log.Count("wrong thread"), 0);
}

TEST_F(CloseFromHandler, DestroyingThePortAfterwardsWaitsForTheStoppedThread) {
    port->SetEvents({evRxChar});
    port->OnRxChar = [&](TCustomComPort& sender, int) {
        log.WaitFor("opened");
        sender.Close();
        log.Add("closed");
        // Still running on the stopped thread when the test goes on to destroy the port.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        log.Add("handler done");
    };
    port->Open();
    log.Add("opened");
    far->Send("q");
    ASSERT_TRUE(log.WaitFor("closed"));
    port.reset(); // must wait for the handler to return before the port goes
    EXPECT_EQ(log.Count("handler done"), 1);
}

} // namespace
