// The simulator as the configurator meets it: through the project's own serial-port component,
// one command per "tick" as the exchange engine works (purge, write, wait one interval, read
// whatever has arrived, at most 31 bytes).

#include "serial/com_error.h"
#include "serial/com_port.h"
#include "serial/port_names.h"
#include "simulator/com_registration.h"
#include "simulator/simulator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace sim {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Kind = LogEntry::Kind;

// Long enough for a reply on a busy machine, short enough for the tests to stay quick.
constexpr auto kInterval = 300ms;

class SimulatorSerialTest : public ::testing::Test {
protected:
    void SetUp() override {
        SimulatorConfig config;
        config.processingDelay = 5ms;
        config.state.rangeIndex = 10;
        config.state.lowerValue = -50.0;
        config.state.upperValue = 200.0;
        config.state.breakLevel = 0.25;
        config.state.outputType = 1;
        sim_ = std::make_unique<Simulator>(config);
        sim_->Start();
        port_.SetName("ComPort");
        port_.SetEvents({serial::evRx80Full});
        port_.SetBaudRate(serial::br9600);
        port_.SetPort(sim_->DevicePath());
        port_.Open();
        ASSERT_TRUE(port_.Connected());
    }
    void TearDown() override {
        port_.Close();
        sim_->Stop();
    }

    // One step of a transaction: the reply as the engine would take it.
    std::string Step(const std::string& command, std::chrono::milliseconds interval = kInterval) {
        Send(command);
        std::this_thread::sleep_for(interval);
        return TakeReply();
    }
    void Send(const std::string& command) {
        std::string bytes = command + "\r\n";
        port_.ClearBuffer(true, true);
        port_.Write(bytes.data(), static_cast<int>(bytes.size()));
    }
    std::string TakeReply() {
        int count = std::min(port_.InputCount(), 31);
        std::string reply(static_cast<std::size_t>(count), '\0');
        if (count > 0) {
            port_.Read(reply.data(), count);
        }
        return reply;
    }

    std::unique_ptr<Simulator> sim_;
    serial::TComPort port_;
};

TEST_F(SimulatorSerialTest, ReadSequenceReturnsTheStoredConfiguration) {
    EXPECT_EQ(Step("$8"), "!0A\r");
    EXPECT_EQ(Step("$H"), "!200.0\r");
    EXPECT_EQ(Step("#9"), "!0.25\r");
    EXPECT_EQ(Step("$4"), "!-50.0\r");
    EXPECT_EQ(Step("#K"), "!1\r");
}

