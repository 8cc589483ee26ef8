#include "serial/registry_key.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace serial {
namespace {

struct LocationCase {
    std::string where;
    std::string name;
    RegistryRoot root;
    std::string key;
};

TEST(RegistryLocation, RootAndKeyFollowThePathRules) {
    const std::vector<LocationCase> cases = {
        {"HKEY_LOCAL_MACHINE\\Software\\Lirat", "ComPort", RegistryRoot::LocalMachine,
         "Software\\Lirat\\ComPort"},
        {"hkey_local_machine\\Software\\Lirat\\", "ComPort", RegistryRoot::LocalMachine,
         "Software\\Lirat\\ComPort"},
        {"HKEY_CURRENT_USER\\Software\\Lirat", "ComPort", RegistryRoot::CurrentUser,
         "Software\\Lirat\\ComPort"},
        // Any other root name, abbreviations included, means the current user.
        {"HKLM\\Software\\Lirat", "ComPort", RegistryRoot::CurrentUser, "Software\\Lirat\\ComPort"},
        {"Software\\Lirat", "Port2", RegistryRoot::CurrentUser, "Lirat\\Port2"},
        {"HKEY_LOCAL_MACHINE\\", "ComPort", RegistryRoot::LocalMachine, "ComPort"},
        {"HKEY_CURRENT_USER\\Software", "", RegistryRoot::CurrentUser, "Software"},
    };
    for (const LocationCase& c : cases) {
        const auto location = LocateRegistryKey(c.where, c.name);
        ASSERT_TRUE(location.has_value()) << c.where;
        EXPECT_EQ(location->root, c.root) << c.where;
        EXPECT_EQ(location->key, c.key) << c.where;
    }
}

TEST(RegistryLocation, PathWithoutBackslashNamesNoKey) {
    for (const char* where : {"", "HKEY_CURRENT_USER", "Software/Lirat", "C:/conf.INI"}) {
        EXPECT_FALSE(LocateRegistryKey(where, "ComPort").has_value()) << where;
    }
}

} // namespace
} // namespace serial
