#include "simulator/com_registration.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace sim {
namespace {
namespace fs = std::filesystem;

class ComRegistrationTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "lirat-sim-ports-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        folder_ = root_ / "ports";
        device_ = (root_ / "device").string();
        std::ofstream(device_).put('x');
    }
    void TearDown() override { fs::remove_all(root_); }

    fs::path root_;
    fs::path folder_;
    std::string device_;
};

TEST_F(ComRegistrationTest, CreatesTheFolderAndLinkAndRemovesThemOwnLinkOnly) {
    {
        ComRegistration registration(folder_, 7, device_);
        EXPECT_EQ(registration.LinkPath(), folder_ / "com7");
        EXPECT_EQ(fs::read_symlink(folder_ / "com7"), device_);
        EXPECT_FALSE(registration.ReplacedStale());
    }
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder_ / "com7")));

    // Someone else has taken the name meanwhile: their link stays.
    std::string other = (root_ / "other").string();
    std::ofstream(other).put('y');
    {
        ComRegistration registration(folder_, 8, device_);
        fs::remove(folder_ / "com8");
        fs::create_symlink(other, folder_ / "com8");
    }
    EXPECT_EQ(fs::read_symlink(folder_ / "com8"), other);
}

TEST_F(ComRegistrationTest, ReplacesALinkToADeviceThatIsGone) {
    fs::create_directories(folder_);
    fs::create_symlink(root_ / "vanished", folder_ / "COM7");
    ComRegistration registration(folder_, 7, device_);
    EXPECT_TRUE(registration.ReplacedStale());
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder_ / "COM7")));
    EXPECT_EQ(fs::read_symlink(folder_ / "com7"), device_);
}

TEST_F(ComRegistrationTest, RefusesANameThatIsInUse) {
    fs::create_directories(folder_);
    std::string live = (root_ / "live").string();
    std::ofstream(live).put('z');
    fs::create_symlink(live, folder_ / "Com7");
    EXPECT_THROW(ComRegistration(folder_, 7, device_), std::runtime_error);
    EXPECT_EQ(fs::read_symlink(folder_ / "Com7"), live);

    std::ofstream(folder_ / "com9").put('f');
    EXPECT_THROW(ComRegistration(folder_, 9, device_), std::runtime_error);
    EXPECT_TRUE(fs::is_regular_file(folder_ / "com9"));
}

TEST_F(ComRegistrationTest, FailsClearlyWhenTheFolderCannotBeMade) {
    // A regular file where the folder should be.
    std::ofstream(folder_).put('f');
    try {
        ComRegistration registration(folder_, 7, device_);
        FAIL() << "registered in a file";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find(folder_.string()), std::string::npos) << e.what();
    }
}

} // namespace
} // namespace sim