TEST_F(SimulatorSerialTest, WriteSequenceChangesWhatTheNextReadReturns) {
    struct Row {
        std::vector<std::string> write;
        std::vector<std::string> read; // replies to "$8", "$H", "#9", "$4", "#K"
    } rows[] = {
        {{"$705", "$3-050.0", "$G000.5 ", "$9100.0", "$K2"},
         {"!05\r", "!100.0\r", "!0.5\r", "!-50.0\r", "!2\r"}},
        {{"$70A", "$3012.5", "$G000.125 ", "$912.5", "$K0"},
         {"!0A\r", "!12.5\r", "!0.125\r", "!12.5\r", "!0\r"}},
        {{"$719", "$3000.0", "$G001.0 ", "$95000.0", "$K1"},
         {"!19\r", "!5000.0\r", "!1.0\r", "!0.0\r", "!1\r"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.write.front());
        for (const auto& command : row.write) {
            EXPECT_EQ(Step(command), "!\r") << command;
        }
        std::vector<std::string> read;
        for (std::string command : {"$8", "$H", "#9", "$4", "#K"}) {
            read.push_back(Step(command));
        }
        EXPECT_EQ(read, row.read);
    }
}

TEST_F(SimulatorSerialTest, FactoryResetThenStatusGivesSuccess) {
    EXPECT_EQ(Step("$F"), "!\r");
    EXPECT_EQ(Step("$0"), "!00\r");
    EXPECT_EQ(Step("$8"), "!00\r");
    EXPECT_EQ(sim_->State(), FactoryDefaults());
}

TEST_F(SimulatorSerialTest, CalibrationSequencesAreAnswered) {
    EXPECT_EQ(Step("$1"), "!\r");
    EXPECT_EQ(Step("$0"), "!00\r");
    EXPECT_EQ(Step("$2"), "!\r");
    EXPECT_EQ(Step("$0"), "!00\r");
    for (std::string command : {"$A0D0", "$ACD0", "$C3.15077E+03", "$D50", "$B"}) {
        EXPECT_EQ(Step(command), "!\r") << command;
    }
    DeviceState s = sim_->State();
    EXPECT_TRUE(s.zeroCalibrated && s.gainCalibrated);
    EXPECT_DOUBLE_EQ(s.outputGain, 3150.77);
    EXPECT_EQ(s.outputOffset, 50);
    std::vector<std::string> expected = {
        "$1", "$0", "$2", "$0", "$A0D0", "$ACD0", "$C3.15077E+03", "$D50", "$B"};
    EXPECT_EQ(sim_->Log().Texts(Kind::Received), expected);
}

TEST_F(SimulatorSerialTest, NoReplyLeavesTheInputQueueEmptyAtTheNextRead) {
    sim_->AddFault({{FaultKind::NoReply}, "$8", 1});
    EXPECT_EQ(Step("$8"), "");
    EXPECT_EQ(port_.InputCount(), 0);
    EXPECT_EQ(Step("$8"), "!0A\r");
}

TEST_F(SimulatorSerialTest, LateReplyMissesTheTickAndArrivesAfterTheDelay) {
    sim_->AddFault({{FaultKind::LateReply, 700}, "$H", 1});
    auto sentAt = Clock::now();
    EXPECT_EQ(Step("$H"), "");
    // The late bytes come in after all; the engine would drop them with its next purge.
    while (port_.InputCount() < 7 && Clock::now() - sentAt < 5s) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_GE(Clock::now() - sentAt, 700ms);
    EXPECT_EQ(TakeReply(), "!200.0\r");

    // Late bytes that came in before the next command are dropped by that command's purge.
    sim_->AddFault({{FaultKind::LateReply, 400}, "$H", 1});
    EXPECT_EQ(Step("$H"), "");
    ASSERT_TRUE(sim_->Log().WaitForCount(Kind::Sent, 2, 5s));
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(Step("#K"), "!1\r");
}

TEST_F(SimulatorSerialTest, CommandsWaitWhileALateReplyIsPending) {
    // The device serves one command at a time: a command sent while it is still busy with a
    // late reply is answered after it, and both replies reach the port.
    sim_->AddFault({{FaultKind::LateReply, 500}, "$H", 1});
    EXPECT_EQ(Step("$H"), "");
    EXPECT_EQ(Step("#K", 800ms), "!200.0\r!1\r");
}

TEST_F(SimulatorSerialTest, LongReplyLeavesNineBytesBehindTheThirtyOneRead) {
    sim_->AddFault({{FaultKind::LongReply}, std::nullopt, 1});
    Send("$H");
    std::this_thread::sleep_for(kInterval);
    EXPECT_EQ(port_.InputCount(), 40);
    EXPECT_EQ(TakeReply(), "!200.0" + std::string(25, '0'));
    EXPECT_EQ(port_.InputCount(), 9);
}

TEST_F(SimulatorSerialTest, ReplyInFlightIsOnlyPartlyThereWhenTheTimerFires) {
    sim_->SetProcessingDelay(50ms);
    sim_->AddFault({{FaultKind::LongReply}, std::nullopt, 1});
    Send("$H");
    auto deadline = Clock::now() + 3s;
    int first = 0;
    while ((first = port_.InputCount()) == 0 && Clock::now() < deadline) {
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_GT(first, 0);
    EXPECT_LT(first, 40);
    std::this_thread::sleep_for(kInterval);
    EXPECT_EQ(port_.InputCount(), 40);
}

TEST_F(SimulatorSerialTest, ReplyFaultsAsTheEngineSeesThem) {
    struct Row {
        Fault fault;
        std::string command;
        std::string reply;
    } rows[] = {
        {{FaultKind::BadFirstByte}, "$8", "?0A\r"},
        {{FaultKind::PartialReply}, "$H", "!200"},
        {{FaultKind::BadStatus}, "$0", "!01\r"},
        {{FaultKind::NotNumber}, "$4", "!1.2.3\r"},
        {{FaultKind::NotHex}, "$8", "!GZ\r"},
        {{FaultKind::RangeOutOfBounds}, "$8", "!1A\r"},
        {{FaultKind::Payload, {}, "3"}, "#K", "!3\r"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(DescribeFault(row.fault));
        sim_->AddFault({row.fault, row.command, 1});
        EXPECT_EQ(Step(row.command), row.reply);
    }
    // A bad status on the factory reset makes its status check fail.
    sim_->AddFault({{FaultKind::BadStatus}, "$F", 1});
    EXPECT_EQ(Step("$F"), "!\r");
    EXPECT_EQ(Step("$0"), "!01\r");
}

TEST_F(SimulatorSerialTest, HangUpIsAnErrorOfThePortLayer) {
    sim_->AddFault({{FaultKind::HangUp}, "$8", 1});
    Send("$8");
    std::this_thread::sleep_for(kInterval);
    EXPECT_TRUE(sim_->HungUp());
    // The closed line is an error of the port layer, not an empty queue.
    EXPECT_THROW(port_.InputCount(), serial::EComPort);
    EXPECT_EQ(sim_->Log().Count(Kind::Sent), 0u);
}

TEST(SimulatorComNameTest, PortOpensTheSimulatorByItsComName) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "lirat-sim-com-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    serial::SetPortMappingFolder(pattern);

    Simulator sim;
    sim.Start();
    {
        ComRegistration registration(serial::PortMappingFolder(), 7, sim.DevicePath());
        serial::TComPort port;
        port.SetPort("COM7");
        port.Open();
        ASSERT_TRUE(port.Connected());
        port.ClearBuffer(true, true);
        port.Write("$8\r\n", 4);
        std::this_thread::sleep_for(kInterval);
        std::string reply(static_cast<std::size_t>(port.InputCount()), '\0');
        port.Read(reply.data(), static_cast<int>(reply.size()));
        EXPECT_EQ(reply, "!00\r");
        port.Close();
    }
    sim.Stop();
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(pattern + "/com7")));
    serial::SetPortMappingFolder("");
    std::filesystem::remove_all(pattern);
}

} // namespace
} // namespace sim
