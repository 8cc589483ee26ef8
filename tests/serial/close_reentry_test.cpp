// Close while Close is under way, with the plain dispatcher (the cases are shared with Qt's, see
// close_reentry_cases.h); and a thread that cannot be made, which fails Open as the port's own
// error and leaves the port closed.
#include "serial/com_port.h"
#include "serial/com_thread.h"
#include "serial/sync_dispatcher.h"

#include "tests/serial/close_reentry_cases.h"
#include "tests/serial/far_end.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace {

using namespace serial;
using lirat_test::ReentryRow;

class PlainKit : public lirat_test::DispatcherKit {
public:
    std::shared_ptr<TSyncDispatcher> Dispatcher() override { return dispatcher_; }
    void Pump(int ms) override {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end)
            dispatcher_->CheckSynchronize(5);
    }

private:
    std::shared_ptr<TPlainDispatcher> dispatcher_ = std::make_shared<TPlainDispatcher>();
};

TEST(PlainDispatcher, ServeUntilLeavesPostedWorkForTheLoop) {
    PlainKit kit;
    lirat_test::CheckServeUntilLeavesPostedWork(kit);
}

class PlainCloseReentry : public ::testing::TestWithParam<ReentryRow> {};

TEST_P(PlainCloseReentry, InnerCloseChangesNothing) {
    PlainKit kit;
    lirat_test::CheckCloseReentry(kit, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Rows, PlainCloseReentry, ::testing::ValuesIn(lirat_test::ReentryRows()),
                         [](const auto& info) { return lirat_test::RowName(info.param); });

class StopEventFailure : public ::testing::TestWithParam<TSyncMethod> {};

TEST_P(StopEventFailure, FailsOpenWithTheSystemCodeAndLeavesThePortClosed) {
    std::string whyNot;
    auto far = lirat_test::MakeFarEnd(whyNot);
    if (!far)
        GTEST_SKIP() << whyNot;
    TComPort port;
    port.SetPort(far->PortName());
    port.SetSyncMethod(GetParam());
    port.SetEvents({evRxChar});
    int afterOpen = 0;
    port.OnAfterOpen = [&](TCustomComPort&) { ++afterOpen; };
    constexpr int kOutOfResources = 1450; // ERROR_NO_SYSTEM_RESOURCES
    TComThread::FailNextStopEventForTesting(kOutOfResources);
    try {
        port.Open();
        ADD_FAILURE() << "Open succeeded without its event thread";
    } catch (const EComPort& e) {
        EXPECT_EQ(e.Code(), CError_OpenFailed);
        EXPECT_EQ(e.WinErrorCode(), kOutOfResources);
        EXPECT_STREQ(e.what(), "Unable to open com port (win error code: 1450)");
    }
    EXPECT_FALSE(port.Connected());
    EXPECT_FALSE(port.WatchThreadRunning());
    EXPECT_EQ(port.SyncWindow(), nullptr);
    EXPECT_EQ(port.DeviceHandle(), nullptr);
    EXPECT_EQ(afterOpen, 0);
    // The device was released: the next Open takes it again, with its thread.
    port.Open();
    EXPECT_TRUE(port.WatchThreadRunning());
    EXPECT_EQ(afterOpen, 1);
    port.Close();
}

std::string MethodName(const ::testing::TestParamInfo<TSyncMethod>& info) {
    return info.param == smThreadSync   ? "ThreadSync"
           : info.param == smWindowSync ? "WindowSync"
                                        : "NoSync";
}

INSTANTIATE_TEST_SUITE_P(Methods, StopEventFailure,
                         ::testing::Values(smThreadSync, smWindowSync, smNone), MethodName);

} // namespace
