// The running program's own path, found from copies of a probe program started from folders a
// technician really has: Cyrillic letters, a path longer than the first guess of its length,
// and a start through a symbolic link (whose target is the program).
#include "app/executable_path.h"

#include "tests/app/run_program.h"
#include "tests/serial/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>

namespace {

namespace fs = std::filesystem;
using serial::testing::PathFromUtf8;
using serial::testing::ReadBytes;
using serial::testing::TempFolder;
using serial::testing::Utf8Path;

struct Place {
    const char* name;
    std::string folder; // UTF-8, below a fresh temporary folder
    bool throughLink;
    bool pastTheStartLimit = false; // longer than some systems start a program from
};
void PrintTo(const Place& place, std::ostream* out) {
    *out << place.name;
}

std::string Repeated(const std::string& text, int times) {
    std::string all;
    for (int i = 0; i < times; ++i) {
        all += (i ? "/" : "") + text;
    }
    return all;
}

class ExecutablePathTest : public ::testing::TestWithParam<Place> {};

TEST_P(ExecutablePathTest, NamesTheStartedCopyWithEveryLetter) {
    const Place& place = GetParam();
    TempFolder temp;
    const fs::path folder = temp.Path() / PathFromUtf8(place.folder);
    fs::create_directories(folder);
    const fs::path probe = PathFromUtf8(LIRAT_EXECUTABLE_PATH_PROBE);
    const fs::path copy = folder / (u8"Конфигуратор" + probe.extension().u8string());
    fs::copy_file(probe, copy);
    fs::path started = copy;
    if (place.throughLink) {
        started = temp.Path() / (u8"ярлык" + probe.extension().u8string());
        std::error_code error;
        fs::create_symlink(copy, started, error);
        if (error) {
            GTEST_SKIP() << "no symbolic links here: " << error.message();
        }
    }
    const std::string answer = Utf8Path(temp.Path() / "answer.txt");
    const int exitCode = lirat_test::RunProgram(Utf8Path(started), answer);
    if (exitCode == -1 && place.pastTheStartLimit) {
        // Windows starts no program from a path past MAX_PATH, whatever the program itself can
        // then find out; POSIX has no such limit.
        GTEST_SKIP() << "the system starts no program from a path of " << started.native().size()
                     << " characters";
    }
    ASSERT_EQ(exitCode, 0) << Utf8Path(started);
    EXPECT_EQ(ReadBytes(answer), Utf8Path(fs::canonical(copy)));
}

INSTANTIATE_TEST_SUITE_P(
    Places, ExecutablePathTest,
    ::testing::Values(Place{"Cyrillic", "Users/Пётр/Рабочий стол", false},
                      // 300 UTF-16 units and 560 bytes of UTF-8: past both first guesses.
                      Place{"Long", Repeated("Очень длинное имя папки техника", 9), false, true},
                      Place{"ThroughALink", "Пётр", true}),
    [](const ::testing::TestParamInfo<Place>& info) { return info.param.name; });

} // namespace
