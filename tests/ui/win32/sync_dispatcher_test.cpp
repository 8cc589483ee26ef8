// The serial component's deliveries through the Win32 message loop: posted events run on the
// user-interface thread in order and only from its loop, Synchronize runs there and passes the
// exception back, Close's wait (ServeUntil) serves the waiting calls and the messages other
// threads send but leaves the posted ones in the queue, and the bridge shows the component's
// escaping exceptions in the exception box on the user-interface thread.

#include "ui/win32/serial_ui_bridge.h"
#include "ui/win32/win32_sync_dispatcher.h"

#include "serial/app_exception.h"
#include "serial/sync_dispatcher.h"
#include "tests/support/scripted_ui_services.h"
#include "tests/ui/win32/pump.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using lirat_test::PumpFor;
using lirat_test::PumpUntil;
using ui::win32::Win32SyncDispatcher;

struct DispatcherTest : ::testing::Test {
    DWORD uiThread = ::GetCurrentThreadId();
    bool OnUiThread() const { return ::GetCurrentThreadId() == uiThread; }
};

TEST_F(DispatcherTest, PostedItemsRunInOrderOnTheUiThreadFromTheLoopOnly) {
    Win32SyncDispatcher dispatcher;
    std::vector<int> ran;
    int offUiThread = 0;
    std::thread poster([&] {
        for (int i = 0; i < 20; ++i) {
            dispatcher.Post([&, i] {
                offUiThread += OnUiThread() ? 0 : 1;
                ran.push_back(i);
            });
        }
    });
    poster.join();
    EXPECT_TRUE(ran.empty()) << "posted work ran before the loop looked";
    ASSERT_TRUE(PumpUntil([&] { return ran.size() == 20; }));
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(ran[static_cast<std::size_t>(i)], i);
    }
    EXPECT_EQ(offUiThread, 0);
}

TEST_F(DispatcherTest, PostedExceptionGoesToTheApplicationHandlerAndTheNextItemsStillRun) {
    Win32SyncDispatcher dispatcher;
    std::vector<std::string> handled;
    auto before = serial::SetApplicationExceptionHandler([&](std::exception_ptr error) {
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            handled.push_back(e.what());
        }
    });
    int after = 0;
    std::thread poster([&] {
        dispatcher.Post([] { throw std::runtime_error("сбой в событии"); });
        dispatcher.Post([&] { ++after; });
    });
    poster.join();
    EXPECT_TRUE(PumpUntil([&] { return after == 1; }));
    EXPECT_EQ(handled, std::vector<std::string>{"сбой в событии"});
    serial::SetApplicationExceptionHandler(before);
}

TEST_F(DispatcherTest, SynchronizeRunsOnTheUiThreadAndPassesExceptionsBack) {
    Win32SyncDispatcher dispatcher;
    EXPECT_TRUE(dispatcher.InUiThread());
    bool ranAtOnce = false;
    dispatcher.Synchronize([&] { ranAtOnce = true; });
    EXPECT_TRUE(ranAtOnce);

    std::atomic<bool> ranOnUi{false};
    std::atomic<bool> returned{false};
    std::string caught;
    std::thread worker([&] {
        EXPECT_FALSE(dispatcher.InUiThread());
        dispatcher.Synchronize([&] { ranOnUi = OnUiThread(); });
        try {
            dispatcher.Synchronize([] { throw std::runtime_error("из потока окон"); });
        } catch (const std::runtime_error& e) {
            caught = e.what();
        }
        returned = true;
    });
    EXPECT_TRUE(PumpUntil([&] { return returned.load(); }));
    worker.join();
    EXPECT_TRUE(ranOnUi.load());
    EXPECT_EQ(caught, "из потока окон");
}

TEST_F(DispatcherTest, ServeUntilServesWaitingCallsAndSentMessagesButNoPostedOnes) {
    Win32SyncDispatcher dispatcher;
    std::vector<std::string> order;
    std::atomic<bool> finished{false};
    std::atomic<int> sentAnswer{0};
    std::thread worker([&] {
        dispatcher.Post([&] { order.push_back("posted"); });
        dispatcher.Synchronize([&] { order.push_back("waited"); });
        // A message sent from this thread to a window of the waiting thread is delivered.
        sentAnswer = static_cast<int>(::SendMessageW(dispatcher.Window(), WM_NULL, 0, 0)) + 1;
        finished = true;
        dispatcher.Wake();
    });
    dispatcher.ServeUntil([&] { return finished.load(); });
    worker.join();
    EXPECT_EQ(order, std::vector<std::string>{"waited"});
    EXPECT_EQ(sentAnswer.load(), 1);
    // The posted item keeps its place and runs from the loop afterwards.
    EXPECT_TRUE(PumpUntil([&] { return order.size() == 2; }));
    EXPECT_EQ(order.back(), "posted");
}

TEST_F(DispatcherTest, ServeUntilReturnsAtOnceWhenAlreadyDone) {
    Win32SyncDispatcher dispatcher;
    int asked = 0;
    dispatcher.ServeUntil([&] { return ++asked > 0; });
    EXPECT_EQ(asked, 1);
}

TEST(SerialUiBridgeTest, ShowsEscapingExceptionsOnTheUiThreadAndRestoresWhatWasInstalled) {
    auto plain = std::make_shared<serial::TPlainDispatcher>();
    serial::SetSyncDispatcher(plain);
    int handled = 0;
    auto before = serial::SetApplicationExceptionHandler([&](std::exception_ptr) { ++handled; });
    {
        testing_support::ScriptedUiServices ui;
        ui::win32::SerialUiBridge bridge(ui);
        EXPECT_EQ(serial::SyncDispatcher().get(), &bridge.Dispatcher());
        // Raised on the user-interface thread: shown at once.
        serial::HandleApplicationException(std::make_exception_ptr(std::runtime_error("здесь")));
        ASSERT_EQ(ui.Exceptions(), std::vector<std::string>{"здесь"});
        // Raised on an event thread: shown from the message loop, on this thread.
        std::thread events([] {
            serial::HandleApplicationException(
                std::make_exception_ptr(std::runtime_error("из потока")));
        });
        events.join();
        EXPECT_EQ(ui.Exceptions().size(), 1u);
        EXPECT_TRUE(PumpUntil([&] { return ui.Exceptions().size() == 2; }));
        EXPECT_EQ(ui.Exceptions().back(), "из потока");
        EXPECT_EQ(handled, 0);
    }
    EXPECT_EQ(serial::SyncDispatcher(), std::shared_ptr<serial::TSyncDispatcher>(plain));
    serial::HandleApplicationException(std::make_exception_ptr(std::runtime_error("после")));
    EXPECT_EQ(handled, 1);
    serial::SetApplicationExceptionHandler(before);
    serial::SetSyncDispatcher(nullptr);
}

} // namespace
