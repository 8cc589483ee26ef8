#include "serial/registry_key.h"

// POSIX systems have no registry. Opening a key always fails, so that storing or loading port
// settings with stRegistry fails with codes 16 and 17 instead of silently doing nothing; the
// settings file (stIniFile) is the store to use there.
namespace serial {

namespace {

[[noreturn]] void NoRegistry() {
    throw ERegistryError("the system registry exists on Windows only; use the settings file");
}

} // namespace

RegistryKey::RegistryKey(const std::string&, const std::string&) {
    NoRegistry();
}
RegistryKey::~RegistryKey() = default;
std::string RegistryKey::ReadString(const std::string&) const {
    NoRegistry();
}
int RegistryKey::ReadInteger(const std::string&) const {
    NoRegistry();
}
void RegistryKey::WriteString(const std::string&, const std::string&) {
    NoRegistry();
}
void RegistryKey::WriteInteger(const std::string&, int) {
    NoRegistry();
}

} // namespace serial
