// lirat5-cli run as a program against the transducer simulator on a pseudo-terminal: natively,
// and (the same tests) as lirat5-cli.exe under Wine with a dosdevices/comN link to the line.

#include "protocol/engine_texts.h"
#include "simulator/simulator.h"
#include "tests/cli/cli_program.h"
#include "tests/serial/temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <thread>

namespace cli_test {
namespace {

using namespace std::chrono_literals;
using Commands = std::vector<std::string>;
using Args = std::vector<std::string>;
using sim::FaultKind;
using Kind = sim::LogEntry::Kind;
namespace texts = protocol::texts;

sim::DeviceState Configured(int outputType = 1) {
    sim::DeviceState state = sim::FactoryDefaults();
    state.rangeIndex = 10;
    state.upperValue = 180.0;
    state.lowerValue = -20.0;
    state.breakLevel = 0.25;
    state.outputType = outputType;
    return state;
}

// A calibration reads the configuration first, to compare it with what it was given.
const Commands AsFound{"$8", "$H", "#9", "$4", "#K"};
Commands AfterAsFound(const Commands& commands) {
    Commands all = AsFound;
    all.insert(all.end(), commands.begin(), commands.end());
    return all;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class CliEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        if (!program.Missing().empty()) {
            GTEST_SKIP() << program.Missing();
        }
        simulator.Start();
        port = program.PortFor(simulator.DevicePath());
    }
    void TearDown() override { simulator.Stop(); }

    // "{port}" in an argument becomes the simulator's port, "{dir}/" the test's folder.
    ProgramRun Cli(Args args, const RunOptions& options = {}) {
        for (std::string& arg : args) {
            if (arg == "{port}") {
                arg = port;
            } else if (arg.starts_with("{dir}/")) {
                arg = program.PathFor(File(arg.substr(6)));
            }
        }
        return program.Run(args, options);
    }
    std::string File(const std::string& name) const { return folder.File(name); }
    Commands Received() const { return simulator.Log().Texts(Kind::Received); }
    // A fault for `count` commands with `code` (all codes when it is nullopt; -1: every command).
    void Fault(FaultKind kind, std::optional<std::string> code,
               std::optional<std::string> text = {}, int count = 1) {
        simulator.AddFault(sim::FaultRule{sim::Fault{kind, std::nullopt, text}, code, count});
    }

