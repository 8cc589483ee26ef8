// Failure paths of the settings file that need Windows file attributes.
#include "serial/settings_file.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "tests/serial/temp_folder.h"

namespace serial {
namespace {

namespace fs = std::filesystem;
using testing::PathFromUtf8;
using testing::ReadBytes;
using testing::TempFolder;
using testing::Utf8Path;
using testing::WriteBytes;

// A technician's own folder: the tool beside its settings file in C:\Users\Пётр\Рабочий стол.
// The window passes the path in UTF-8 and with "/" separators, as Qt writes it.
class CyrillicFolder : public ::testing::Test {
protected:
    void SetUp() override {
        folder = temp.Path() / u8"Пётр" / u8"Рабочий стол";
        fs::create_directories(folder);
        file = folder / "lirat5.INI";
        native = Utf8Path(file);
        forward = native;
        std::replace(forward.begin(), forward.end(), '\\', '/');
    }
    std::vector<fs::path> FolderEntries() const {
        return {fs::directory_iterator(folder), fs::directory_iterator()};
    }

    TempFolder temp;
    fs::path folder;
    fs::path file;
    std::string native;  // UTF-8 with "\\"
    std::string forward; // UTF-8 with "/"
};

TEST_F(CyrillicFolder, WritesReadsBackAndReplacesTheFile) {
    SettingsFile(forward).WriteString("ComPort", "Port", "COM7");
    EXPECT_EQ(ReadBytes(file), "[ComPort]\r\nPort=COM7\r\n");
    EXPECT_EQ(SettingsFile(forward).ReadString("ComPort", "Port", "none"), "COM7");

    // The second write goes through a new file put in place of the old one: afterwards the
    // folder holds the settings file alone, with both keys, and the file kept its attributes.
    ASSERT_TRUE(::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_ARCHIVE));
    SettingsFile(native).WriteString("ComPort", "BaudRate", "19200");
    EXPECT_EQ(ReadBytes(file), "[ComPort]\r\nPort=COM7\r\nBaudRate=19200\r\n");
    EXPECT_EQ(FolderEntries(), std::vector<fs::path>{file});
    const DWORD attributes = ::GetFileAttributesW(file.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY), 0u);
}

TEST_F(CyrillicFolder, RefusedWriteNamesTheFileWithBackslashesAndEveryLetter) {
    const std::string before = "[ComPort]\r\nPort=COM1\r\n";
    // The two ways a file in place refuses a write: marked read-only, or a folder in its place.
    const std::vector<std::pair<const char*, std::function<void()>>> refusals = {
        {"read-only file",
         [&] {
             WriteBytes(file, before);
             ASSERT_TRUE(::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
         }},
        {"folder in the file's place", [&] { fs::create_directory(file); }},
    };
    for (const auto& [name, refuse] : refusals) {
        SCOPED_TRACE(name);
        refuse();
        try {
            SettingsFile(forward).WriteString("ComPort", "Port", "COM4");
            ADD_FAILURE() << "the write reported success";
        } catch (const ESettingsFileError& error) {
            EXPECT_EQ(std::string(error.what()), "Unable to write to " + native);
            EXPECT_EQ(error.Path(), forward);
        }
        EXPECT_EQ(FolderEntries(), std::vector<fs::path>{file});
        ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (fs::is_directory(file)) {
            fs::remove(file);
        } else {
            EXPECT_EQ(ReadBytes(file), before);
            fs::remove(file);
        }
    }
}

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
