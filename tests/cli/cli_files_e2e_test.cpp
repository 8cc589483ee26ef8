// The files the user names, end to end against the simulator: every file a command would
// write is checked before the transducer hears anything, files that cannot be read are said
// so with their reason, a log that fails in the middle ends the run with status 1, a kept CSV
// outlives a run that read nothing, and records keep the unit's own letters under names no
// two runs share.

#include "simulator/simulator.h"
#include "tests/cli/cli_program.h"
#include "tests/serial/temp_folder.h"
#include "tests/support/json_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <sys/stat.h>

namespace cli_test {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;
using Commands = std::vector<std::string>;
using Kind = sim::LogEntry::Kind;
using serial::testing::PathFromUtf8;
using serial::testing::ReadBytes;
using serial::testing::WriteBytes;

class Files : public ::testing::Test {
public:
    std::string Path(const std::string& name) const {
        return serial::testing::Utf8Path(folder.Path() / PathFromUtf8(name));
    }

protected:
    void SetUp() override {
        if (!program.Missing().empty()) {
            GTEST_SKIP() << program.Missing();
        }
        simulator.Start();
        port = program.PortFor(simulator.DevicePath());
    }
    void TearDown() override { simulator.Stop(); }

    // "{port}" becomes the simulator's port, "{dir}/" the test's folder.
    ProgramRun Cli(Args args, const RunOptions& options = {}) {
        for (std::string& arg : args) {
            if (arg == "{port}") {
                arg = port;
            } else if (arg.starts_with("{dir}/")) {
                arg = program.PathFor(Path(arg.substr(6)));
            }
        }
        return program.Run(args, options);
    }
    Commands Received() const { return simulator.Log().Texts(Kind::Received); }

