// settings/win32/registry_store.cpp: registry keys and values behind the settings store, and the
// settings functions of the program, which use it.
#include "settings/win32/registry_store.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "settings/settings.h"

namespace favpage {

namespace {

// Key paths and value names are ASCII, which widens character by character.
std::wstring Name(const char* ascii) { return std::wstring(ascii, ascii + std::strlen(ascii)); }

class RegistryKey : public SettingsKey {
public:
    explicit RegistryKey(HKEY key) : m_key(key) {}
    ~RegistryKey() override { RegCloseKey(m_key); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // The wide calls hand over every character as it is; a value that an 8-bit program stored
    // comes back as the same text, which the system keeps in UTF-16 anyway.
    bool ReadValue(const char* name, SettingsChar* buffer, std::size_t count) override {
        DWORD bytes = static_cast<DWORD>(count * sizeof(SettingsChar));
        return RegQueryValueExW(m_key, Name(name).c_str(), nullptr, nullptr,
                                reinterpret_cast<BYTE*>(buffer), &bytes) == ERROR_SUCCESS;
    }

    bool WriteString(const char* name, const SettingsChar* text, std::size_t length) override {
        const std::wstring data(text, length);   // the zero comes with c_str()
        return RegSetValueExW(m_key, Name(name).c_str(), 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(data.c_str()),
                              static_cast<DWORD>((length + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }

private:
    HKEY m_key;
};

}  // namespace

std::unique_ptr<SettingsKey> RegistryStore::OpenForReading(const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Name(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<RegistryKey>(key);
}

std::unique_ptr<SettingsKey> RegistryStore::CreateOrOpen(const char* path, const char* className) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    std::wstring keyClass = Name(className ? className : "");
    if (RegCreateKeyExW(HKEY_CURRENT_USER, Name(path).c_str(), 0, &keyClass[0],
                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        &disposition) != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<RegistryKey>(key);
}

void LoadSettings() {
    RegistryStore store;
    LoadSettings(store, SettingsRecord);
}

void SaveSettings() {
    RegistryStore store;
    SaveSettings(store, SettingsRecord);
}

}  // namespace favpage
