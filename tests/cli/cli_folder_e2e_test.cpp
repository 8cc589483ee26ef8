// lirat5-cli started as a Russian technician starts it: a copy in a folder with Cyrillic letters
// (as "C:\Users\Пётр\Рабочий стол"), working there, every file it opens named in Russian. Under
// Wine once with the ANSI code page of an English Windows (1252) and once with that of a
// Russian one (1251): neither may turn a letter into "?".

#include "simulator/simulator.h"
#include "tests/cli/cli_program.h"
#include "tests/serial/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace cli_test {
namespace {

namespace fs = std::filesystem;
using serial::testing::PathFromUtf8;
using serial::testing::ReadBytes;
using serial::testing::TempFolder;
using serial::testing::WriteBytes;

class CyrillicFolder : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        if (!program.Missing().empty()) {
            GTEST_SKIP() << program.Missing();
        }
        if (!program.UnderWine() && std::string(GetParam()) != "1252") {
            GTEST_SKIP() << "a code page is Windows' own: natively one run says it all";
        }
        simulator.Start();
        port = program.PortFor(simulator.DevicePath());
        desktop = temp.Path() / PathFromUtf8("Пётр/Рабочий стол");
        fs::create_directories(desktop);
        const fs::path original = program.Program();
        copy = desktop / original.filename();
        fs::copy_file(original, copy);
        WriteBytes(desktop / "lirat5.INI", "[ComPort]\r\nPort=" + port + "\r\n");
    }
    void TearDown() override { simulator.Stop(); }

    ProgramRun Cli(const std::vector<std::string>& args) {
        RunOptions options;
        options.program = copy.string();
        options.workingFolder = desktop.string();
        options.environment = {{"LIRAT_WINE_CODEPAGE", GetParam()}};
        return program.Run(args, options);
    }
    std::string Read(const char* name) { return ReadBytes(desktop / PathFromUtf8(name)); }

    CliProgram program;
    sim::Simulator simulator;
    TempFolder temp;
    std::string port;
    fs::path desktop, copy;
};

TEST_P(CyrillicFolder, EveryFileOpensBesideTheProgram) {
    // The settings file by its full name, everything else by names relative to the folder.
    const std::string settings = program.PathFor((desktop / "lirat5.INI").string());
    const ProgramRun read = Cli({"read", "--settings", settings, "--pace", "fast", "--profile",
                                 "профиль.ini", "--log", "журнал.log"});
    ASSERT_EQ(read.status, 0) << read.err;
    EXPECT_NE(Read("профиль.ini").find("RangeIndex="), std::string::npos);
    EXPECT_NE(Read("журнал.log").find("-> 24 38 0D 0A | $8<CR><LF>"), std::string::npos);

    const ProgramRun write =
        Cli({"write", "--settings", settings, "--pace", "fast", "--profile", "профиль.ini",
             "--record", "протоколы", "--unit", "A-17", "--operator", "Пётр"});
    ASSERT_EQ(write.status, 0) << write.err;
    int records = 0;
    for (const auto& entry : fs::directory_iterator(desktop / PathFromUtf8("протоколы"))) {
        const std::string name = serial::testing::Utf8Path(entry.path().filename());
        EXPECT_TRUE(name.starts_with("A-17_")) << name;
        ++records;
    }
    EXPECT_EQ(records, 2); // .json and .html

    const ProgramRun temp = Cli({"temp", "--settings", settings, "--pace", "fast", "--count", "2",
                                 "--every", "50", "--csv", "замеры.csv", "--html", "замеры.html"});
    ASSERT_EQ(temp.status, 0) << temp.err;
    EXPECT_TRUE(Read("замеры.csv").starts_with("\xEF\xBB\xBFВремя,Величина,Значение\r\n"));
    EXPECT_TRUE(Read("замеры.html").starts_with("<!DOCTYPE html>"));
}

INSTANTIATE_TEST_SUITE_P(Cli, CyrillicFolder, ::testing::Values("1252", "1251"),
                         [](const auto& info) { return std::string("cp") + info.param; });

} // namespace
} // namespace cli_test
