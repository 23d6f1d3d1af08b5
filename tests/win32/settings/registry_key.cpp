// tests/win32/settings/registry_key.cpp: plain advapi32 calls, independent of the program's store.
#include "tests/win32/settings/registry_key.h"

#include "settings/settings.h"

namespace favpage::test {

void ClearProgramKey() { RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKeyPath); }

std::optional<RegistryValue> ReadRegistryValue(const char* path, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
    RegistryValue value;
    DWORD size = 0;
    LONG status = RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &size);
    if (status == ERROR_SUCCESS) {
        value.bytes.resize(size);
        status = RegQueryValueExA(key, name, nullptr, &value.type,
                                  reinterpret_cast<BYTE*>(value.bytes.data()), &size);
        value.bytes.resize(size);
    }
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return std::nullopt;
    return value;
}

void WriteRegistryValue(const char* path, const char* name, DWORD type, const std::string& bytes) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                   static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
}

void WriteRegistryString(const char* path, const char* name, const std::string& text) {
    WriteRegistryValue(path, name, REG_SZ, text + '\0');
}

}  // namespace favpage::test
