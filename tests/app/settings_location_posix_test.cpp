// Where the settings file goes on a system with per-user folders: beside the program whenever a
// file is there or the folder can be written, otherwise in the user's configuration folder.
// Decided as a user without privileges, as an installed copy's users are: root may write
// anywhere and would always get the file beside the program.

#include "app/settings_location.h"
#include "app/settings_path.h"
#include "tests/serial/temp_folder.h"
#include "tests/support/unprivileged.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/stat.h>

namespace {

TEST(SettingsLocation, FollowsThePermissions) {
    struct Row {
        const char* name;
        bool fileBeside;
        mode_t fileMode;
        mode_t folderMode;
        bool expectBeside;
    };
    const Row rows[] = {
        {"writable folder, no file", false, 0, 0777, true},
        {"read-only folder, no file", false, 0, 0555, false},
        {"read-only file", true, 0444, 0755, true},
        {"file in a read-only folder", true, 0644, 0555, true},
        {"read-only file in a read-only folder", true, 0444, 0555, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        serial::testing::TempFolder root;
        const std::filesystem::path folder = root.Path() / "bin";
        std::filesystem::create_directory(folder);
        const std::string beside = (folder / "lirat5.INI").string();
        if (row.fileBeside) {
            serial::testing::WriteBytes(beside, "[ComPort]\nPort=COM7\n");
            ASSERT_EQ(::chmod(beside.c_str(), row.fileMode), 0);
        }
        ASSERT_EQ(::chmod(root.Path().c_str(), 0755), 0);
        ASSERT_EQ(::chmod(folder.c_str(), row.folderMode), 0);
        const std::string perUser = "/home/u/.config/lirat5";
        const std::string chosen = testing_support::AsUnprivilegedUser(
            [&] { return app::SettingsFileFor((folder / "lirat5").string(), perUser); });
        ::chmod(folder.c_str(), 0755);
        EXPECT_EQ(chosen, row.expectBeside ? beside : perUser + "/lirat5.INI");
    }
}

// Sets an environment variable for the scope and puts the old value back.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        ::setenv(name, value, 1);
    }
    ~ScopedVariable() {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(SettingsLocation, PerUserFolderIsTheConfigurationHome) {
    EXPECT_TRUE(app::HasPerUserSettings());
    const ScopedVariable home("HOME", "/home/u");
    {
        const ScopedVariable configHome("XDG_CONFIG_HOME", "/tmp/config-home");
        EXPECT_EQ(app::PerUserSettingsFolder(), "/tmp/config-home/lirat5");
    }
    // A relative configuration home does not count.
    const ScopedVariable configHome("XDG_CONFIG_HOME", "relative");
    EXPECT_EQ(app::PerUserSettingsFolder(), "/home/u/.config/lirat5");
}

} // namespace
