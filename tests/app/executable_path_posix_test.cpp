// How the POSIX side finds the executable when there is no /proc: from the name it was started
// by, as the shell found it; and the link's target whole, however long.
#include "app/executable_path_posix.h"

#include "tests/serial/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>

namespace {

namespace fs = std::filesystem;
using app::detail::ResolveExecutablePath;

struct Lookup {
    const char* name;
    std::string selfLink;   // "{link}": a link to bin/tool; anything else names nothing
    std::string invokedAs;  // "{bin}" stands for the folder holding the program
    std::string searchPath; // likewise
    std::string expected;   // likewise; empty: not found
};
void PrintTo(const Lookup& row, std::ostream* out) {
    *out << row.name;
}

class ResolveExecutablePathTest : public ::testing::TestWithParam<Lookup> {
protected:
    void SetUp() override {
        bin_ = fs::canonical(temp_.Path()) / "bin";
        fs::create_directories(bin_);
        serial::testing::WriteBytes((bin_ / "tool").string(), "#!/bin/sh\n");
        fs::permissions(bin_ / "tool", fs::perms::owner_all);
        serial::testing::WriteBytes((bin_ / "notes").string(), "not a program\n");
        fs::create_symlink(bin_ / "tool", temp_.Path() / "self");
    }
    std::string Fill(std::string text) const {
        for (const auto& [mark, value] :
             {std::pair<std::string, std::string>{"{bin}", bin_.string()},
              {"{link}", (temp_.Path() / "self").string()}}) {
            for (std::size_t at; (at = text.find(mark)) != std::string::npos;) {
                text.replace(at, mark.size(), value);
            }
        }
        return text;
    }

    serial::testing::TempFolder temp_;
    fs::path bin_;
};

TEST_P(ResolveExecutablePathTest, FindsTheProgram) {
    const Lookup& row = GetParam();
    EXPECT_EQ(ResolveExecutablePath(Fill(row.selfLink), Fill(row.invokedAs), Fill(row.searchPath)),
              Fill(row.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Lookups, ResolveExecutablePathTest,
    ::testing::Values(
        Lookup{"LinkWinsOverTheStartName", "{link}", "notes", "{bin}", "{bin}/tool"},
        Lookup{"PathAsStarted", "/nonexistent/exe", "{bin}/../bin/tool", "", "{bin}/tool"},
        Lookup{"SearchedInPath", "/nonexistent/exe", "tool", "/nonexistent::{bin}", "{bin}/tool"},
        Lookup{"NotExecutableIsSkipped", "/nonexistent/exe", "notes", "{bin}", ""},
        Lookup{"FolderIsNoProgram", "/nonexistent/exe", "{bin}/", "", ""},
        Lookup{"NothingToGoOn", "/nonexistent/exe", "", "{bin}", ""}),
    [](const ::testing::TestParamInfo<Lookup>& info) { return info.param.name; });

TEST(ResolveExecutablePath, ReadsALinkTargetLongerThanTheFirstBuffer) {
    serial::testing::TempFolder temp;
    const std::string target = "/" + std::string(3000, 'x') + "/программа";
    fs::create_symlink(target, temp.Path() / "self");
    EXPECT_EQ(ResolveExecutablePath((temp.Path() / "self").string(), "", ""), target);
}

} // namespace
