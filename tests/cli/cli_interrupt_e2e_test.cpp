// Ctrl+C (and SIGTERM) sent to lirat5-cli in the middle of its work, against the simulator: the
// step under way ends, no further command goes out, the port is closed and its lock given
// back, the technician reads what was sent and what not, the log ends with the interruption,
// the record says "прервано", and the status is 6. A second Ctrl+C ends at once.

#include "simulator/simulator.h"
#include "tests/cli/cli_program.h"
#include "tests/serial/temp_folder.h"
#include "tests/support/json_reader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <sstream>
#include <thread>

namespace cli_test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using Args = std::vector<std::string>;
using Commands = std::vector<std::string>;
using Kind = sim::LogEntry::Kind;
using serial::testing::ReadBytes;

const Commands AsFound{"$8", "$H", "#9", "$4", "#K"};
Commands Join(Commands first, const Commands& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

struct InterruptCase {
    const char* name;
    Args args; // "{port}" and "{dir}/" as in the other tests; --log is added
    int outputType;
    std::string input;                               // standard input, which stays open
    std::optional<std::pair<std::string, int>> late; // this command's reply is late (ms)
    std::size_t signalAfter; // commands the simulator has received when the signal goes
    std::chrono::milliseconds wait;
    int signals;
    int signal;
    Commands received;
    std::vector<std::string> messages; // parts of standard error
    const char* recordStage;           // the stage the record shows interrupted (or nullptr)
};

void PrintTo(const InterruptCase& c, std::ostream* os) {
    *os << c.name;
}

class Interrupting : public ::testing::Test {
protected:
    void SetUp() override {
        if (!program.Missing().empty()) {
            GTEST_SKIP() << program.Missing();
        }
        if (program.UnderWine()) {
            GTEST_SKIP() << "a signal to the Wine loader does not reach the program as Ctrl+C";
        }
        simulator.Start();
    }
    void TearDown() override { simulator.Stop(); }

    CliProgram program;
    sim::Simulator simulator;
    serial::testing::TempFolder folder;
};

class Interrupt : public Interrupting, public ::testing::WithParamInterface<InterruptCase> {};

TEST_P(Interrupt, EndsAfterTheStepUnderWayAndKeepsEverything) {
    const InterruptCase& c = GetParam();
    sim::DeviceState state = sim::FactoryDefaults();
    state.rangeIndex = 10;
    state.outputType = c.outputType;
    simulator.SetState(state);
    if (c.late) {
        simulator.AddFault(sim::FaultRule{sim::Fault{sim::FaultKind::LateReply, c.late->second},
                                          c.late->first, 1});
    }
    Args args = c.args;
    args.insert(args.end(), {"--log", "{dir}/x.log"});
    for (std::string& arg : args) {
        arg = arg == "{port}"             ? simulator.DevicePath()
              : arg.starts_with("{dir}/") ? folder.File(arg.substr(6))
                                          : arg;
    }
    fs::create_directory(folder.Path() / "locks");
    RunOptions options;
    options.environment = {{"LIRAT5_LOCK_DIR", folder.File("locks")}};
    options.input = c.input;
    options.closeInput = false;
    options.whileRunning = [&](pid_t child) {
        simulator.Log().WaitForCount(Kind::Received, c.signalAfter, 30s);
        std::this_thread::sleep_for(c.wait);
        for (int i = 0; i < c.signals; ++i) {
            ::kill(child, c.signal);
            std::this_thread::sleep_for(200ms);
        }
    };
    const ProgramRun run = program.Run(args, options);

    EXPECT_EQ(run.status, 6) << run.err;
    EXPECT_EQ(simulator.Log().Texts(Kind::Received), c.received);
    for (const std::string& message : c.messages) {
        EXPECT_NE(run.err.find(message), std::string::npos) << message << "\n" << run.err;
    }
    // The port was closed (its lock given back) before the log's last line, the interruption.
    EXPECT_TRUE(fs::is_empty(folder.Path() / "locks"));
    std::vector<std::string> lines;
    std::istringstream log(ReadBytes(folder.File("x.log")));
    for (std::string line; std::getline(log, line);) {
        lines.push_back(line);
    }
    ASSERT_GE(lines.size(), 2u);
    EXPECT_NE(lines.back().find(" -- Прервано ("), std::string::npos) << lines.back();
    EXPECT_TRUE(lines[lines.size() - 2].ends_with(" закрыт")) << lines[lines.size() - 2];

    if (c.recordStage == nullptr) {
        return;
    }
    const fs::path records = folder.Path() / "r";
    ASSERT_TRUE(fs::exists(records));
    for (const auto& entry : fs::directory_iterator(records)) {
        if (entry.path().extension() != ".json") {
            continue;
        }
        const auto record = testing_support::Json::Parse(ReadBytes(entry.path()));
        EXPECT_EQ(record["exitStatus"].number, 6);
        EXPECT_TRUE(record["result"].text.starts_with("Прервано (код завершения 6)"))
            << record["result"].text;
        EXPECT_FALSE(record["asLeft"]["read"].boolean);
        bool found = false;
        for (const auto& stage : record["procedure"].items) {
            found = found ||
                    (stage["name"].text == c.recordStage && stage["state"].text == "interrupted");
        }
        EXPECT_TRUE(found) << c.recordStage;
        return;
    }
    ADD_FAILURE() << "no record";
}

const Args Write{"write", "--port",   "{port}", "--pace",   "fast",   "--range",
                 "15",    "--upper",  "1100",   "--lower",  "-200",   "--break",
                 "120",   "--output", "2",      "--record", "{dir}/r"};
const Commands WriteTwo = Join(Join(AsFound, {"#0"}), {"$70F", "$3-200.0"});

INSTANTIATE_TEST_SUITE_P(
    Cli, Interrupt,
    ::testing::Values(
        InterruptCase{"WriteAfterTwoValues",
                      Write,
                      1,
                      "",
                      std::pair{std::string("$3"), 1200},
                      8,
                      100ms,
                      1,
                      SIGINT,
                      WriteTwo,
                      {"Прервано (Ctrl+C) на этапе «запись», шаг 2 из 5.",
                       "Прибор хранит новые значения: диапазон датчика, нижнее значение "
                       "диапазона.\nНе отправлено: уровень сигнала обрыв, верхнее значение "
                       "диапазона, тип выхода."},
                      "Запись конфигурации"},
        InterruptCase{"WriteSecondCtrlCEndsAtOnce",
                      Write,
                      1,
                      "",
                      std::pair{std::string("$3"), 1800},
                      8,
                      100ms,
                      2,
                      SIGINT,
                      WriteTwo,
                      {"Отправлено, ответа не дождались: нижнее значение диапазона."},
                      "Запись конфигурации"},
        InterruptCase{"ReadAfterTwo",
                      {"read", "--port", "{port}", "--pace", "fast"},
                      1,
                      "",
                      std::pair{std::string("$H"), 1200},
                      2,
                      100ms,
                      1,
                      SIGINT,
                      {"$8", "$H"},
                      {"Прибор ответил на: диапазон датчика, верхнее значение диапазона."},
                      nullptr},
        InterruptCase{"SigtermAsCtrlC",
                      {"read", "--port", "{port}", "--pace", "fast"},
                      1,
                      "",
                      std::pair{std::string("$H"), 1200},
                      2,
                      100ms,
                      1,
                      SIGTERM,
                      {"$8", "$H"},
                      {"Прервано (сигнал SIGTERM) на этапе «чтение», шаг 2 из 5."},
                      nullptr},
        InterruptCase{"ResetAfterF",
                      {"reset", "--port", "{port}"},
                      1,
                      "",
                      std::nullopt,
                      1,
                      300ms,
                      1,
                      SIGINT,
                      {"$F"},
                      {"Не отправлено: запрос состояния ($0)."},
                      nullptr},
        InterruptCase{
            "InputCalibrationInTheZeroStage",
            {"calibrate", "input", "--port", "{port}", "--pace", "fast", "--range", "10",
             "--record", "{dir}/r"},
            1,
            "\n\n",
            std::nullopt,
            7,
            300ms,
            1,
            SIGINT,
            Join(Join(AsFound, {"#0"}), {"$1"}),
            {"на этапе «калибровка нуля», шаг 1 из 2.", "Не отправлено: запрос состояния ($0)."},
            "Калибровка нуля"},
        InterruptCase{"SeriesBetweenReadings",
                      {"temp", "--port", "{port}", "--pace", "fast", "--count", "5", "--every",
                       "1000", "--csv", "{dir}/t.csv"},
                      1,
                      "",
                      std::nullopt,
                      2,
                      300ms,
                      1,
                      SIGINT,
                      {"#0", "#0"},
                      {"Прервано (Ctrl+C). Измерений выполнено: 2 из 5."},
                      nullptr},
        InterruptCase{"OutputCalibrationAtThePrompt",
                      {"calibrate", "output", "--port", "{port}", "--pace", "fast", "--output", "2",
                       "--record", "{dir}/r"},
                      2,
                      "\n",
                      std::nullopt,
                      7,
                      500ms,
                      1,
                      SIGINT,
                      Join(Join(AsFound, {"#0", "$A0D0"}), {"$B"}),
                      {"Калибровка не завершена!\nПрервано (Ctrl+C) на этапе «калибровка выхода»",
                       "Прибор ответил на: выход на тестовом коде 0D0, завершение калибровки "
                       "($B)."},
                      "Калибровка выхода"},
        InterruptCase{
            "OutputCalibrationAtTheInstruction",
            {"calibrate", "output", "--port", "{port}", "--pace", "fast", "--output", "2"},
            2,
            "",
            std::nullopt,
            5,
            500ms,
            1,
            SIGINT,
            AsFound,
            {"Прервано (Ctrl+C) до начала этапа «калибровка выхода»: его команды не "
             "отправлялись."},
            nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

// What the transducer holds after a write stopped after its second value: the two new values
// and the three old ones.
TEST_F(Interrupting, AWriteStoppedAfterTwoValuesLeavesTheRestAsItWas) {
    sim::DeviceState before = sim::FactoryDefaults();
    simulator.SetState(before);
    simulator.AddFault(
        sim::FaultRule{sim::Fault{sim::FaultKind::LateReply, 1200}, std::string("$3"), 1});
    RunOptions options;
    options.closeInput = false;
    options.whileRunning = [&](pid_t child) {
        simulator.Log().WaitForCount(Kind::Received, 2, 30s);
        std::this_thread::sleep_for(100ms);
        ::kill(child, SIGINT);
    };
    const ProgramRun run =
        program.Run({"write", "--port", simulator.DevicePath(), "--pace", "fast", "--range", "15",
                     "--upper", "1100", "--lower", "-200", "--break", "120", "--output", "2"},
                    options);
    EXPECT_EQ(run.status, 6) << run.err;
    sim::DeviceState expected = before;
    expected.rangeIndex = 15;
    expected.lowerValue = -200.0;
    expected.status = simulator.State().status;
    EXPECT_EQ(simulator.State(), expected);
}

} // namespace
} // namespace cli_test
