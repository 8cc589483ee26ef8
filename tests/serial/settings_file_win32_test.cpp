// Failure paths of the settings file that need Windows file attributes.
#include "serial/settings_file.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/serial/temp_folder.h"

namespace serial {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

TEST(SettingsFileWin32, ReadOnlyFileRaisesAndStaysAsItWas) {
    TempFolder folder;
    const std::string path = folder.File("conf.INI");
    const std::string before = "[ComPort]\r\nPort=COM1\r\n";
    WriteBytes(path, before);
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    try {
        SettingsFile(path).WriteString("ComPort", "Port", "COM4");
        ADD_FAILURE() << "write over a read-only file reported success";
    } catch (const ESettingsFileError& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + path);
    }
    EXPECT_EQ(ReadBytes(path), before);
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(SettingsFileWin32, FileHeldOpenByAnotherProgramRaises) {
    TempFolder folder;
    const std::string path = folder.File("conf.INI");
    const std::string before = "[ComPort]\r\nPort=COM1\r\n";
    WriteBytes(path, before);
    // An editor holding the file without sharing it: it can be neither read nor replaced.
    const HANDLE held = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    SettingsFile file(path);
    EXPECT_EQ(file.ReadString("ComPort", "Port", "default"), "default");
    EXPECT_THROW(file.WriteString("ComPort", "Port", "COM4"), ESettingsFileError);
    ::CloseHandle(held);
    EXPECT_EQ(ReadBytes(path), before);
}

} // namespace
} // namespace serial
