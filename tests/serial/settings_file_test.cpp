#include "serial/settings_file.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "serial/com_port.h"
#include "serial/settings_file_io.h"
#include "tests/serial/temp_folder.h"

namespace serial {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

const std::string kNative(detail::NativeLineEnding());

// ---- Reading -------------------------------------------------------------------------------

struct ReadCase {
    const char* name;
    std::string file;
    std::string section;
    std::string key;
    std::string expected; // "<default>" when the default must come back
};

class SettingsFileReadTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(SettingsFileReadTest, FindsTheValueOrGivesTheDefault) {
    TempFolder folder;
    const std::string path = folder.File("conf.INI");
    WriteBytes(path, GetParam().file);
    const SettingsFile file(path);
    EXPECT_EQ(file.ReadString(GetParam().section, GetParam().key, "<default>"),
              GetParam().expected);
}

const ReadCase kReads[] = {
    {"Plain", "[ComPort]\nPort=COM4\n", "ComPort", "Port", "COM4"},
    {"SectionCase", "[COMPORT]\nPort=COM4\n", "ComPort", "Port", "COM4"},
    {"KeyCase", "[ComPort]\nbaudrate=19200\n", "ComPort", "BaudRate", "19200"},
    {"BlanksTrimmed", "[ComPort]\n  Port \t=   COM4  \t\n", "ComPort", "Port", "COM4"},
    {"InnerBlanksKept", "[S]\nK= a  b \n", "S", "K", "a  b"},
    {"HeaderBlanks", "  [ ComPort ]  \nPort=COM4\n", "ComPort", "Port", "COM4"},
    {"CrLf", "[ComPort]\r\nPort=COM4\r\nBaudRate=300\r\n", "ComPort", "Port", "COM4"},
    {"LastLineWithoutEnding", "[ComPort]\nPort=COM4", "ComPort", "Port", "COM4"},
    {"EmptyValueIsNotMissing", "[ComPort]\nBaudRate=\n", "ComPort", "BaudRate", ""},
    {"EqualsInValue", "[S]\nK=a=b\n", "S", "K", "a=b"},
    {"FirstDuplicateKey", "[S]\nK=1\nK=2\n", "S", "K", "1"},
    {"FirstDuplicateSection", "[S]\nA=1\n[S]\nK=2\n", "S", "K", "<default>"},
    {"OtherSection", "[Other]\nPort=COM9\n[ComPort]\nBaud=1\n", "ComPort", "Port", "<default>"},
    {"KeyBeforeAnySection", "Port=COM9\n[ComPort]\n", "ComPort", "Port", "<default>"},
    {"CommentIsNoKey", "[ComPort]\n;Port=COM9\n# Port=COM8\n", "ComPort", "Port", "<default>"},
    {"MissingSection", "[Other]\nPort=COM9\n", "ComPort", "Port", "<default>"},
    {"EmptyFile", "", "ComPort", "Port", "<default>"},
    {"ByteOrderMark", "\xEF\xBB\xBF[ComPort]\r\nPort=COM4\r\n", "ComPort", "Port", "COM4"},
    {"ValueCutAt2047", "[S]\nK=" + std::string(3000, 'v') + "\n", "S", "K", std::string(2047, 'v')},
    {"ValueOf2047Whole", "[S]\nK=" + std::string(2047, 'w') + "\n", "S", "K",
     std::string(2047, 'w')},
};

INSTANTIATE_TEST_SUITE_P(Lookup, SettingsFileReadTest, ::testing::ValuesIn(kReads),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SettingsFileReadInteger, ConvertsOrGivesTheDefault) {
    TempFolder folder;
    const std::string path = folder.File("conf.INI");
    WriteBytes(path, "[S]\nDec= 1024 \nHex=$10\nHex2=0x20\nNeg=-3\nWord=abc\nEmpty=\n"
                     "Big=4294967296\nSpaced=1 0\n");
    const SettingsFile file(path);
    const std::vector<std::pair<std::string, int>> cases = {
        {"Dec", 1024}, {"Hex", 16}, {"Hex2", 32},   {"Neg", -3},    {"Word", 77},
        {"Empty", 77}, {"Big", 77}, {"Spaced", 77}, {"Missing", 77}};
    for (const auto& [key, expected] : cases) {
        EXPECT_EQ(file.ReadInteger("s", key, 77), expected) << key;
    }
}

TEST(SettingsFileMissing, MissingFileOrFolderReadsDefaults) {
    TempFolder folder;
    for (const std::string& path : {folder.File("none.INI"), folder.File("no-folder/none.INI")}) {
        const SettingsFile file(path);
        EXPECT_EQ(file.ReadString("ComPort", "Port", "COM1"), "COM1") << path;
        EXPECT_EQ(file.ReadInteger("ComPort", "CustomBaudRate", 9600), 9600) << path;
    }
}

// ---- Writing -------------------------------------------------------------------------------

struct WriteCase {
    const char* name;
    std::string before;
    std::string section;
    std::string key;
    std::string value;
    std::string after;
};

class SettingsFileWriteTest : public ::testing::TestWithParam<WriteCase> {};

TEST_P(SettingsFileWriteTest, ChangesOnlyTheOneLine) {
    TempFolder folder;
    const std::string path = folder.File("conf.INI");
    WriteBytes(path, GetParam().before);
    SettingsFile file(path);
    file.WriteString(GetParam().section, GetParam().key, GetParam().value);
    EXPECT_EQ(ReadBytes(path), GetParam().after);
    EXPECT_EQ(file.ReadString(GetParam().section, GetParam().key, "<default>"), GetParam().value);
    EXPECT_EQ(SettingsFile(path).ReadString(GetParam().section, GetParam().key, "<default>"),
              GetParam().value);
}

const WriteCase kEdits[] = {
    {"ReplaceKeepsEverythingElse",
     "; settings of the configurator\n[ComPort]\nPort = COM1\nBaudRate=9600\n\n"
     "[Other]\nPort=COM7\nUnknown=1\n",
     "ComPort", "Port", "COM4",
     "; settings of the configurator\n[ComPort]\nPort = COM4\nBaudRate=9600\n\n"
     "[Other]\nPort=COM7\nUnknown=1\n"},
    {"ReplaceMatchesAnyCase", "[comport]\r\nPORT=COM1\r\n", "ComPort", "Port", "COM12",
     "[comport]\r\nPORT=COM12\r\n"},
    {"ReplaceEmptyValue", "[S]\nK=\nL=1\n", "S", "K", "x", "[S]\nK=x\nL=1\n"},
    {"AddAtEndOfSectionBeforeBlankLine", "[ComPort]\nBaudRate=9600\n; note\n\n[Other]\nX=1\n",
     "ComPort", "Port", "COM3", "[ComPort]\nBaudRate=9600\n; note\nPort=COM3\n\n[Other]\nX=1\n"},
    {"AddToEmptySection", "[ComPort]\n[Other]\n", "ComPort", "Port", "COM3",
     "[ComPort]\nPort=COM3\n[Other]\n"},
    {"AddSectionAtEnd", "[Other]\nX=1\n", "ComPort", "Port", "COM3",
     "[Other]\nX=1\n[ComPort]\nPort=COM3\n"},
    {"AddSectionAfterLineWithoutEnding", "[Other]\r\nX=1", "ComPort", "Port", "COM3",
     "[Other]\r\nX=1\r\n[ComPort]\r\nPort=COM3\r\n"},
    {"LastLineEndingInCrKeepsItsCr", "[A]\nX=1\nY=2\r", "A", "Z", "3", "[A]\nX=1\nY=2\r\r\nZ=3\n"},
    {"CrLfFileKeepsCrLf", "[ComPort]\r\nBaudRate=9600\r\n", "ComPort", "Port", "COM3",
     "[ComPort]\r\nBaudRate=9600\r\nPort=COM3\r\n"},
    {"MixedEndingsKeptPerLine", "[A]\r\nX=1\nY=2\r\n", "A", "X", "5", "[A]\r\nX=5\nY=2\r\n"},
    {"ByteOrderMarkKept", "\xEF\xBB\xBF[ComPort]\r\nPort=COM1\r\n", "ComPort", "Port", "COM2",
     "\xEF\xBB\xBF[ComPort]\r\nPort=COM2\r\n"},
    {"SecondDuplicateUntouched", "[S]\nK=1\nK=2\n", "S", "K", "9", "[S]\nK=9\nK=2\n"},
    {"EmptyFileGetsNativeEndings", "", "ComPort", "Port", "COM3",
     "[ComPort]" + kNative + "Port=COM3" + kNative},
};

INSTANTIATE_TEST_SUITE_P(Edits, SettingsFileWriteTest, ::testing::ValuesIn(kEdits),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SettingsFileWrite, CreatesTheFileAndKeepsEarlierKeys) {
    TempFolder folder;
    const std::string path = folder.File("new.INI");
    SettingsFile file(path);
    file.WriteString("ComPort", "Port", "COM3");
    file.WriteInteger("ComPort", "CustomBaudRate", -250000);
    file.WriteInteger("ComPort", "Buffer.InputSize", 2048);
    EXPECT_EQ(ReadBytes(path), "[ComPort]" + kNative + "Port=COM3" + kNative +
                                   "CustomBaudRate=-250000" + kNative + "Buffer.InputSize=2048" +
                                   kNative);
    const SettingsFile again(path);
    EXPECT_EQ(again.ReadInteger("ComPort", "CustomBaudRate", 0), -250000);
}

TEST(SettingsFileWrite, KeepsChangesMadeByOthersSinceItWasOpened) {
    TempFolder folder;
    const std::string path = folder.File("conf.INI");
    WriteBytes(path, "[ComPort]\nPort=COM1\n");
    SettingsFile file(path);
    WriteBytes(path, "[ComPort]\nPort=COM1\nBaudRate=300\n");
    file.WriteString("ComPort", "Port", "COM2");
    EXPECT_EQ(ReadBytes(path), "[ComPort]\nPort=COM2\nBaudRate=300\n");
    EXPECT_EQ(file.ReadString("ComPort", "BaudRate", ""), "300");
}

TEST(SettingsFileWrite, RefusesTextsThatWouldNotReadBack) {
    struct Refused {
        std::string section, key, value;
    };
    const std::vector<Refused> refused = {{"ComPort", "Port", "COM1\n[Evil]"},
                                          {"ComPort", "Port", "COM1\r"},
                                          {"ComPort", "Port", std::string("CO\0M", 4)},
                                          {"Com]Port", "Port", "x"},
                                          {"Com\nPort", "Port", "x"},
                                          {"ComPort", "Po=rt", "x"},
                                          {"ComPort", "", "x"},
                                          {"ComPort", "  ", "x"},
                                          {"ComPort", "[Port", "x"},
                                          {"ComPort", ";Port", "x"},
                                          {"ComPort", "#Port", "x"}};
    TempFolder folder;
    const std::string path = folder.File("conf.INI");
    const std::string before = "[ComPort]\nPort=COM1\n";
    WriteBytes(path, before);
    for (const Refused& r : refused) {
        SettingsFile file(path);
        EXPECT_THROW(file.WriteString(r.section, r.key, r.value), ESettingsFileError)
            << r.section << "/" << r.key;
        EXPECT_EQ(ReadBytes(path), before);
    }
}

// ---- Failed writes -------------------------------------------------------------------------

// Every failed write must leave the old file as it was and no half-written file beside it.
void ExpectOnlyFile(const TempFolder& folder, const std::string& name) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{name});
}