    CliProgram program;
    sim::Simulator simulator;
    serial::testing::TempFolder folder;
    std::string port;
};

// ---- the terminal ----

// The Windows console takes the text as UTF-16; on a pseudo-terminal Wine makes one and shows
// it in the terminal's UTF-8, so a wrong conversion would show here as mangled letters.
TEST_F(CliEndToEnd, RussianTextReachesATerminalIntact) {
    RunOptions options;
    options.pseudoTerminal = true;
    options.environment = {{"LANG", "C.UTF-8"}, {"LC_ALL", "C.UTF-8"}};
    const ProgramRun run = Cli({"write", "--port", "{port}", "--range", "0", "--upper", "51",
                                "--lower", "0", "--break", "0", "--output", "0"},
                               options);
    EXPECT_EQ(run.status, 3);
    // Wine's console drops the blank before the line break.
    EXPECT_NE(run.out.find("Верхнее значение диапазона"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("вне допустимого диапазона датчика!"), std::string::npos) << run.out;
}

// ---- read, write and the measured value ----

TEST_F(CliEndToEnd, ReadShowsTheConfigurationByItsCatalogueTexts) {
    simulator.SetState(Configured());
    simulator.SetMeasuredValue(23.45);
    const ProgramRun run = Cli({"read", "--port", "{port}", "--pace", "fast", "--temp"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Тип датчика:                 TСМ 100 W=1,426)\n"
                       "Диапазон датчика (град. С):  -50 +200, номер 10\n"
                       "Рабочий диапазон (град. С):  -20.0 ... 180.0\n"
                       "Уровень сигнала обрыв, %:    25.0\n"
                       "Тип выхода:                  1: 0 - 5 mA\n"
                       "Температура (град. С): 23.45\n");
    EXPECT_EQ(Received(), (Commands{"$8", "$H", "#9", "$4", "#K", "#0"}));
}

TEST_F(CliEndToEnd, ReadAsJsonKeepsTheTransducersPrecision) {
    sim::DeviceState state = Configured();
    state.rangeIndex = 22; // "0 до 500 Ом"
    state.upperValue = 412.125;
    state.lowerValue = 0.5;
    state.breakLevel = 0.125;
    state.outputType = 2;
    simulator.SetState(state);
    simulator.SetMeasuredValue(99.9);
    const ProgramRun run = Cli({"read", "--port", "{port}", "--pace", "fast", "--json", "--temp"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "{\n"
              "  \"sensorType\": {\"index\": 9, \"name\": \"R\"},\n"
              "  \"sensorRange\": {\"index\": 22, \"text\": \"0 до 500 Ом\", \"min\": 0.0, "
              "\"max\": 500.0},\n"
              "  \"upper\": 412.125,\n"
              "  \"lower\": 0.5,\n"
              "  \"breakPercent\": 12.5,\n"
              "  \"outputType\": {\"index\": 2, \"name\": \"0 - 20 mA\"},\n"
              "  \"measured\": {\"value\": 99.9, \"label\": \"Сопротивление (Ом): \"}\n"
              "}\n");
}

TEST_F(CliEndToEnd, WriteSendsTheWindowsParametersAndVerifiesThem) {
    const ProgramRun run =
        Cli({"write", "--port", "{port}", "--pace", "fast", "--range", "15", "--upper", "1100",
             "--lower", "-200", "--break", "120", "--output", "2"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Конфигурация записана.\n"
                       "Проверка пройдена: прибор хранит все пять значений.\n");
    EXPECT_EQ(Received(), (Commands{"$70F", "$3-200.0", "$G001.2 ", "$91100.0", "$K2", "$8", "$H",
                                    "#9", "$4", "#K"}));
    const sim::DeviceState state = simulator.State();
    EXPECT_EQ(state.rangeIndex, 15);
    EXPECT_EQ(state.upperValue, 1100.0);
    EXPECT_EQ(state.outputType, 2);
}

TEST_F(CliEndToEnd, WriteWithoutVerifySendsTheFiveCommandsOnly) {
    const ProgramRun run =
        Cli({"write", "--port", "{port}", "--pace", "fast", "--no-verify", "--range", "0",
             "--upper", "12,25", "--lower", "-50", "--break", "0", "--output", "1"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Received(), (Commands{"$700", "$3-050.0", "$G000.0 ", "$912.25", "$K1"}));
}

TEST_F(CliEndToEnd, AVerificationThatFindsAnotherValueListsItAndFails) {
    Fault(FaultKind::Payload, "$H", "99.5");
    Fault(FaultKind::Payload, "#K", "0");
    const ProgramRun run =
        Cli({"write", "--port", "{port}", "--pace", "fast", "--range", "4", "--upper", "100",
             "--lower", "0", "--break", "50", "--output", "1"});
    EXPECT_EQ(run.status, 5) << run.err;
    EXPECT_EQ(run.out, "Конфигурация записана.\n"
                       "Проверка не пройдена: прибор хранит не то, что записано.\n"
                       "Величина                     Записано        Считано\n"
                       "Верхнее значение диапазона   100.0           99.5\n"
                       "Тип выхода                   1 (0 - 5 mA)    0 (0 - 10 В)\n");
}

TEST_F(CliEndToEnd, APortThatDoesNotAnswerEndsWithTheEnginesMessage) {
    Fault(FaultKind::NoReply, std::nullopt, std::nullopt, -1);
    const ProgramRun run = Cli({"read", "--port", "{port}", "--pace", "fast"});
    EXPECT_EQ(run.status, 4);
    EXPECT_EQ(run.err, std::string(texts::NoConnection) + "\n");
    EXPECT_EQ(Received(), Commands{"$8"});
}

TEST_F(CliEndToEnd, APortThatCannotBeOpenedIsAPortErrorExplainedInRussian) {
    const ProgramRun run = Cli({"temp", "--port", program.MissingPort()});
    EXPECT_EQ(run.status, 4);
    // What happened and what to do first, the serial component's own text below it.
    const std::string head = "Ошибка порта " + program.MissingPort() + ":\nПорт " +
                             program.MissingPort() + " не найден (системная ошибка ";
    EXPECT_EQ(run.err.rfind(head, 0), 0u) << run.err;
    EXPECT_NE(run.err.find("адаптер не подключён"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("\nUnable to open com port (win error code: "), std::string::npos)
        << run.err;
}

TEST_F(CliEndToEnd, TemperatureSeriesGoesToTheTerminalAndTheCsvFile) {
    simulator.SetMeasuredValue(321.5);
    const ProgramRun run = Cli({"temp", "--port", "{port}", "--pace", "fast", "--count", "3",
                                "--every", "50", "--range", "23", "--csv", "{dir}/t.csv"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::regex line(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}  Сопротивление \(Ом\): 321\.5)");
    std::istringstream out(run.out);
    int lines = 0;
    for (std::string text; std::getline(out, text); ++lines) {
        EXPECT_TRUE(std::regex_match(text, line)) << text;
    }
    EXPECT_EQ(lines, 3);
    const std::string csv = ReadFile(File("t.csv"));
    EXPECT_TRUE(csv.starts_with("\xEF\xBB\xBFВремя,Величина,Значение\r\n")) << csv;
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 4);
    EXPECT_NE(csv.find(",Сопротивление (Ом),321.5\r\n"), std::string::npos) << csv;
}

// ---- the two paces ----

// Milliseconds from each command to the reply the engine took, from the exchange log.
std::vector<long> StepTimes(const std::string& log) {
    const std::regex stamp(R"(^\S+ \d\d:(\d\d):(\d\d)\.(\d{3}) (->|<-) )");
    std::vector<long> steps;
    long sent = -1;
    std::istringstream in(log);
    for (std::string line; std::getline(in, line);) {
        std::smatch m;
        if (std::regex_search(line, m, stamp)) {
            const long at = (std::stol(m[1]) * 60 + std::stol(m[2])) * 1000 + std::stol(m[3]);
            if (m[4] == "->") {
                sent = at;
            } else if (sent >= 0) {
                steps.push_back((at - sent + 3600000) % 3600000);
            }
        }
    }
    return steps;
}

class Paces : public CliEndToEnd, public ::testing::WithParamInterface<const char*> {};

TEST_P(Paces, GiveTheSameResultsAtTheirOwnTiming) {
    const std::string pace = GetParam();
    simulator.SetState(Configured());
    const ProgramRun run = Cli(
        {"read", "--port", "{port}", "--pace", pace, "--json", "--temp", "--log", "{dir}/x.log"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("\"upper\": 180.0,\n  \"lower\": -20.0,\n  \"breakPercent\": 25.0"),
              std::string::npos);
    const std::vector<long> steps = StepTimes(ReadFile(File("x.log")));
    ASSERT_EQ(steps.size(), 6u);
    for (long ms : steps) {
        // The window waits its whole 2000 ms; the fast pace takes the reply once its CR is in,
        // some 30 ms after the command at the simulator's pace.
        if (pace == "window") {
            EXPECT_GE(ms, 1990);
        } else {
            EXPECT_LT(ms, 1000);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cli, Paces, ::testing::Values("window", "fast"));

// ---- the exchange log ----

TEST_F(CliEndToEnd, TheLogHoldsEveryCommandAndReplyInHexAndAsWindows1251Text) {
    Fault(FaultKind::Payload, "#0", std::string("\xCF\xF0\xE8"));
    const ProgramRun run =
        Cli({"temp", "--port", "{port}", "--pace", "fast", "--log", "{dir}/x.log"});
    EXPECT_EQ(run.status, 4);
    EXPECT_EQ(run.err, std::string(texts::BadReply) + "\n");
    const std::string log = ReadFile(File("x.log"));
    const std::regex expected(
        R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} == lirat5-cli temp --port \S+ --pace fast --log \S+
\S+ \S+ -- порт \S+ открыт
\S+ \S+ -> 23 30 0D 0A \| #0<CR><LF>
\S+ \S+ <- 21 CF F0 E8 0D \| !При<CR>
\S+ \S+ -- порт \S+ закрыт
)");
    EXPECT_TRUE(std::regex_match(log, expected)) << log;

    // Appended, with a tick that found nothing.
    Fault(FaultKind::NoReply, "#0");
    Cli({"temp", "--port", "{port}", "--pace", "fast", "--log", "{dir}/x.log"});
    const std::string more = ReadFile(File("x.log"));
    EXPECT_TRUE(more.starts_with(log));
    EXPECT_NE(more.find(" <- ответа нет\n", log.size()), std::string::npos) << more;
}

// ---- profiles ----

TEST_F(CliEndToEnd, AProfileTakesAConfigurationFromOneTransducerToAnother) {
    simulator.SetState(Configured());
    WriteFile(File("p.ini"),
              "; order 17\r\n[Configuration]\r\nCustomer=Завод\r\n[Other]\r\nA=1\r\n");
    const ProgramRun read =
        Cli({"read", "--port", "{port}", "--pace", "fast", "--profile", "{dir}/p.ini"});
    ASSERT_EQ(read.status, 0) << read.err;
    EXPECT_EQ(ReadFile(File("p.ini")), "; order 17\r\n[Configuration]\r\nCustomer=Завод\r\n"
                                       "RangeIndex=10\r\nUpper=180.0\r\nLower=-20.0\r\n"
                                       "BreakPercent=25.0\r\nOutputType=1\r\n"
                                       "SensorType=TСМ 100 W=1,426)\r\nSensorRange=-50 +200\r\n"
                                       "[Other]\r\nA=1\r\n");

    simulator.SetState(sim::FactoryDefaults());
    simulator.Log().Clear();
    const ProgramRun write =
        Cli({"write", "--port", "{port}", "--pace", "fast", "--profile", "{dir}/p.ini"});
    ASSERT_EQ(write.status, 0) << write.err;
    EXPECT_NE(write.out.find("Проверка пройдена"), std::string::npos);
    EXPECT_EQ(Received(), (Commands{"$70A", "$3-020.0", "$G000.25 ", "$9180.0", "$K1", "$8", "$H",
                                    "#9", "$4", "#K"}));
    sim::DeviceState expected = Configured();
    expected.status = simulator.State().status;
    EXPECT_EQ(simulator.State(), expected);
}

// ---- port settings and the list of ports ----

TEST_F(CliEndToEnd, ASettingsFileNamesThePortAsTheWindowsDoes) {
    WriteFile(File("lirat5.INI"), "[ComPort]\nPort=" + port + "\nBaudRate=9600\n");
    const ProgramRun run = Cli({"temp", "--settings", "{dir}/lirat5.INI", "--pace", "fast"});
    EXPECT_EQ(run.status, 0) << run.err;
    const ProgramRun missing = Cli({"temp", "--settings", "{dir}/none.INI"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("Файл настроек порта не найден: "), std::string::npos);
}

TEST_F(CliEndToEnd, PortsListsTheNamesWithTheirDevices) {
    // Wine lists the ports its prefix found when it was made (COM1 at least), not the links
    // made since; natively a name of the port-name folder shows the device it links to.
    std::string name = "COM1";
    std::string device = "\\\\.\\COM1";
    RunOptions options;
    if (!program.UnderWine()) {
        const auto ports = folder.Path() / "lirat5" / "ports";
        std::filesystem::create_directories(ports);
        std::filesystem::create_symlink(simulator.DevicePath(), ports / "COM7");
        options.environment = {{"XDG_CONFIG_HOME", folder.Path().string()}};
        name = "COM7";
        device = simulator.DevicePath();
    }
    const ProgramRun run = Cli({"ports"}, options);
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.out.starts_with("Порт ")) << run.out;
    const std::size_t line = run.out.find("\n" + name + " ");
    ASSERT_NE(line, std::string::npos) << run.out;
    const std::string text = run.out.substr(line + 1, run.out.find('\n', line + 1) - line - 1);
    EXPECT_NE(text.find(" " + device + " "), std::string::npos) << text;
    EXPECT_NE(text.find(" подключён"), std::string::npos) << text;
}

// ---- factory reset and calibrations (always at the window's intervals) ----

struct StatusCase {
    const char* name;
    std::optional<std::string> status; // a bad status the transducer reports
    int exit;
    std::string messages;
};

class Reset : public CliEndToEnd, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(Reset, EndsWithTheStatusMessage) {
    if (GetParam().status) {
        Fault(FaultKind::BadStatus, "$0", GetParam().status);
    }
    const ProgramRun run = Cli({"reset", "--port", "{port}", "--pace", "fast"});
    EXPECT_EQ(run.status, GetParam().exit);
    EXPECT_EQ(run.err, GetParam().messages);
    EXPECT_EQ(Received(), (Commands{"$F", "$0"}));
}

INSTANTIATE_TEST_SUITE_P(Cli, Reset,
                         ::testing::Values(StatusCase{"Good", std::nullopt, 0,
                                                      "Калибровка завершена успешно!\n"},
                                           StatusCase{"Bad", "01", 4, "Ошибка калибровки нуля!\n"}),
                         [](const auto& info) { return std::string(info.param.name); });

class InputCalibration : public CliEndToEnd, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(InputCalibration, RunsZeroThenGainWithTheResistancesToConnect) {
    if (GetParam().status) {
        Fault(FaultKind::BadStatus, "$0", GetParam().status);
    }
    simulator.SetState(Configured());
    RunOptions answers;
    answers.input = "\n\n";
    const ProgramRun run =
        Cli({"calibrate", "input", "--port", "{port}", "--pace", "fast", "--range", "10"}, answers);
    EXPECT_EQ(run.status, GetParam().exit);
    EXPECT_EQ(run.err, GetParam().messages);
}

const std::string ZeroStage = "Калибровка нуля\nДля калибровки соберите схему: R = 0,0 Om\n"
                              "Установите аналог датчика согласно рисунку!\n"
                              "Нажмите Enter, когда будете готовы...\n";

INSTANTIATE_TEST_SUITE_P(
    Cli, InputCalibration,
    ::testing::Values(
        StatusCase{"Good", std::nullopt, 0,
                   ZeroStage + "Калибровка завершена успешно!\n"
                               "Калибровка усиления\nДля калибровки соберите схему: R=250,0 Om\n"
                               "Установите аналог датчика согласно рисунку!\n"
                               "Нажмите Enter, когда будете готовы...\n"
                               "Калибровка завершена успешно!\n"},
        StatusCase{"ZeroFails", "03", 4, ZeroStage + "Ошибка калибровки нуля!\n"}),
    [](const auto& info) { return std::string(info.param.name); });

const std::string OutputIntro = "Прооверьте, что переключатель на приборе задает\n"
                                "режим выхода:0 - 20 mA\nНажмите Enter, когда будете готовы...\n";
const std::string MinimumPrompt =
    "Калибровка минимума выходного сигнала\nВведите измеренное значение выхода [0]: ";
const std::string MaximumPrompt =
    "Калибровка максимума выходного сигнала\nВведите измеренное значение выхода [20]: ";

TEST_F(CliEndToEnd, OutputCalibrationSendsTheWindowsGainAndOffset) {
    // Given on the command line (a comma as well as a point), and typed at the prompts.
    simulator.SetState(Configured(2));
    for (const auto& [args, input] : std::vector<std::pair<Args, std::string>>{
             {{"--min", "1,0", "--max", "20.5"}, "\n"}, {{}, "\n1.0\n20.5\n"}}) {
        simulator.Log().Clear();
        Args all{"calibrate", "output", "--port", "{port}", "--pace", "fast", "--output", "2"};
        all.insert(all.end(), args.begin(), args.end());
        RunOptions options;
        options.input = input;
        const ProgramRun run = Cli(all, options);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(Received(), AfterAsFound({"$A0D0", "$ACD0", "$C3.15077E+03", "$D50", "$B"}));
        EXPECT_NE(run.err.find(OutputIntro + MinimumPrompt), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(MaximumPrompt), std::string::npos) << run.err;
        EXPECT_TRUE(run.err.ends_with("Калибровка завершена успешно!\n")) << run.err;
    }
}

TEST_F(CliEndToEnd, OutputCalibrationStoppedAtAPromptStillSendsB) {
    simulator.SetState(Configured(2));
    RunOptions options;
    options.input = "\n"; // the intro's Enter, then the end of input at the minimum's prompt
    const ProgramRun run = Cli(
        {"calibrate", "output", "--port", "{port}", "--pace", "fast", "--output", "2"}, options);
    EXPECT_EQ(run.status, 6);
    EXPECT_EQ(Received(), AfterAsFound({"$A0D0", "$B"}));
    EXPECT_EQ(run.err, OutputIntro + MinimumPrompt +
                           "\nКалибровка прервана: прибору отправляется \"$B\".\n"
                           "Калибровка не завершена!\n"
                           "Прервано (конец ввода) на этапе «калибровка выхода», шаг 2 из 5.\n"
                           "Прибор ответил на: выход на тестовом коде 0D0, завершение калибровки "
                           "($B).\nНе отправлено: выход на тестовом коде CD0, коэффициент "
                           "усиления ($C), смещение ($D).\n");
}

// Ctrl+C during an output calibration, at its instruction and at its prompt, is a row of the
// interruption table in cli_interrupt_e2e_test.cpp with every other command.

// A calibration goes ahead only for the range or output the transducer is set to (or with
// --force), and measured values whose maximum is not above the minimum are refused as a wrong
// measurement instead of sending a negative gain.
struct CalibrationCheckCase {
    const char* name;
    Args args;
    std::string input;
    int exit;
    Commands received; // after the reading as found
    std::string message;
};

void PrintTo(const CalibrationCheckCase& c, std::ostream* os) {
    *os << c.name;
}

class CalibrationChecks : public CliEndToEnd,
                          public ::testing::WithParamInterface<CalibrationCheckCase> {};

TEST_P(CalibrationChecks, SayWhatDiffersAndSendNothingOfTheCalibration) {
    const CalibrationCheckCase& c = GetParam();
    simulator.SetState(sim::FactoryDefaults()); // range 0, output 0
    Args args{"calibrate"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    args.insert(args.end(), {"--port", "{port}", "--pace", "fast"});
    RunOptions options;
    options.input = c.input;
    const ProgramRun run = Cli(args, options);
    EXPECT_EQ(run.status, c.exit) << run.err;
    EXPECT_EQ(Received(), AfterAsFound(c.received));
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cli, CalibrationChecks,
    ::testing::Values(
        CalibrationCheckCase{"InputOfAnotherRange",
                             {"input", "--range", "10"},
                             "",
                             3,
                             {},
                             "Прибор настроен на диапазон 0 (TСМ (R=53Ом), -50 +50), а задан "
                             "--range 10 (TСМ 100 W=1,426), -50 +200).\nКалибровка не начата"},
        CalibrationCheckCase{"OutputOfAnotherType",
                             {"output", "--output", "2", "--min", "1", "--max", "20"},
                             "",
                             3,
                             {},
                             "Прибор настроен на выход 0 (0 - 10 В), а задан --output 2 (0 - 20 "
                             "mA)."},
        CalibrationCheckCase{"ForcedAnyway",
                             {"input", "--range", "10", "--force"},
                             "\n\n",
                             0,
                             {"$1", "$0", "$2", "$0"},
                             "Калибровка завершена успешно!"},
        CalibrationCheckCase{"MaximumNotAboveMinimum",
                             {"output", "--output", "0", "--min", "20", "--max", "0"},
                             "\n",
                             4,
                             {"$A0D0", "$ACD0", "$B"},
                             "Введено недопустимое значение числа,\nповторите калибровку\n"
                             "Калибровка не завершена!\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CliEndToEnd, OutputCalibrationWithoutAReplyWarnsToSwitchThePowerOff) {
    simulator.SetState(Configured(2));
    Fault(FaultKind::NoReply, "$A");
    RunOptions options;
    options.input = "\n";
    const ProgramRun run = Cli(
        {"calibrate", "output", "--port", "{port}", "--pace", "fast", "--output", "2"}, options);
    EXPECT_EQ(run.status, 4);
    EXPECT_EQ(Received(), AfterAsFound({"$A0D0"}));
    EXPECT_TRUE(run.err.ends_with(std::string(texts::NoConnection) + "\n" +
                                  texts::CalibrationWindowClosedEarly + "\n"))
        << run.err;
}

} // namespace
} // namespace cli_test
