// Close while Close is under way, with Qt's dispatcher: the cases of
// tests/serial/close_reentry_cases.h, the user-interface thread being Qt's main thread.
#include "ui/qt/qt_sync_dispatcher.h"

#include "tests/serial/close_reentry_cases.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

namespace {

using lirat_test::ReentryRow;

// The application object for the whole run, made on the main thread before the first test.
class QtApplication : public ::testing::Environment {
public:
    void SetUp() override { app_ = std::make_unique<QCoreApplication>(argc_, argv_); }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[32] = "app_qt_close_reentry_test";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QCoreApplication> app_;
};

const auto* const kApplication = ::testing::AddGlobalTestEnvironment(new QtApplication);

class QtKit : public lirat_test::DispatcherKit {
public:
    std::shared_ptr<serial::TSyncDispatcher> Dispatcher() override { return dispatcher_; }
    void Pump(int ms) override {
        QElapsedTimer elapsed;
        elapsed.start();
        while (elapsed.elapsed() < ms) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

private:
    std::shared_ptr<ui::qt::QtSyncDispatcher> dispatcher_ =
        std::make_shared<ui::qt::QtSyncDispatcher>();
};

TEST(QtDispatcher, ServeUntilLeavesPostedWorkForTheLoop) {
    QtKit kit;
    lirat_test::CheckServeUntilLeavesPostedWork(kit);
}

class QtCloseReentry : public ::testing::TestWithParam<ReentryRow> {};

TEST_P(QtCloseReentry, InnerCloseChangesNothing) {
    QtKit kit;
    lirat_test::CheckCloseReentry(kit, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Rows, QtCloseReentry, ::testing::ValuesIn(lirat_test::ReentryRows()),
                         [](const auto& info) { return lirat_test::RowName(info.param); });

} // namespace
