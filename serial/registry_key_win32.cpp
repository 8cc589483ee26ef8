#include "serial/registry_key.h"

#include "serial/utf8_win32.h"

#include <cwchar>
#include <vector>
#include <windows.h>

namespace serial {

using detail::NarrowToUtf8;
using detail::WidenUtf8;

namespace {

HKEY Key(void* handle) {
    return static_cast<HKEY>(handle);
}

[[noreturn]] void Fail(const std::string& what, LONG result) {
    throw ERegistryError(what + " (registry error " + std::to_string(result) + ")");
}

} // namespace

RegistryKey::RegistryKey(const std::string& where, const std::string& keyName) {
    const auto location = LocateRegistryKey(where, keyName);
    if (!location) {
        throw ERegistryError("'" + where + "' names no registry key");
    }
    const HKEY root =
        location->root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    HKEY key = nullptr;
    const LONG result =
        ::RegCreateKeyExW(root, WidenUtf8(location->key).c_str(), 0, nullptr,
                          REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS) {
        Fail("cannot open the registry key '" + location->key + "'", result);
    }
    handle_ = key;
}

RegistryKey::~RegistryKey() {
    if (handle_ != nullptr) {
        ::RegCloseKey(Key(handle_));
    }
}

std::string RegistryKey::ReadString(const std::string& name) const {
    const std::wstring valueName = WidenUtf8(name);
    DWORD type = 0;
    DWORD size = 0;
    LONG result =
        ::RegQueryValueExW(Key(handle_), valueName.c_str(), nullptr, &type, nullptr, &size);
    if (result == ERROR_FILE_NOT_FOUND) {
        return {};
    }
    if (result != ERROR_SUCCESS) {
        Fail("cannot read the registry value '" + name + "'", result);
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        throw ERegistryError("the registry value '" + name + "' is not a text");
    }
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
    result = ::RegQueryValueExW(Key(handle_), valueName.c_str(), nullptr, &type,
                                reinterpret_cast<BYTE*>(data.data()), &size);
    if (result != ERROR_SUCCESS) {
        Fail("cannot read the registry value '" + name + "'", result);
    }
    // The stored text may or may not carry its terminating zero.
    return NarrowToUtf8(
        std::wstring_view(data.data(), ::wcsnlen(data.data(), size / sizeof(wchar_t))));
}

int RegistryKey::ReadInteger(const std::string& name) const {
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    const LONG result = ::RegQueryValueExW(Key(handle_), WidenUtf8(name).c_str(), nullptr, &type,
                                           reinterpret_cast<BYTE*>(&value), &size);
    if (result != ERROR_SUCCESS) {
        Fail("cannot read the registry value '" + name + "'", result);
    }
    if (type != REG_DWORD || size != sizeof value) {
        throw ERegistryError("the registry value '" + name + "' is not an integer");
    }
    return static_cast<int>(value);
}

void RegistryKey::WriteString(const std::string& name, const std::string& value) {
    const std::wstring text = WidenUtf8(value);
    const LONG result = ::RegSetValueExW(Key(handle_), WidenUtf8(name).c_str(), 0, REG_SZ,
                                         reinterpret_cast<const BYTE*>(text.c_str()),
                                         static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    if (result != ERROR_SUCCESS) {
        Fail("cannot write the registry value '" + name + "'", result);
    }
}

void RegistryKey::WriteInteger(const std::string& name, int value) {
    const DWORD data = static_cast<DWORD>(value);
    const LONG result = ::RegSetValueExW(Key(handle_), WidenUtf8(name).c_str(), 0, REG_DWORD,
                                         reinterpret_cast<const BYTE*>(&data), sizeof data);
    if (result != ERROR_SUCCESS) {
        Fail("cannot write the registry value '" + name + "'", result);
    }
}

} // namespace serial
