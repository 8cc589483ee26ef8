// The records of --record and the page of temp --html, written by the program against the
// simulator: every value as found and as left is checked against the simulator's state, a
// failed run still leaves its record, and Chromium (where installed) prints a record on one
// A4 page.

#include "simulator/simulator.h"
#include "tests/cli/cli_program.h"
#include "tests/serial/temp_folder.h"
#include "tests/support/json_reader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace cli_test {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;
using testing_support::Json;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class Records : public ::testing::Test {
protected:
    void SetUp() override {
        if (!program.Missing().empty()) {
            GTEST_SKIP() << program.Missing();
        }
        sim::DeviceState state = sim::FactoryDefaults();
        state.rangeIndex = 10;
        state.upperValue = 180.0;
        state.lowerValue = -20.0;
        state.breakLevel = 0.25;
        state.outputType = 2;
        simulator.SetState(state);
        simulator.SetMeasuredValue(23.45);
        simulator.Start();
        port = program.PortFor(simulator.DevicePath());
    }
    void TearDown() override { simulator.Stop(); }

    ProgramRun Cli(Args args, const std::string& input = "") {
        args.insert(args.begin() + (args[0] == "calibrate" ? 2 : 1),
                    {"--port", port, "--pace", "fast", "--record",
                     program.PathFor(folder.File("records"))});
        RunOptions options;
        options.input = input;
        return program.Run(args, options);
    }
    // The record's files: exactly one JSON and one HTML, nothing left of a temporary name.
    Json RecordOf(const std::string& stem, std::string* html = nullptr) {
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(folder.Path() / "records")) {
            files.push_back(entry.path());
        }
        std::sort(files.begin(), files.end());
        EXPECT_EQ(files.size(), 2u);
        if (files.size() != 2) {
            return {};
        }
        EXPECT_EQ(files[0].extension(), ".html");
        EXPECT_EQ(files[1].extension(), ".json");
        EXPECT_TRUE(files[1].filename().string().starts_with(stem)) << files[1];
        if (html != nullptr) {
            *html = files[0].string();
        }
        return Json::Parse(ReadFile(files[1]));
    }
    // Every value of a snapshot against the simulator's state and measured value.
    void ExpectState(const Json& snapshot, const sim::DeviceState& state) {
        const Json& c = snapshot["configuration"];
        EXPECT_EQ(c["rangeIndex"].number, state.rangeIndex);
        EXPECT_DOUBLE_EQ(c["upper"].number, state.upperValue);
        EXPECT_DOUBLE_EQ(c["lower"].number, state.lowerValue);
        EXPECT_DOUBLE_EQ(c["breakPercent"].number, state.breakLevel * 100.0);
        EXPECT_EQ(c["outputType"].number, state.outputType);
        EXPECT_DOUBLE_EQ(snapshot["measured"]["value"].number, simulator.MeasuredValue());
        EXPECT_EQ(snapshot["measured"]["label"].text, "Температура (град. С): ");
    }

    CliProgram program;
    sim::Simulator simulator;
    serial::testing::TempFolder folder;
    std::string port;
};

