// The simulator on its pseudo-terminal, driven through plain file descriptors on the far side,
// as any program that opens the device would.

#include "simulator/simulator.h"
#include "tests/simulator/configured_state.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace sim {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Kind = LogEntry::Kind;

// The configurator's side of the line, opened on the simulator's device path.
class Far {
public:
    explicit Far(const std::string& path)
        : fd_(open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {}
    ~Far() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    bool IsOpen() const { return fd_ >= 0; }

    void Send(const std::string& command) {
        std::string bytes = command + "\r\n";
        ASSERT_EQ(write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    int InputCount() const {
        int n = 0;
        return ioctl(fd_, FIONREAD, &n) == 0 ? n : -1;
    }
    std::string ReadAvailable() {
        std::string bytes;
        char buffer[128];
        ssize_t n;
        while ((n = read(fd_, buffer, sizeof buffer)) > 0) {
            bytes.append(buffer, static_cast<std::size_t>(n));
        }
        return bytes;
    }
    // Reads until `count` bytes have come or `timeout` has passed.
    std::string ReadBytes(std::size_t count, std::chrono::milliseconds timeout) {
        std::string bytes;
        auto deadline = Clock::now() + timeout;
        while (bytes.size() < count && Clock::now() < deadline) {
            pollfd p{fd_, POLLIN, 0};
            poll(&p, 1, 10);
            bytes += ReadAvailable();
        }
        return bytes;
    }
    int Fd() const { return fd_; }

private:
    int fd_;
};

SimulatorConfig FastConfig() {
    SimulatorConfig config;
    config.processingDelay = 5ms;
    return config;
}

// Sends a command and returns the reply the simulator sent for it (nothing when it sent none).
std::string Exchange(Simulator& sim, Far& far, const std::string& command) {
    std::size_t received = sim.Log().Count(Kind::Received);
    std::size_t sent = sim.Log().Count(Kind::Sent);
    far.Send(command);
    EXPECT_TRUE(sim.Log().WaitForCount(Kind::Received, received + 1, 2s)) << command;
    if (!sim.Log().WaitForCount(Kind::Sent, sent + 1, 2s)) {
        return far.ReadAvailable();
    }
    // The last bytes may still be on their way through the terminal layer.
    return far.ReadBytes(sim.Log().Texts(Kind::Sent).back().size(), 2s);
}

class SimulatorLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim_.SetState(Configured());
        sim_.Start();
        far_ = std::make_unique<Far>(sim_.DevicePath());
        ASSERT_TRUE(far_->IsOpen()) << sim_.DevicePath();
    }
    void TearDown() override {
        far_.reset();
        sim_.Stop();
    }
    Simulator sim_{FastConfig()};
    std::unique_ptr<Far> far_;
};

TEST_F(SimulatorLineTest, ReadSequenceReturnsTheStoredConfiguration) {
    const std::pair<std::string, std::string> steps[] = {
        {"$8", "!0A\r"}, {"$H", "!200.0\r"}, {"#9", "!0.25\r"}, {"$4", "!-50.0\r"}, {"#K", "!2\r"},
    };
    for (const auto& [command, reply] : steps) {
        EXPECT_EQ(Exchange(sim_, *far_, command), reply) << command;
    }
    std::vector<std::string> expected = {"$8", "$H", "#9", "$4", "#K"};
    EXPECT_EQ(sim_.Log().Texts(Kind::Received), expected);
    EXPECT_EQ(sim_.Log().Texts(Kind::Sent).back(), "!2\r");
}

TEST_F(SimulatorLineTest, WriteSequenceChangesTheConfiguration) {
    for (std::string command : {"$705", "$3-050.0", "$G000.5 ", "$9100.0", "$K2"}) {
        EXPECT_EQ(Exchange(sim_, *far_, command), "!\r") << command;
    }
    DeviceState s = sim_.State();
    EXPECT_EQ(s.rangeIndex, 5);
    EXPECT_DOUBLE_EQ(s.lowerValue, -50.0);
    EXPECT_DOUBLE_EQ(s.breakLevel, 0.5);
    EXPECT_DOUBLE_EQ(s.upperValue, 100.0);
    EXPECT_EQ(s.outputType, 2);
    // The trailing blank of the break level reached the device.
    EXPECT_EQ(sim_.Log().Texts(Kind::Received)[2], "$G000.5 ");
    EXPECT_EQ(Exchange(sim_, *far_, "$0"), "!00\r");
}

TEST_F(SimulatorLineTest, MalformedParameterIsLoggedAndSpoilsTheStatus) {
    EXPECT_EQ(Exchange(sim_, *far_, "$312,5"), "!\r");
    EXPECT_DOUBLE_EQ(sim_.State().lowerValue, -50.0);
    EXPECT_EQ(Exchange(sim_, *far_, "$0"), "!02\r");
    bool logged = false;
    for (const auto& entry : sim_.Log().Entries()) {
        logged |= entry.kind == Kind::Note && entry.text.find("$312,5") != std::string::npos;
    }
    EXPECT_TRUE(logged);
    // A factory reset clears it.
    EXPECT_EQ(Exchange(sim_, *far_, "$F"), "!\r");
    EXPECT_EQ(Exchange(sim_, *far_, "$0"), "!00\r");
    EXPECT_EQ(sim_.State(), FactoryDefaults());
}

TEST_F(SimulatorLineTest, UnknownCommandAndBrokenLineEndGetNoExclamationMark) {
    EXPECT_EQ(Exchange(sim_, *far_, "$X"), "?\r");
    std::size_t sent = sim_.Log().Count(Kind::Sent);
    ASSERT_EQ(write(far_->Fd(), "$8\n", 3), 3);
    ASSERT_TRUE(sim_.Log().WaitForCount(Kind::Sent, sent + 1, 2s));
    EXPECT_EQ(far_->ReadBytes(2, 1s), "?\r");
    // A command split over several writes is still one command.
    ASSERT_EQ(write(far_->Fd(), "$", 1), 1);
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(Exchange(sim_, *far_, "8"), "!0A\r");
}

TEST_F(SimulatorLineTest, FaultsChangeTheReplyOnTheLine) {
    struct Row {
        std::string spec;
        std::string command;
        std::string reply;
    } rows[] = {
        {"bad-first-byte", "$8", "?0A\r"},
        {"partial", "$H", "!200"},
        {"long", "$H", "!200.0" + std::string(33, '0') + "\r"},
        {"bad-status", "$0", "!01\r"},
        {"not-number", "$H", "!1.2.3\r"},
        {"not-hex", "$8", "!GZ\r"},
        {"bad-range", "$8", "!1A\r"},
        {"payload=A", "#K", "!A\r"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.spec);
        std::string error;
        auto rule = ParseFaultSpec(row.spec, error);
        ASSERT_TRUE(rule.has_value()) << error;
        sim_.AddFault(*rule);
        EXPECT_EQ(Exchange(sim_, *far_, row.command), row.reply);
        EXPECT_EQ(sim_.PendingFaults(), 0u);
        // Only the next command had the fault.
        EXPECT_EQ(Exchange(sim_, *far_, "#K"), "!2\r");
    }
}

TEST_F(SimulatorLineTest, NoReplyLeavesTheInputQueueEmpty) {
    sim_.AddFault({{FaultKind::NoReply}, "$8", 1});
    far_->Send("$8");
    ASSERT_TRUE(sim_.Log().WaitForCount(Kind::Received, 1, 2s));
    std::this_thread::sleep_for(200ms); // far longer than the delay and a short reply
    EXPECT_EQ(far_->InputCount(), 0);
    EXPECT_EQ(sim_.Log().Count(Kind::Sent), 0u);
    // The command itself is still served the next time.
    EXPECT_EQ(Exchange(sim_, *far_, "$8"), "!0A\r");
}

TEST_F(SimulatorLineTest, LateReplyArrivesAfterItsDelay) {
    sim_.AddFault({{FaultKind::LateReply, 400}, std::nullopt, 1});
    auto sentAt = Clock::now();
    far_->Send("$8");
    std::this_thread::sleep_for(150ms);
    EXPECT_EQ(far_->InputCount(), 0) << "the late reply came early";
    std::string reply = far_->ReadBytes(4, 5s);
    auto elapsed = Clock::now() - sentAt;
    EXPECT_EQ(reply, "!0A\r");
    EXPECT_GE(elapsed, 400ms);
}

TEST_F(SimulatorLineTest, RepliesGoOutAtTheLinePace) {
    // 40 bytes at 9600 baud take about 42 ms; the reply is still in flight when its first
    // bytes can be read.
    sim_.AddFault({{FaultKind::LongReply}, std::nullopt, 1});
    far_->Send("$H");
    std::string first = far_->ReadBytes(1, 2s);
    auto firstAt = Clock::now();
    ASSERT_FALSE(first.empty());
    EXPECT_LT(first.size() + static_cast<std::size_t>(far_->InputCount()), kLongReplyLength);
    std::string rest = far_->ReadBytes(kLongReplyLength - first.size(), 2s);
    auto lastAt = Clock::now();
    EXPECT_EQ((first + rest).size(), kLongReplyLength);
    EXPECT_GE(lastAt - firstAt, 30ms);
}

TEST_F(SimulatorLineTest, HangUpClosesTheLine) {
    sim_.AddFault({{FaultKind::HangUp}, "$8", 1});
    far_->Send("$8");
    pollfd p{far_->Fd(), POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 2000), 1);
    EXPECT_NE(p.revents & POLLHUP, 0);
    char byte;
    EXPECT_LE(read(far_->Fd(), &byte, 1), 0);
    EXPECT_TRUE(sim_.HungUp());
    EXPECT_EQ(sim_.Log().Count(Kind::Sent), 0u);
}

