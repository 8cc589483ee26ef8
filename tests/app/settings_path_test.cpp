// The settings file's name beside the executable, the per-user fallback, and the port number
// inside a port name.

#include "app/port_number.h"
#include "app/settings_path.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

TEST(SettingsPath, ExtensionBecomesIni) {
    struct Row {
        const char* executable;
        const char* settings;
    };
    const Row rows[] = {
        {"C:\\Tools\\conf.exe", "C:\\Tools\\conf.INI"},
        {"/opt/lirat5/bin/lirat5", "/opt/lirat5/bin/lirat5.INI"}, // no extension
        {"/home/a.b/lirat5", "/home/a.b/lirat5.INI"},             // dotted folder
        {"C:\\v1.2\\lirat5", "C:\\v1.2\\lirat5.INI"},
        {"/x/conf.tar.exe", "/x/conf.tar.INI"},
        {"/x/conf.ini", "/x/conf.INI"},
        {"/x/conf.", "/x/conf.INI"},
        {"conf.exe", "conf.INI"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(app::ChangeExtensionToIni(row.executable), row.settings) << row.executable;
        EXPECT_EQ(app::ChooseSettingsFile(row.executable, true, "/home/u/.config/lirat5"),
                  row.settings);
    }
}

TEST(SettingsPath, PerUserFileWhenTheFolderCannotBeUsed) {
    EXPECT_EQ(app::ChooseSettingsFile("/usr/bin/lirat5", false, "/home/u/.config/lirat5"),
              "/home/u/.config/lirat5/lirat5.INI");
    EXPECT_EQ(app::ChooseSettingsFile("/usr/bin/lirat5", false, "/home/u/.config/lirat5/"),
              "/home/u/.config/lirat5/lirat5.INI");
    // Without a per-user folder there is nowhere else to go.
    EXPECT_EQ(app::ChooseSettingsFile("/usr/bin/lirat5", false, ""), "/usr/bin/lirat5.INI");
}

TEST(PortNumber, NumberAfterThePrefix) {
    struct Row {
        const char* portName;
        int number;        // when valid
        const char* error; // nullptr when valid
    };
    const Row rows[] = {
        {"COM1", 1, nullptr},
        {"COM12", 12, nullptr},
        {"tty7", 7, nullptr}, // any prefix of three characters
        {"COM$A", 10, nullptr},
        {"COM", 0, "'' is not a valid integer value"},
        {"CO", 0, "'' is not a valid integer value"},
        {"COMx", 0, "'x' is not a valid integer value"},
        {"COM7a", 0, "'7a' is not a valid integer value"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.portName);
        if (row.error == nullptr) {
            EXPECT_EQ(app::PortNumberOf(row.portName), row.number);
            continue;
        }
        try {
            app::PortNumberOf(row.portName);
            ADD_FAILURE() << "no conversion error";
        } catch (const std::runtime_error& failure) {
            EXPECT_STREQ(failure.what(), row.error);
        }
    }
}

TEST(PortNumber, NameHasNoLeadingZeros) {
    EXPECT_EQ(app::PortNameOf(3), "COM3");
    EXPECT_EQ(app::PortNameOf(12), "COM12");
    EXPECT_EQ(app::PortNameOf(100), "COM100");
}

} // namespace
