// A USB adapter on the POSIX backend, through the kernel-call seam: the order in which opening
// touches the line, and an adapter pulled out in the middle of an exchange (the errors its tty
// gives: EIO, ENODEV, ENXIO, POLLHUP/POLLERR; a transmit-queue query that fails while writes
// still go through), then put back under a new device node with the same COM number.
#include "serial/com_port.h"
#include "serial/port_error_explainer.h"
#include "serial/port_names.h"
#include "serial/posix_syscalls.h"

#include "tests/serial/pty_line.h"
#include "tests/serial/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include <sys/epoll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>

namespace {

using namespace serial;
using serial::testing::TempFolder;

// A pseudo-terminal taken for a real adapter (with a transmit queue, other holders looked up)
// that can be pulled out: from then on its calls fail as an unplugged adapter's tty does.
class PullableAdapter : public backend::posix::SystemCalls {
public:
    explicit PullableAdapter(std::string path) : path_(std::move(path)) {
        backend::posix::InstallSystemCalls(this);
    }
    ~PullableAdapter() override { backend::posix::InstallSystemCalls(nullptr); }
    PullableAdapter(const PullableAdapter&) = delete;
    PullableAdapter& operator=(const PullableAdapter&) = delete;

    // From now on the device's calls fail with error and its wait reports revents; with
    // queueQueryOnly only the transmit-queue query fails (the adapter went between a write and
    // the look at its queue).
    void Pull(int error, short revents, bool queueQueryOnly) {
        std::lock_guard lock(mutex_);
        error_ = error;
        revents_ = revents;
        queueQueryOnly_ = queueQueryOnly;
        waits_ = 0;
    }
    // Put back: the calls work again (the new node is opened under the same name).
    void PutBack() { Pull(0, 0, false); }
    std::vector<std::string> Calls() const {
        std::lock_guard lock(mutex_);
        return calls_;
    }
    int WaitsSincePull() const { return waits_; }
    bool Released() const {
        std::lock_guard lock(mutex_);
        return std::find(calls_.begin(), calls_.end(), "close") != calls_.end();
    }
    int lowLatencyResult = 0;

    int Open(const char* path, int flags) override {
        int fd = OpenReal(path, flags);
        if (fd >= 0 && path == path_) {
            std::lock_guard lock(mutex_);
            fd_ = fd;
            calls_.push_back("open");
        }
        return fd;
    }
    int Close(int fd) override {
        if (Ours(fd)) {
            std::lock_guard lock(mutex_);
            calls_.push_back("close");
            fd_ = -1; // the number may come back for another descriptor
        }
        return SystemCalls::Close(fd);
    }
    ssize_t Write(int fd, const void* buffer, std::size_t count) override {
        if (Failing(fd, false))
            return Fail();
        return SystemCalls::Write(fd, buffer, count);
    }
    int Ioctl(int fd, unsigned long request, void* argument) override {
        if (Failing(fd, request == TIOCOUTQ))
            return Fail();
        if (Ours(fd))
            Note(RequestName(request, argument));
        return SystemCalls::Ioctl(fd, request, argument);
    }
    int TcGetAttr(int fd, termios* tio) override {
        if (Failing(fd, false))
            return Fail();
        if (Ours(fd))
            Note("tcgetattr");
        return SystemCalls::TcGetAttr(fd, tio);
    }
    int Flock(int fd, int operation) override {
        if (Ours(fd) && (operation & LOCK_EX))
            Note("flock");
        return SystemCalls::Flock(fd, operation);
    }
    int EpollWait(int epollFd, epoll_event* events, int max, int timeoutMs) override {
        std::unique_lock lock(mutex_);
        if (fd_ < 0 || error_ == 0 || queueQueryOnly_) {
            lock.unlock();
            return SystemCalls::EpollWait(epollFd, events, max, timeoutMs);
        }
        ++waits_;
        events[0].events =
            (revents_ & POLLHUP ? EPOLLHUP : 0u) | (revents_ & POLLERR ? EPOLLERR : 0u);
        events[0].data.fd = fd_;
        return 1;
    }
    bool IsPseudoTerminal(int fd) override {
        return Ours(fd) ? false : SystemCalls::IsPseudoTerminal(fd);
    }
    bool OpenElsewhere(const std::string&) override {
        Note("holders");
        return false;
    }
    int SetLowLatency(int fd) override {
        if (Ours(fd))
            Note("low latency");
        return lowLatencyResult;
    }

private:
    bool Ours(int fd) const {
        std::lock_guard lock(mutex_);
        return fd >= 0 && fd == fd_;
    }
    bool Failing(int fd, bool queueQuery) const {
        std::lock_guard lock(mutex_);
        return fd >= 0 && fd == fd_ && error_ != 0 && (!queueQueryOnly_ || queueQuery);
    }
    int Fail() const {
        errno = error_;
        return -1;
    }
    void Note(const std::string& call) {
        std::lock_guard lock(mutex_);
        calls_.push_back(call);
    }
    static std::string RequestName(unsigned long request, void* argument) {
        switch (request) {
        case TIOCMBIC:
            return *static_cast<int*>(argument) == (TIOCM_DTR | TIOCM_RTS) ? "DTR RTS off"
                                                                           : "line off";
        case TIOCMBIS:
            return "line on";
        case TIOCEXCL:
            return "exclusive";
        default:
            return "ioctl";
        }
    }

