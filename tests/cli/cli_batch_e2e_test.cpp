// lirat5-cli over eight simulated transducers at once, some with faults (one that never
// answers, one that hangs up in the middle of a write, one whose read-back differs): scan,
// a batch write with verification, --port all. Natively and, the same tests, under Wine.

#include "simulator/simulator.h"
#include "tests/cli/cli_program.h"
#include "tests/serial/temp_folder.h"
#include "tests/support/json_reader.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <memory>

namespace cli_test {
namespace {

using Args = std::vector<std::string>;
using Commands = std::vector<std::string>;
using sim::FaultKind;
using Kind = sim::LogEntry::Kind;

constexpr std::size_t Units = 8;
constexpr std::size_t Silent = 2;  // answers nothing at all
constexpr std::size_t HangsUp = 5; // closes its line instead of answering "$G"
constexpr std::size_t Differs = 6; // reads back another upper value

const Commands WriteAndVerify{"$70A", "$3000.0", "$G001.05 ", "$9150.0", "$K2",
                              "$8",   "$H",      "#9",        "$4",      "#K"};

class EightUnits : public ::testing::Test {
protected:
    void SetUp() override {
        if (!program.Missing().empty()) {
            GTEST_SKIP() << program.Missing();
        }
        for (std::size_t i = 0; i < Units; ++i) {
            units[i] = std::make_unique<sim::Simulator>();
            units[i]->Start();
            ports.push_back(program.PortFor(units[i]->DevicePath()));
        }
        Fault(Silent, FaultKind::NoReply, std::nullopt, -1);
    }
    void TearDown() override {
        for (auto& unit : units) {
            if (unit) {
                unit->Stop();
            }
        }
    }

    void Fault(std::size_t unit, FaultKind kind, std::optional<std::string> code, int count = 1,
               std::optional<std::string> text = {}) {
        units[unit]->AddFault(sim::FaultRule{sim::Fault{kind, std::nullopt, text}, code, count});
    }
    // `args` with a --port for each unit.
    ProgramRun OnAll(Args args, const RunOptions& options = {}) {
        for (const std::string& port : ports) {
            args.insert(args.begin() + 1, {"--port", port});
        }
        return program.Run(args, options);
    }
    // The closing table's row of a port.
    static std::string Row(const std::string& out, const std::string& port) {
        const auto at = out.rfind("\n" + port + " ");
        return at == std::string::npos ? "" : out.substr(at + 1, out.find('\n', at + 1) - at - 1);
    }

    CliProgram program;
    std::array<std::unique_ptr<sim::Simulator>, Units> units;
    std::vector<std::string> ports;
};

TEST_F(EightUnits, ScanFindsTheSevenThatAnswerAndSendsNothingButTheRangeQuery) {
    sim::DeviceState ohms = sim::FactoryDefaults();
    ohms.rangeIndex = 22;
    units[4]->SetState(ohms);
    const ProgramRun run = OnAll({"scan"});
    EXPECT_EQ(run.status, 0) << run.err;
    for (std::size_t i = 0; i < Units; ++i) {
        const std::string row = Row(run.out, ports[i]);
        if (i == Silent) {
            EXPECT_NE(row.find("нет ответа"), std::string::npos) << row;
        } else if (i == 4) {
            EXPECT_NE(row.find("отвечает    R                   0 до 500 Ом, номер 22"),
                      std::string::npos)
                << row;
        } else {
            EXPECT_NE(row.find("отвечает    TСМ (R=53Ом)        -50 +50, номер 0"),
                      std::string::npos)
                << row;
        }
        EXPECT_EQ(units[i]->Log().Texts(Kind::Received), Commands{"$8"}) << i;
    }
    EXPECT_NE(run.out.find("Отвечают как ЛИРАТ-5: 7 из "), std::string::npos) << run.out;
}

TEST_F(EightUnits, ABatchWriteReportsExactlyTheFaultyUnitsAndConfiguresTheOthers) {
    Fault(HangsUp, FaultKind::HangUp, "$G");
    Fault(Differs, FaultKind::Payload, "$H", 1, "99.5");
    const ProgramRun run = OnAll({"write", "--pace", "fast", "--range", "10", "--upper", "150",
                                  "--lower", "0", "--break", "105", "--output", "2"});
    EXPECT_EQ(run.status, 7) << run.out << run.err;
    for (std::size_t i = 0; i < Units; ++i) {
        const std::string row = Row(run.out, ports[i]);
        if (i == Silent || i == HangsUp) {
            EXPECT_NE(row.find("ошибка обмена"), std::string::npos) << row;
        } else if (i == Differs) {
            EXPECT_NE(row.find("сверка не пройдена"), std::string::npos) << row;
            EXPECT_NE(row.find("Верхнее значение диапазона: записано 150.0, считано 99.5"),
                      std::string::npos)
                << row;
        } else {
            EXPECT_NE(row.find("выполнено"), std::string::npos) << row;
            EXPECT_NE(row.find("записано и проверено"), std::string::npos) << row;
            EXPECT_EQ(units[i]->Log().Texts(Kind::Received), WriteAndVerify) << i;
            const sim::DeviceState state = units[i]->State();
            EXPECT_EQ(state.rangeIndex, 10);
            EXPECT_EQ(state.upperValue, 150.0);
            EXPECT_EQ(state.lowerValue, 0.0);
            EXPECT_DOUBLE_EQ(state.breakLevel, 1.05);
            EXPECT_EQ(state.outputType, 2);
        }
        // Without a terminal every step is a plain line with its port in front.
        EXPECT_NE(run.err.find(ports[i] + ": запись 1/5\n"), std::string::npos) << run.err;
    }
    EXPECT_TRUE(units[HangsUp]->HungUp());
    EXPECT_EQ(units[HangsUp]->Log().Texts(Kind::Received),
              (Commands{"$70A", "$3000.0", "$G001.05 "}));
    // A write that failed is not verified.
    EXPECT_EQ(run.err.find(ports[HangsUp] + ": проверка"), std::string::npos) << run.err;
}

TEST_F(EightUnits, PortAllRunsOnThePortsTheScanFinds) {
    if (program.UnderWine()) {
        GTEST_SKIP()
            << "Wine lists the ports its prefix found when it was made, not links made since";
    }
    serial::testing::TempFolder config;
    const auto folder = config.Path() / "lirat5" / "ports";
    std::filesystem::create_directories(folder);
    for (std::size_t i = 0; i < Units; ++i) {
        std::filesystem::create_symlink(units[i]->DevicePath(),
                                        folder / ("COM" + std::to_string(91 + i)));
    }
    RunOptions options;
    options.environment = {{"XDG_CONFIG_HOME", config.Path().string()}};
    const ProgramRun run =
        program.Run({"read", "--port", "all", "--pace", "fast", "--json"}, options);
    EXPECT_EQ(run.status, 0) << run.err;
    const testing_support::Json results = testing_support::Json::Parse(run.out);
    ASSERT_EQ(results.items.size(), Units - 1) << run.out;
    for (const testing_support::Json& result : results.items) {
        EXPECT_NE(result["port"].text, "COM" + std::to_string(91 + Silent));
        EXPECT_EQ(result["exitStatus"].number, 0);
        EXPECT_EQ(result["configuration"]["sensorRange"]["index"].number, 0);
    }
    EXPECT_NE(run.err.find("Отвечают как ЛИРАТ-5: 7 из "), std::string::npos) << run.err;
}

} // namespace
} // namespace cli_test