class WriteLimit {
public:
    explicit WriteLimit(std::size_t bytes) { detail::SetWriteLimitForTesting(bytes); }
    ~WriteLimit() { detail::SetWriteLimitForTesting(std::nullopt); }
};

TEST(SettingsFileFailedWrite, FullDiskMidWriteKeepsTheOldFile) {
    TempFolder folder;
    const std::string path = folder.File("conf.INI");
    const std::string before =
        "[ComPort]\nPort=COM1\nBaudRate=9600\n" + std::string(200000, ';') + "\n[Other]\nX=1\n";
    WriteBytes(path, before);
    // The new file is as long as the old one; one byte short of it is still a failure.
    for (const std::size_t limit :
         {std::size_t{0}, std::size_t{10}, std::size_t{70000}, before.size() - 1}) {
        SettingsFile file(path);
        {
            WriteLimit full(limit);
            try {
                file.WriteString("ComPort", "Port", "COM4");
                ADD_FAILURE() << "write succeeded with " << limit << " bytes of room";
            } catch (const ESettingsFileError& error) {
                EXPECT_EQ(std::string(error.what()), "Unable to write to " + path);
                EXPECT_EQ(error.Path(), path);
            }
        }
        EXPECT_TRUE(ReadBytes(path) == before) << "old file changed with limit " << limit;
        EXPECT_EQ(file.ReadString("ComPort", "Port", ""), "COM1");
        ExpectOnlyFile(folder, "conf.INI");
    }
    // With room enough the same write goes through.
    WriteLimit roomy(before.size());
    SettingsFile(path).WriteString("ComPort", "Port", "COM4");
    EXPECT_EQ(SettingsFile(path).ReadString("ComPort", "Port", ""), "COM4");
}

