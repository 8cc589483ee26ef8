// Failure paths of the settings file that need POSIX processes and permissions.
#include "serial/settings_file.h"
#include "serial/settings_file_io.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/serial/temp_folder.h"
#include "tests/support/unprivileged.h"

namespace serial {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

// A file or folder that cannot be written: the write raises with the file's path and leaves the
// old file whole. Run without privileges, since root may write anywhere.
TEST(SettingsFilePosix, ReadOnlyFileOrFolderRaisesAndKeepsTheOldFile) {
    struct Case {
        const char* what;
        mode_t folderMode;
        mode_t fileMode;
    };
    for (const Case& c :
         {Case{"read-only folder", 0555, 0644}, Case{"read-only file", 0755, 0444}}) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        const std::string path = folder.File("conf.INI");
        const std::string before = "; kept\n[ComPort]\nPort=COM1\n";
        WriteBytes(path, before);
        ASSERT_EQ(::chmod(path.c_str(), c.fileMode), 0);
        ASSERT_EQ(::chmod(folder.Path().c_str(), c.folderMode), 0);
        const std::string outcome = testing_support::AsUnprivilegedUser([&path] {
            try {
                SettingsFile(path).WriteString("ComPort", "Port", "COM4");
                return std::string("written");
            } catch (const ESettingsFileError& error) {
                return std::string(error.what());
            }
        });
        ::chmod(folder.Path().c_str(), 0755);
        EXPECT_EQ(outcome, "Unable to write to " + path);
        EXPECT_EQ(ReadBytes(path), before);
    }
}

// A named pipe (or any other file that is not a plain file) in the settings file's place must
// not block the reader: it waits for a writer that never comes, and the tool would hang at
// start-up. It reads as a file without keys, and a write to it is refused.
TEST(SettingsFilePosix, NamedPipeReadsEmptyWithoutBlocking) {
    TempFolder folder;
    const std::string path = folder.File("conf.INI");
    ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
    SettingsFile file(path);
    EXPECT_EQ(file.ReadString("ComPort", "Port", "COM1"), "COM1");
    EXPECT_THROW(file.WriteString("ComPort", "Port", "COM4"), ESettingsFileError);
    struct stat info {};
    ASSERT_EQ(::lstat(path.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode)) << "the pipe was replaced";
}

// Writing a file whole renames a new file into place, which would take a device node or a
// pipe away from the system (/dev/null, for root) as readily as it replaces a file.
TEST(SettingsFilePosix, ReplacingRefusesWhatIsNotARegularFile) {
    TempFolder folder;
    const std::string pipe = folder.File("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    EXPECT_FALSE(detail::ReplaceFileContents(pipe, "text"));
    struct stat info {};
    ASSERT_EQ(::lstat(pipe.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode)) << "the pipe was replaced";
}

TEST(SettingsFilePosix, NewFileKeepsTheOldPermissionsAndLinks) {
    TempFolder folder;
    const std::string target = folder.File("real.INI");
    const std::string link = folder.File("conf.INI");
    WriteBytes(target, "[ComPort]\nPort=COM1\n");
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    ASSERT_EQ(::symlink("real.INI", link.c_str()), 0);

    SettingsFile(link).WriteString("ComPort", "Port", "COM5");

    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadBytes(target), "[ComPort]\nPort=COM5\n");
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

// A file that is whole holds, after its header, a payload of exactly kPayload copies of one
// letter and the closing key; a torn write would cut the payload or lose the closing key.
constexpr std::size_t kPayload = 1 << 20;

bool IsWhole(const std::string& path, int* generation) {
    const SettingsFile file(path);
    *generation = file.ReadInteger("Test", "Generation", -1);
    const std::string payload = ReadBytes(path);
    const std::string expected = "[Test]\nGeneration=" + std::to_string(*generation) +
                                 "\nPayload=" + std::string(kPayload, 'p') + "\nEnd=1\n";
    return payload == expected;
}

TEST(SettingsFilePosix, KilledWriterLeavesAWholeFile) {
    TempFolder folder;
    const std::string path = folder.File("conf.INI");
    WriteBytes(path, "[Test]\nGeneration=0\nPayload=" + std::string(kPayload, 'p') + "\nEnd=1\n");

    // Rounds 1 to 3 kill the writer once its new file has appeared, that is while it
    // writes; the others after a fixed time, wherever it happens to be.
    const auto newFileExists = [&] {
        for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
            if (entry.path().filename() != "conf.INI") {
                return true;
            }
        }
        return false;
    };
    int killedMidWrite = 0;
    const int delaysMs[] = {-1, -1, -1, 30, 75, 160};
    for (const int delayMs : delaysMs) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Rewrites the file over and over until killed; gives up on its own after a while
            // so that a lost parent leaves nothing running.
            const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
            for (int generation = 1; std::chrono::steady_clock::now() < end; ++generation) {
                SettingsFile(path).WriteInteger("Test", "Generation", generation);
            }
            ::_exit(0);
        }
        if (delayMs < 0) {
            const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            while (!newFileExists() && std::chrono::steady_clock::now() < giveUp) {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        }
        ASSERT_EQ(::kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));

        int generation = -1;
        EXPECT_TRUE(IsWhole(path, &generation)) << "after " << delayMs << " ms";
        EXPECT_GE(generation, 0);
        // A kill during a write leaves the writer's unfinished new file beside the old one;
        // it is never read, and it goes before the next round.
        for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
            if (entry.path().filename() != "conf.INI") {
                std::filesystem::remove(entry.path());
                ++killedMidWrite;
            }
        }
    }
    std::cout << "writer killed in the middle of a write in " << killedMidWrite << " of "
              << std::size(delaysMs) << " rounds\n";
}

} // namespace
} // namespace serial
