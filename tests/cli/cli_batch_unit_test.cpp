// The parts of runs over several ports and of the records that need no transducer: the
// per-port file names, the run's exit status, the live and plain lines with their prompts, the
// chart's ticks and the record's JSON.

#include "cli/batch_display.h"
#include "cli/file_names.h"
#include "cli/port_console.h"
#include "cli/port_runs.h"
#include "cli/record.h"
#include "cli/svg_chart.h"
#include "tests/cli/recording_console.h"
#include "tests/support/json_reader.h"

#include <gtest/gtest.h>

namespace cli {
namespace {

using Args = std::vector<std::string>;

TEST(BatchFiles, EachPortWritesAFileOfItsOwn) {
    const std::vector<std::array<std::string, 3>> cases{
        {"t.csv", "COM3", "t-COM3.csv"},
        {"/tmp/a.b/log", "/dev/pts/5", "/tmp/a.b/log-pts_5"},
        {"x.tar.html", "\\\\.\\COM12", "x.tar-COM12.html"},
        {"C:\\d.x\\r", "/dev/ttyUSB0", "C:\\d.x\\r-ttyUSB0"},
        {".log", "COM1", ".log-COM1"}, // a name that is all extension keeps it
    };
    for (const auto& [path, port, expected] : cases) {
        EXPECT_EQ(PortFileName(path, port), expected) << path;
    }
    // The unit's own letters stay; what a file system refuses becomes "_", bytes that are not
    // UTF-8 become U+FFFD.
    EXPECT_EQ(FileNamePart("№ 17/а b"), "№ 17_а b");
    EXPECT_EQ(FileNamePart("a\\b:c*d?e\"f<g>h|i\tj"), "a_b_c_d_e_f_g_h_i_j");
    EXPECT_EQ(FileNamePart("Ж\xD0"), "Ж\xEF\xBF\xBD");
}

TEST(BatchStatus, IsThePortsOwnWhenTheyAgreeAndSevenOtherwise) {
    using S = ExitStatus;
    EXPECT_EQ(BatchStatus({S::Done, S::Done}), S::Done);
    EXPECT_EQ(BatchStatus({S::DeviceError, S::DeviceError}), S::DeviceError);
    EXPECT_EQ(BatchStatus({S::Done, S::DeviceError}), S::SomePortsDiffer);
    EXPECT_EQ(BatchStatus({S::VerifyFailed, S::DeviceError, S::VerifyFailed}), S::SomePortsDiffer);
}

using Terminal = RecordingConsole;

TEST(BatchDisplay, PlainLinesNameTheirPortAndPromptsShowWhoAsks) {
    Terminal terminal(std::nullopt);
    BatchDisplay display(terminal, {"COM3", "COM4"});
    PortConsole com3(display, 0);
    PortConsole com4(display, 1);
    com3.Step("запись", 1, 5);
    com4.Step("измерение", 1, 1);
    com4.Step("измерение", 1, 1); // the same again is not repeated
    com3.Err("Нет связи\nс прибором!\n");
    com4.Err("Калибровка минимума\nВведите значение [0]: ");
    terminal.answers = {"1.5"};
    EXPECT_EQ(com4.ReadLine().text, "1.5");
    EXPECT_EQ(terminal.err, "COM3: запись 1/5\nCOM4: измерение…\nCOM3: Нет связи с "
                            "прибором!\nCOM4: Калибровка минимума\nCOM4: Введите значение [0]: "
                            "<read>");
    EXPECT_EQ(com3.LastMessage(), "Нет связи с прибором!");
    com3.Out("result");
    EXPECT_EQ(com3.Output(), "result");
    EXPECT_TRUE(terminal.out.empty());
}

TEST(BatchDisplay, LiveLinesAreRedrawnInPlaceAndCutToTheTerminalsWidth) {
    Terminal terminal(12); // room for 11 characters: the last column would wrap
    BatchDisplay display(terminal, {"COM3", "COM4"});
    display.Show(0, "запись 1/5");
    display.Show(1, "ок");
    EXPECT_EQ(terminal.err, "\x1b[2KCOM3: запис\n\x1b[2KCOM4: \n"
                            "\r\x1b[2A\x1b[2KCOM3: запис\n\x1b[2KCOM4: ок\n");
    // A prompt shows what led to it below the lines, then the lines start afresh below it.
    terminal.err.clear();
    terminal.answers = {""};
    display.Prompt(1, {"Установите аналог"}, "Нажмите Enter ");
    EXPECT_EQ(terminal.err, "COM4: Установите аналог\nCOM4: Нажмите Enter <read>"
                            "\x1b[2KCOM3: запис\n\x1b[2KCOM4: ок\n");
}

TEST(ChartTicks, AreRoundStepsThatCoverTheRange) {
    EXPECT_EQ(Ticks(0.0, 20.5, 5), (std::vector<double>{0, 5, 10, 15, 20, 25}));
    const auto small = Ticks(-0.3, 0.7, 5);
    ASSERT_EQ(small.size(), 7u); // -0.4 to 0.8 by 0.2
    EXPECT_NEAR(small.front(), -0.4, 1e-9);
    EXPECT_NEAR(small.back(), 0.8, 1e-9);
    EXPECT_EQ(Ticks(3.0, 3.0, 5), std::vector<double>{3.0});
    EXPECT_EQ(HtmlEscape("<a & \"b\">"), "&lt;a &amp; &quot;b&quot;&gt;");
}

TEST(RecordJson, IsValidJsonWithEveryStageAndNullsForWhatWasNotRead) {
    Record record;
    record.kind = RecordKind::InputCalibration;
    record.operatorName = "О'Нил \"младший\"";
    record.asFound.attempted = true;
    record.asFound.configuration = Configuration{10, 200.0, -50.0, 1.1, 0};
    record.asFound.measured = Reading{"Температура (град. С): ", "23.4"};
    record.stages = {Stage{"Калибровка нуля",
                           StageState::Failed,
                           {{"x", "03", "status"}},
                           {{"$1", "!"}, {"$0", "!03"}},
                           {"Ошибка калибровки нуля!"}},
                     Stage{"Калибровка усиления", StageState::NotReached, {}, {}, {}}};
    record.exitStatus = 4;
    const auto json = testing_support::Json::Parse(RecordJson(record));
    EXPECT_EQ(json["kind"].text, "calibrate-input");
    EXPECT_EQ(json["operator"].text, record.operatorName);
    EXPECT_EQ(json["asFound"]["configuration"]["breakPercent"].number, 110.0);
    EXPECT_EQ(json["asFound"]["measured"]["value"].number, 23.4);
    EXPECT_TRUE(json["asLeft"]["configuration"].IsNull());
    EXPECT_EQ(json["procedure"][0]["facts"]["status"].text, "03");
    EXPECT_EQ(json["procedure"][0]["exchanges"][1]["received"].text, "!03");
    EXPECT_EQ(json["procedure"][1]["state"].text, "notReached");
    EXPECT_FALSE(json["succeeded"].boolean);
    const std::string html = RecordHtml(record);
    EXPECT_NE(html.find("О'Нил &quot;младший&quot;"), std::string::npos);
    EXPECT_NE(html.find("Калибровка усиления: <span class=\"notReached\">"), std::string::npos);
}

} // namespace
} // namespace cli