TEST(SettingsFileFailedWrite, FolderThatIsAFileRaises) {
    // Works as root too: no permission can make a regular file hold other files.
    TempFolder folder;
    const std::string blocker = folder.File("blocker");
    WriteBytes(blocker, "not a folder");
    const std::string path = (std::filesystem::path(blocker) / "conf.INI").string();
    SettingsFile file(path);
    EXPECT_EQ(file.ReadString("ComPort", "Port", "COM1"), "COM1");
    try {
        file.WriteString("ComPort", "Port", "COM4");
        ADD_FAILURE() << "write reported success";
    } catch (const ESettingsFileError& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + path);
    }
    EXPECT_EQ(ReadBytes(blocker), "not a folder");
}

TEST(SettingsFileFailedWrite, PathThatIsAFolderRaisesAndStays) {
    TempFolder folder;
    const std::string path = folder.File("conf.INI");
    std::filesystem::create_directory(path);
    WriteBytes(folder.File("conf.INI/inside"), "x");
    SettingsFile file(path);
    EXPECT_EQ(file.ReadString("ComPort", "Port", "COM1"), "COM1");
    EXPECT_THROW(file.WriteString("ComPort", "Port", "COM4"), ESettingsFileError);
    EXPECT_TRUE(std::filesystem::is_directory(path));
    EXPECT_EQ(ReadBytes(folder.File("conf.INI/inside")), "x");
}