TEST_F(SimulatorLineTest, StopIsPromptEvenWithAReplyPending) {
    sim_.AddFault({{FaultKind::LateReply, 10000}, std::nullopt, 1});
    far_->Send("$8");
    ASSERT_TRUE(sim_.Log().WaitForCount(Kind::Received, 1, 2s));
    auto before = Clock::now();
    sim_.Stop();
    // Long before the reply's 10 s: the stop does not wait for it.
    EXPECT_LT(Clock::now() - before, 5s);
    EXPECT_FALSE(sim_.Running());
    EXPECT_EQ(sim_.Log().Count(Kind::Sent), 0u);
}

TEST(SimulatorTest, SeveralSimulatorsRunSideBySideAndRestart) {
    Simulator a(FastConfig());
    Simulator b(FastConfig());
    a.Start();
    b.Start();
    EXPECT_NE(a.DevicePath(), b.DevicePath());
    b.SetState(Configured());
    Far fa(a.DevicePath());
    Far fb(b.DevicePath());
    EXPECT_EQ(Exchange(a, fa, "$8"), "!00\r");
    EXPECT_EQ(Exchange(b, fb, "$8"), "!0A\r");

    a.Stop();
    a.Start();
    Far again(a.DevicePath());
    ASSERT_TRUE(again.IsOpen());
    EXPECT_EQ(Exchange(a, again, "$K1"), "!\r");
    EXPECT_EQ(a.State().outputType, 1);
}

TEST(SimulatorTest, LineSurvivesTheConfiguratorClosingAndReopeningThePort) {
    Simulator sim(FastConfig());
    sim.Start();
    {
        Far first(sim.DevicePath());
        EXPECT_EQ(Exchange(sim, first, "$8"), "!00\r");
    }
    Far second(sim.DevicePath());
    ASSERT_TRUE(second.IsOpen());
    EXPECT_EQ(Exchange(sim, second, "$H"), "!50.0\r");
}

} // namespace
} // namespace sim
