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
    Args args;               // "{port}" and "{dir}/" as in the other tests; --log is added
    std::size_t signalAfter; // commands the simulator has received when the signal goes
    std::chrono::milliseconds wait;
    Commands received;
    std::vector<std::string> messages;                    // parts of standard error
    std::string input = "";                               // standard input, which stays open
    std::optional<std::pair<std::string, int>> late = {}; // this command's reply is late (ms)
    int outputType = 1;
    int signals = 1;
    int signal = SIGINT;
    const char* recordStage = nullptr; // the stage the record shows interrupted
    // What the transducer holds afterwards, where it matters.
    bool (*holds)(const sim::DeviceState&) = nullptr;
};

void PrintTo(const InterruptCase& c, std::ostream* os) {
    *os << c.name;
}

class Interrupt : public ::testing::TestWithParam<InterruptCase> {
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

TEST_P(Interrupt, EndsAfterTheStepUnderWayAndKeepsEverything) {
    const InterruptCase& c = GetParam();
    sim::DeviceState state = sim::FactoryDefaults(); // upper value 50
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
    if (c.holds != nullptr) {
        EXPECT_TRUE(c.holds(simulator.State()));
    }
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
const Args Read{"read", "--port", "{port}", "--pace", "fast"};

INSTANTIATE_TEST_SUITE_P(
    Cli, Interrupt,
    ::testing::Values(
        InterruptCase{.name = "WriteAfterTwoValues",
                      .args = Write,
                      .signalAfter = 8,
                      .wait = 100ms,
                      .received = WriteTwo,
                      .messages = {"Прервано (Ctrl+C) на этапе «запись», шаг 2 из 5.",
                                   "Прибор хранит новые значения: диапазон датчика, нижнее "
                                   "значение диапазона.\nНе отправлено: уровень сигнала обрыв, "
                                   "верхнее значение диапазона, тип выхода."},
                      .late = std::pair{std::string("$3"), 1200},
                      .recordStage = "Запись конфигурации",
                      .holds =
                          [](const sim::DeviceState& s) {
                              return s.rangeIndex == 15 && s.lowerValue == -200.0 &&
                                     s.upperValue == 50.0 && s.outputType == 1;
                          }},
        InterruptCase{.name = "WriteSecondCtrlCEndsAtOnce",
                      .args = Write,
                      .signalAfter = 8,
                      .wait = 100ms,
                      .received = WriteTwo,
                      .messages = {"Отправлено, ответа не дождались: нижнее значение диапазона."},
                      .late = std::pair{std::string("$3"), 1800},
                      .signals = 2,
                      .recordStage = "Запись конфигурации"},
        InterruptCase{.name = "ReadBySigterm",
                      .args = Read,
                      .signalAfter = 2,
                      .wait = 100ms,
                      .received = {"$8", "$H"},
                      .messages = {"Прервано (сигнал SIGTERM) на этапе «чтение», шаг 2 из 5.\n"
                                   "Прибор ответил на: диапазон датчика, верхнее значение "
                                   "диапазона."},
                      .late = std::pair{std::string("$H"), 1200},
                      .signal = SIGTERM},
        InterruptCase{.name = "ResetAfterF",
                      .args = {"reset", "--port", "{port}"},
                      .signalAfter = 1,
                      .wait = 300ms,
                      .received = {"$F"},
                      .messages = {"Не отправлено: запрос состояния ($0)."}},
        InterruptCase{.name = "InputCalibrationInTheZeroStage",
                      .args = {"calibrate", "input", "--port", "{port}", "--pace", "fast",
                               "--range", "10", "--record", "{dir}/r"},
                      .signalAfter = 7,
                      .wait = 300ms,
                      .received = Join(Join(AsFound, {"#0"}), {"$1"}),
                      .messages = {"на этапе «калибровка нуля», шаг 1 из 2.",
                                   "Не отправлено: запрос состояния ($0)."},
                      .input = "\n\n",
                      .recordStage = "Калибровка нуля"},
        InterruptCase{.name = "SeriesBetweenReadings",
                      .args = {"temp", "--port", "{port}", "--pace", "fast", "--count", "5",
                               "--every", "1000", "--csv", "{dir}/t.csv"},
                      .signalAfter = 2,
                      .wait = 300ms,
                      .received = {"#0", "#0"},
                      .messages = {"Прервано (Ctrl+C). Измерений выполнено: 2 из 5."}},
        InterruptCase{.name = "OutputCalibrationAtThePrompt",
                      .args = {"calibrate", "output", "--port", "{port}", "--pace", "fast",
                               "--output", "2", "--record", "{dir}/r"},
                      .signalAfter = 7,
                      .wait = 500ms,
                      .received = Join(Join(AsFound, {"#0", "$A0D0"}), {"$B"}),
                      .messages = {"Калибровка не завершена!\nПрервано (Ctrl+C) на этапе "
                                   "«калибровка выхода»",
                                   "Прибор ответил на: выход на тестовом коде 0D0, завершение "
                                   "калибровки ($B)."},
                      .input = "\n",
                      .outputType = 2,
                      .recordStage = "Калибровка выхода"},
        InterruptCase{
            .name = "OutputCalibrationAtTheInstruction",
            .args = {"calibrate", "output", "--port", "{port}", "--pace", "fast", "--output", "2"},
            .signalAfter = 5,
            .wait = 500ms,
            .received = AsFound,
            .messages = {"Прервано (Ctrl+C) до начала этапа «калибровка выхода»: его "
                         "команды не отправлялись."},
            .outputType = 2}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace cli_test