TEST(SettingsFileFailedWrite, OversizedFileReadsAsEmptyAndIsNotOverwritten) {
    TempFolder folder;
    const std::string path = folder.File("huge.INI");
    const std::string head = "[ComPort]\nPort=COM9\n";
    WriteBytes(path, head);
    std::filesystem::resize_file(path, SettingsFile::MaxFileSize + 1);
    SettingsFile file(path);
    EXPECT_EQ(file.ReadString("ComPort", "Port", "COM1"), "COM1");
    EXPECT_THROW(file.WriteString("ComPort", "Port", "COM4"), ESettingsFileError);
    EXPECT_EQ(std::filesystem::file_size(path), SettingsFile::MaxFileSize + 1);
    EXPECT_EQ(ReadBytes(path).substr(0, head.size()), head);
}

TEST(SettingsFileFailedWrite, FileOfExactlyTheLimitIsRead) {
    TempFolder folder;
    const std::string path = folder.File("big.INI");
    const std::string head = "[ComPort]\nPort=COM9\n;";
    WriteBytes(path, head);
    std::filesystem::resize_file(path, SettingsFile::MaxFileSize);
    EXPECT_EQ(SettingsFile(path).ReadString("ComPort", "Port", "COM1"), "COM9");
}

// The largest file the reader accepts, made of nothing but line ends with the port's section
// at the very end, still loads every key. (How long it takes is measured by the benchmarks.)
TEST(SettingsFileFailedWrite, FileOfLineEndsAtTheLimitLoads) {
    TempFolder folder;
    const std::string path = folder.File("blank.INI");
    const std::string tail = "[ComPort]\nPort=COM9\nBaudRate=19200\n";
    WriteBytes(path, std::string(SettingsFile::MaxFileSize - tail.size(), '\n') + tail);
    TComPort port;
    port.SetName("ComPort");
    port.SetStoredProps(TStoredProps::All());
    port.LoadSettings(stIniFile, path);
    EXPECT_EQ(port.Port(), "COM9");
    EXPECT_EQ(port.BaudRate(), br19200);
}

} // namespace
} // namespace serial

namespace serial {
namespace {

// A file that must not exist yet appears whole or not at all, and never over another's: the
// second writer of one name fails and the first writer's file stays; no temporary is left.
TEST(CreateFileContents, TakesAFreeNameOnlyAndLeavesNothingBehind) {
    TempFolder folder;
    const std::string path = folder.File("Протокол_1.json");
    ASSERT_TRUE(detail::CreateFileContents(path, "first"));
    EXPECT_FALSE(detail::CreateFileContents(path, "second"));
    EXPECT_EQ(ReadBytes(testing::PathFromUtf8(path)), "first");
    EXPECT_FALSE(detail::CreateFileContents(folder.File("missing/x.json"), "x"));
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
        ++files;
    }
    EXPECT_EQ(files, 1u);
}

} // namespace
} // namespace serial