TEST_F(Records, AnOutputCalibrationKeepsTheUnitAsFoundTheFiguresAndTheUnitAsLeft) {
    const sim::DeviceState before = simulator.State();
    const ProgramRun run = Cli({"calibrate", "output", "--output", "2", "--min", "1,0", "--max",
                                "20.5", "--unit", "A-17", "--operator", "Петров П. П."},
                               "\n");
    ASSERT_EQ(run.status, 0) << run.err;
    std::string html;
    const Json record = RecordOf("A-17_", &html);
    EXPECT_EQ(record["kind"].text, "calibrate-output");
    EXPECT_EQ(record["unit"].text, "A-17");
    EXPECT_EQ(record["operator"].text, "Петров П. П.");
    EXPECT_EQ(record["port"].text, port);
    EXPECT_TRUE(record["tool"].text.starts_with("lirat5-cli "));
    ExpectState(record["asFound"], before);
    const sim::DeviceState after = simulator.State();
    ExpectState(record["asLeft"], after);
    const Json& stage = record["procedure"][0];
    EXPECT_EQ(stage["state"].text, "done");
    EXPECT_EQ(stage["facts"]["measuredMinimum"].text, "1.0 mA");
    EXPECT_EQ(stage["facts"]["measuredMaximum"].text, "20.5 mA");
    EXPECT_EQ(stage["facts"]["gainText"].text, "3.15077E+03");
    EXPECT_NEAR(std::stod(stage["facts"]["gain"].text), after.outputGain, 0.5);
    EXPECT_EQ(std::stoi(stage["facts"]["offset"].text), after.outputOffset);
    Args sent;
    for (const Json& exchange : stage["exchanges"].items) {
        sent.push_back(exchange["sent"].text);
        EXPECT_EQ(exchange["received"].text, "!");
    }
    EXPECT_EQ(sent, (Args{"$A0D0", "$ACD0", "$C3.15077E+03", "$D50", "$B"}));
    EXPECT_TRUE(record["succeeded"].boolean);
    const std::string page = ReadFile(html);
    for (const char* text : {"<html lang=\"ru\">", "Протокол калибровки выхода", "<svg", "size: A4",
                             "как найдено", "как оставлено", "CD0: 20.5"}) {
        EXPECT_NE(page.find(text), std::string::npos) << text;
    }
}

TEST_F(Records, AFailedInputCalibrationStillLeavesItsRecordSayingHowFarItGot) {
    simulator.AddFault(
        sim::FaultRule{sim::Fault{sim::FaultKind::BadStatus, std::nullopt, "03"}, "$0", 1});
    const ProgramRun run = Cli({"calibrate", "input", "--range", "10"}, "\n\n");
    EXPECT_EQ(run.status, 4) << run.err;
    const Json record = RecordOf(program.UnderWine() ? "COM" : "pts_");
    ExpectState(record["asFound"], simulator.State());
    ExpectState(record["asLeft"], simulator.State());
    EXPECT_EQ(record["procedure"][0]["state"].text, "failed");
    EXPECT_EQ(record["procedure"][0]["facts"]["status"].text, "03");
    EXPECT_EQ(record["procedure"][0]["facts"]["resistance"].text, "R = 0,0 Om");
    EXPECT_EQ(record["procedure"][1]["state"].text, "notReached");
    EXPECT_EQ(record["exitStatus"].number, 4);
    EXPECT_EQ(record["result"].text, "Не выполнено (код завершения 4). Выполнено этапов: 0 из 2; "
                                     "остановлено на этапе «Калибровка нуля»: Ошибка калибровки "
                                     "нуля!.");
}

TEST_F(Records, AWriteRecordsTheOldConfigurationAsFoundAndTheNewOneAsLeft) {
    const sim::DeviceState before = simulator.State();
    const ProgramRun run = Cli({"write", "--range", "4", "--upper", "100", "--lower", "0",
                                "--break", "50", "--output", "1", "--unit", "17"});
    ASSERT_EQ(run.status, 0) << run.err;
    const Json record = RecordOf("17_");
    ExpectState(record["asFound"], before);
    ExpectState(record["asLeft"], simulator.State());
    EXPECT_EQ(record["asLeft"]["configuration"]["rangeIndex"].number, 4);
    EXPECT_EQ(record["procedure"][1]["facts"]["differences"].text, "нет");
    EXPECT_EQ(record["result"].text, "Конфигурация записана и проверена.");
}

