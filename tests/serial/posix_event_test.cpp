// POSIX-only checks of the event thread: nothing is left behind by many opens and closes.
#include "serial/com_port.h"

#include "tests/serial/pty_line.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace serial;

std::size_t Entries(const char* folder) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
        ++n;
    return n;
}

TEST(EventThreadLifetime, ThousandOpensAndClosesLeaveNoThreadOrDescriptor) {
    lirat_test::PtyLine line;
    TComPort port;
    port.SetPort(line.DevicePath());
    port.SetEvents(TComEvents::All());
    port.SetSyncMethod(smNone);
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

} // namespace