    CliProgram program;
    sim::Simulator simulator;
    serial::testing::TempFolder folder;
    std::string port;
};

struct RefusedCase {
    const char* name;
    std::function<void(const Files&)> setUp;
    Args args;
    std::string error;   // "{dir}/" stands for the test's folder
    bool native = false; // a POSIX device, pipe or user that Wine cannot stand for
    bool unprivileged = false;
};

void PrintTo(const RefusedCase& c, std::ostream* os) {
    *os << c.name;
}

class Refused : public Files, public ::testing::WithParamInterface<RefusedCase> {};

// Exit status 1, the path and the reason, and not one byte to the transducer.
TEST_P(Refused, BeforeTheTransducerHearsAnything) {
    const RefusedCase& c = GetParam();
    if (program.UnderWine() && c.native) {
        GTEST_SKIP() << "a POSIX device, pipe or user: Wine has none to stand for it";
    }
    if (c.setUp) {
        c.setUp(*this);
    }
    RunOptions options;
    options.unprivileged = c.unprivileged;
    const ProgramRun run = Cli(c.args, options);
    EXPECT_EQ(run.status, 1) << run.err;
    std::string error = c.error;
    if (const auto at = error.find("{dir}/"); at != std::string::npos) {
        const std::string file = error.substr(at + 6, error.find(':', at) - at - 6);
        error.replace(at, 6 + file.size(), program.PathFor(Path(file)));
    }
    EXPECT_NE(run.err.find(error), std::string::npos) << run.err;
    EXPECT_TRUE(Received().empty());
}

void MakeFile(const Files& test, const char* name, const std::string& text) {
    WriteBytes(PathFromUtf8(test.Path(name)), text);
}

const Args Write{"write",   "--port", "{port}",  "--range", "0",        "--upper", "50",
                 "--lower", "0",      "--break", "0",       "--output", "0"};
Args WriteWith(Args more) {
    Args args = Write;
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

INSTANTIATE_TEST_SUITE_P(
    Cli, Refused,
    ::testing::Values(
        RefusedCase{"RecordFolderIsAFile", [](const Files& t) { MakeFile(t, "rec", "x"); },
                    WriteWith({"--record", "{dir}/rec"}),
                    "Не удалось создать папку протоколов: {dir}/rec: это не папка"},
        RefusedCase{"RecordFolderIsADevice", nullptr, WriteWith({"--record", "/dev/null"}),
                    "Не удалось создать папку протоколов: /dev/null: это не папка", true},
        RefusedCase{"CsvOntoAPipeWithoutReader",
                    [](const Files& t) { ::mkfifo(t.Path("t.csv").c_str(), 0644); },
                    {"temp", "--port", "{port}", "--csv", "{dir}/t.csv"},
                    "Не удалось открыть файл CSV: {dir}/t.csv: это не обычный файл",
                    true},
        RefusedCase{"CsvOfAnotherTable",
                    [](const Files& t) { MakeFile(t, "t.csv", "a,b\r\n"); },
                    {"temp", "--port", "{port}", "--csv", "{dir}/t.csv"},
                    "Не удалось открыть файл CSV: {dir}/t.csv: в файле другая таблица"},
        RefusedCase{"HtmlOntoAPipe",
                    [](const Files& t) { ::mkfifo(t.Path("t.html").c_str(), 0644); },
                    {"temp", "--port", "{port}", "--html", "{dir}/t.html"},
                    "Не удалось записать файл HTML: {dir}/t.html: это не обычный файл",
                    true},
        RefusedCase{"LogOntoAFullDevice",
                    nullptr,
                    {"read", "--port", "{port}", "--log", "/dev/full"},
                    "Не удалось открыть журнал обмена: /dev/full: это не обычный файл",
                    true},
        RefusedCase{"LogIsAFolder",
                    [](const Files& t) { fs::create_directory(PathFromUtf8(t.Path("Журнал"))); },
                    {"read", "--port", "{port}", "--log", "{dir}/Журнал"},
                    "Не удалось открыть журнал обмена: {dir}/Журнал: это папка"},
        RefusedCase{"ProfileInAFolderNobodyMayWrite",
                    [](const Files& t) {
                        fs::create_directory(t.Path("ro"));
                        fs::permissions(t.Path("ro"),
                                        fs::perms::owner_write | fs::perms::group_write |
                                            fs::perms::others_write,
                                        fs::perm_options::remove);
                    },
                    {"read", "--port", "{port}", "--profile", "{dir}/ro/p.ini"},
                    "Не удалось записать файл профиля: {dir}/ro/p.ini: нет прав доступа",
                    true,
                    true},
        RefusedCase{"SettingsAFolder",
                    nullptr,
                    {"read", "--settings", "{dir}/"},
                    "Не удалось загрузить настройки порта из {dir}/: это папка"},
        RefusedCase{"SettingsNotText",
                    [](const Files& t) { MakeFile(t, "s.INI", std::string("\x01\x00\xff", 3)); },
                    {"read", "--settings", "{dir}/s.INI", "--port", "{port}"},
                    "Не удалось загрузить настройки порта из {dir}/s.INI: это не текстовый файл"},
        RefusedCase{"SettingsTooLarge",
                    [](const Files& t) {
                        MakeFile(t, "s.INI", "[ComPort]\nPort=COM1\n" + std::string(3 << 20, ';'));
                    },
                    {"read", "--settings", "{dir}/s.INI"},
                    "Не удалось загрузить настройки порта из {dir}/s.INI: файл больше 2 МиБ"},
        RefusedCase{"SettingsWithoutThePortsKeys",
                    [](const Files& t) { MakeFile(t, "s.INI", "[Other]\nPort=COM1\n"); },
                    {"read", "--settings", "{dir}/s.INI", "--port", "{port}"},
                    "в разделе [ComPort] нет ни одного ключа настроек порта"},
        RefusedCase{"SettingsWithoutPortAndNoPortGiven",
                    [](const Files& t) { MakeFile(t, "s.INI", "[ComPort]\nBaudRate=9600\n"); },
                    {"read", "--settings", "{dir}/s.INI"},
                    "в разделе [ComPort] нет ключа Port"},
        RefusedCase{"ProfileAFolder",
                    nullptr,
                    {"write", "--port", "{port}", "--profile", "{dir}/"},
                    "Не удалось прочитать файл профиля: {dir}/: это папка"},
        RefusedCase{"ProfileNotText",
                    [](const Files& t) { MakeFile(t, "p.ini", std::string("\x7f\x00PK", 4)); },
                    {"write", "--port", "{port}", "--profile", "{dir}/p.ini"},
                    "Не удалось прочитать файл профиля: {dir}/p.ini: это не текстовый файл"}),
    [](const auto& info) { return std::string(info.param.name); });

// A log the disk stops taking in the middle (here a file-size limit stands for the full disk):
// the transaction under way still ends, and the run then ends with status 1 and the reason.
TEST_F(Files, ALogThatFailsMidwayEndsTheRunWithItsReason) {
    if (program.UnderWine()) {
        GTEST_SKIP() << "a file-size limit would stop Wine's own files first";
    }
    RunOptions options;
    options.fileSizeLimit = 400;
    const ProgramRun run =
        Cli({"write", "--port", "{port}", "--pace", "fast", "--range", "0", "--upper", "50",
             "--lower", "0", "--break", "0", "--output", "0", "--log", "{dir}/x.log"},
            options);
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find("Не удалось записать журнал обмена: " + Path("x.log") +
                           ": файл слишком велик"),
              std::string::npos)
        << run.err;
    // The write went to its end; the verification, which the log would have missed, did not.
    EXPECT_EQ(Received(), (Commands{"$700", "$3000.0", "$G000.0 ", "$950.0", "$K0"}));
}

// A series kept in a CSV file is not touched by a run that reads nothing, and the next run's
// readings go on under the same heading.
TEST_F(Files, AKeptCsvSeriesOutlivesAFailedRunAndGrows) {
    const Args temp{"temp", "--port", "{port}", "--pace", "fast", "--csv", "{dir}/ряд.csv"};
    ASSERT_EQ(Cli(temp).status, 0);
    const std::string kept = ReadBytes(PathFromUtf8(Path("ряд.csv")));
    simulator.AddFault(
        sim::FaultRule{sim::Fault{sim::FaultKind::NoReply, std::nullopt, {}}, std::nullopt, -1});
    EXPECT_EQ(Cli(temp).status, 4);
    EXPECT_EQ(ReadBytes(PathFromUtf8(Path("ряд.csv"))), kept);
    simulator.ClearFaults();
    ASSERT_EQ(Cli(temp).status, 0);
    const std::string grown = ReadBytes(PathFromUtf8(Path("ряд.csv")));
    EXPECT_TRUE(grown.starts_with(kept));
    EXPECT_EQ(std::count(grown.begin(), grown.end(), '\n'), 3); // one heading, two readings
}

// Records of units with Cyrillic numbers and with names that clash once made file names,
// written into a Cyrillic folder: each a name of its own, the unit's letters kept, and JSON and
// HTML valid UTF-8 whatever bytes the operator's name held.
TEST_F(Files, RecordsKeepTheUnitsLettersUnderNamesOfTheirOwn) {
    for (const std::string unit : {"Ж1", "Щ1", "a/b", "a_b"}) {
        const ProgramRun run =
            Cli(WriteWith({"--pace", "fast", "--no-verify", "--record", "{dir}/Протоколы", "--unit",
                           unit, "--operator", "Петров \xff"}));
        ASSERT_EQ(run.status, 0) << unit << run.err;
    }
    std::map<std::string, int> stems;
    for (const auto& entry : fs::directory_iterator(folder.Path() / PathFromUtf8("Протоколы"))) {
        const std::string name = serial::testing::Utf8Path(entry.path().filename());
        if (name.ends_with(".json")) {
            const std::string json = ReadBytes(entry.path());
            EXPECT_EQ(json.find('\xff'), std::string::npos) << name;
            const auto record = testing_support::Json::Parse(json);
            // Wine turns the byte into a letter of its own on the way to the program.
            if (!program.UnderWine()) {
                EXPECT_EQ(record["operator"].text, "Петров \xEF\xBF\xBD");
            }
            EXPECT_EQ(ReadBytes(fs::path(entry.path()).replace_extension(".html")).find('\xff'),
                      std::string::npos);
            for (const std::string stem : {"Ж1_", "Щ1_", "a_b_"}) {
                stems[stem] += name.starts_with(stem) ? 1 : 0;
            }
        }
    }
    EXPECT_EQ(stems, (std::map<std::string, int>{{"Ж1_", 1}, {"Щ1_", 1}, {"a_b_", 2}}));
}

} // namespace
} // namespace cli_test