    const std::string path_;
    mutable std::mutex mutex_;
    int fd_ = -1;
    int error_ = 0;
    short revents_ = 0;
    bool queueQueryOnly_ = false;
    std::atomic<int> waits_{0};
    std::vector<std::string> calls_;
};

// ---- opening ----

struct OpenRow {
    const char* name;
    int lowLatencyResult; // what the driver says to the low-latency switch
};

void PrintTo(const OpenRow& row, std::ostream* os) {
    *os << row.name;
}

class OpeningTheLine : public ::testing::TestWithParam<OpenRow> {};

TEST_P(OpeningTheLine, DropsDtrAndRtsBeforeTheSlowLookForHolders) {
    lirat_test::PtyLine pty;
    PullableAdapter adapter(pty.DevicePath());
    adapter.lowLatencyResult = GetParam().lowLatencyResult;
    TComPort port;
    port.SetEvents({});
    port.SetPort(pty.DevicePath());
    ASSERT_NO_THROW(port.Open());
    EXPECT_TRUE(port.Connected());
    const std::vector<std::string> calls = adapter.Calls();
    const auto linesOff = std::find(calls.begin(), calls.end(), "DTR RTS off");
    ASSERT_NE(linesOff, calls.end());
    // Only the open and the cheap check that nobody else has locked the device come first.
    EXPECT_EQ(std::vector<std::string>(calls.begin(), linesOff),
              (std::vector<std::string>{"open", "tcgetattr", "flock"}));
    EXPECT_LT(linesOff, std::find(calls.begin(), calls.end(), "holders"));
    EXPECT_NE(std::find(calls.begin(), calls.end(), "low latency"), calls.end());
}

INSTANTIATE_TEST_SUITE_P(Drivers, OpeningTheLine,
                         ::testing::Values(OpenRow{"low_latency_taken", 0},
                                           OpenRow{"driver_without_it", ENOTTY},
                                           OpenRow{"kept_for_the_administrator", EPERM}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- pulled out, put back ----

struct PullRow {
    const char* name;
    int error;
    short revents;
    bool queueQueryOnly;
};

void PrintTo(const PullRow& row, std::ostream* os) {
    *os << row.name;
}

class PulledAdapter : public ::testing::TestWithParam<PullRow> {};

TEST_P(PulledAdapter, FailsTheExchangeClosesAndOpensAgainUnderANewNode) {
    const PullRow& r = GetParam();
    TempFolder home;
    SetPortMappingFolder((home.Path() / "ports").string());
    auto first = std::make_unique<lirat_test::PtyLine>();
    ASSERT_EQ(RegisterPortName("COM9", first->DevicePath()), 0);
    PullableAdapter adapter(ResolvePortName("COM9"));
    TComPort port;
    port.SetEvents({evRx80Full}); // the tool's port: its event thread runs
    port.SetSyncMethod(smNone);
    port.SetPort("COM9");
    port.Open();
    ASSERT_EQ(port.WriteStr("$8\r\n"), 4);

    adapter.Pull(r.error, r.revents, r.queueQueryOnly);
    const std::string block(100, 'x');
    try {
        // A write the adapter did not send must not come back as sent.
        int written = port.Write(block.data(), static_cast<int>(block.size()));
        ADD_FAILURE() << "the write returned " << written << " of 100";
    } catch (const EComPort& e) {
        EXPECT_EQ(e.Code(), CError_WriteFailed);
        EXPECT_EQ(e.WinErrorCode(), r.error);
        EXPECT_EQ(ExplainPortError(e, "COM9").fault, PortFault::Disconnected);
    }
    if (!r.queueQueryOnly) {
        // The engine's tick asks the queue first: it fails at once.
        try {
            port.InputCount();
            ADD_FAILURE() << "the queue of a pulled adapter was counted";
        } catch (const EComPort& e) {
            EXPECT_EQ(e.Code(), CError_ClearComFailed);
            EXPECT_EQ(e.WinErrorCode(), r.error);
        }
        // The event thread sees the hang-up and waits for its stop without spinning.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        EXPECT_LT(adapter.WaitsSincePull(), 20);
    }
    EXPECT_NO_THROW(port.Close());
    EXPECT_FALSE(port.Connected());
    EXPECT_TRUE(adapter.Released());

    // Put back, the adapter comes up as another node; its COM number leads there.
    first.reset();
    lirat_test::PtyLine second;
    ASSERT_EQ(RegisterPortName("COM9", second.DevicePath()), 0);
    adapter.PutBack();
    ASSERT_NO_THROW(port.Open());
    EXPECT_EQ(port.WriteStr("ok"), 2);
    EXPECT_EQ(second.Receive(2, 3000), "ok");
    port.Close();
    SetPortMappingFolder({});
}

INSTANTIATE_TEST_SUITE_P(Removal, PulledAdapter,
                         ::testing::Values(PullRow{"eio_hang_up", EIO, POLLHUP, false},
                                           PullRow{"enodev_error", ENODEV, POLLERR, false},
                                           PullRow{"queue_query_fails_after_the_write", EIO, 0,
                                                   true}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
