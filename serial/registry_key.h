#pragma once

#include <optional>
#include <stdexcept>
#include <string>

namespace serial {

// A failure of the system registry: a key that cannot be opened, a value that cannot be read
// or written, or a platform without a registry.
class ERegistryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class RegistryRoot { CurrentUser, LocalMachine };

// Where the port settings live in the registry: the root and the key below it.
struct RegistryLocation {
    RegistryRoot root = RegistryRoot::CurrentUser;
    std::string key;
};

// The text of `where` up to its first "\" names the root: "HKEY_LOCAL_MACHINE" (in any ASCII
// letter case) the local machine, "HKEY_CURRENT_USER" or anything else the current user. The
// rest, ending in "\", followed by `keyName` is the key. A `where` without "\" names no key.
std::optional<RegistryLocation> LocateRegistryKey(const std::string& where,
                                                  const std::string& keyName);

// A registry key opened for reading and writing (created when missing) for the port settings
// store. Only Windows has a registry: elsewhere opening a key throws ERegistryError.
class RegistryKey {
public:
    // Throws ERegistryError when `where` names no key or the key cannot be opened or created.
    RegistryKey(const std::string& where, const std::string& keyName);
    ~RegistryKey();
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // A missing value reads as an empty text; a value that is not a text throws.
    std::string ReadString(const std::string& name) const;
    // A missing value, or one that is not a 32-bit integer value, throws.
    int ReadInteger(const std::string& name) const;
    void WriteString(const std::string& name, const std::string& value);
    void WriteInteger(const std::string& name, int value);

private:
    // The open key (HKEY) on Windows; unused elsewhere, where no key can be opened.
    [[maybe_unused]] void* handle_ = nullptr;
};

} // namespace serial