TEST_F(Records, ATemperatureSeriesPageHoldsItsChartAndEveryReading) {
    const std::string page = folder.File("t.html");
    RunOptions none;
    const ProgramRun run = program.Run({"temp", "--port", port, "--pace", "fast", "--count", "3",
                                        "--every", "50", "--html", program.PathFor(page)},
                                       none);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string html = ReadFile(page);
    EXPECT_NE(html.find("<svg"), std::string::npos);
    EXPECT_NE(html.find("Время от первого измерения, с"), std::string::npos);
    std::size_t rows = 0;
    for (auto at = html.find("</td><td>23.45</td></tr>"); at != std::string::npos;
         at = html.find("</td><td>23.45</td></tr>", at + 1)) {
        ++rows;
    }
    EXPECT_EQ(rows, 3u) << html;
    // The time axis starts at the first reading itself.
    EXPECT_NE(html.find("</td><td>0.0</td><td>23.45</td></tr>"), std::string::npos) << html;
}

// A cable pulled in the middle of a write: the record is still written and says where the
// write stopped.
TEST_F(Records, AWriteCutByAPulledCableStillLeavesItsRecord) {
    simulator.AddFault(
        sim::FaultRule{sim::Fault{sim::FaultKind::HangUp, std::nullopt, {}}, "$G", 1});
    const ProgramRun run = Cli({"write", "--range", "4", "--upper", "100", "--lower", "0",
                                "--break", "50", "--output", "1", "--unit", "Ж-17"});
    EXPECT_EQ(run.status, 4) << run.err;
    const Json record = RecordOf("Ж-17_");
    EXPECT_EQ(record["procedure"][0]["state"].text, "failed");
    EXPECT_EQ(record["procedure"][1]["state"].text, "notReached");
    EXPECT_FALSE(record["asLeft"]["read"].boolean);
    EXPECT_TRUE(record["result"].text.starts_with(
        "Не выполнено (код завершения 4). Выполнено этапов: 0 из 2; остановлено на этапе «Запись "
        "конфигурации»"))
        << record["result"].text;
}

// Chromium prints the page as it is, on one A4 page, and takes a picture of it.
TEST_F(Records, ARecordPrintsOnOneA4PageInChromium) {
    const char* chromium = "/usr/bin/chromium";
    if (!fs::exists(chromium)) {
        GTEST_SKIP() << "/usr/bin/chromium is missing (Debian package chromium)";
    }
    ASSERT_EQ(Cli({"calibrate", "output", "--output", "0", "--min", "0.5", "--max", "10.5",
                   "--unit", "A-18", "--operator", "Петров П. П."},
                  "\n")
                  .status,
              0);
    std::string html;
    RecordOf("A-18_", &html);
    const std::string pdf = folder.File("record.pdf");
    const std::string png = folder.File("record.png");
    const std::string common = std::string(chromium) +
                               " --headless --no-sandbox --disable-gpu "
                               "--disable-background-networking --disable-component-update "
                               "--disable-sync --no-first-run --user-data-dir=" +
                               folder.File("profile") + " ";
    const std::string url = " file://" + html + " >/dev/null 2>&1";
    ASSERT_EQ(std::system((common + "--no-pdf-header-footer --print-to-pdf=" + pdf + url).c_str()),
              0);
    ASSERT_EQ(
        std::system((common + "--screenshot=" + png + " --window-size=794,1123" + url).c_str()), 0);
    const std::string printed = ReadFile(pdf);
    std::size_t pages = 0;
    for (auto at = printed.find("/Type /Page"); at != std::string::npos;
         at = printed.find("/Type /Page", at + 1)) {
        pages += printed.compare(at, 12, "/Type /Pages") != 0 ? 1 : 0;
    }
    EXPECT_EQ(pages, 1u);
    EXPECT_NE(printed.find("/MediaBox [0 0 594.9"), std::string::npos); // 210 mm in points
    const std::string picture = ReadFile(png);
    EXPECT_TRUE(picture.starts_with("\x89PNG\r\n\x1a\n"));
    EXPECT_GT(picture.size(), 20000u);
}

} // namespace
} // namespace cli_test
