// settings/win32/registry_store.cpp: registry keys and values behind the settings store, and the
// settings functions of the program, which use it.
#include "settings/win32/registry_store.h"

#include <windows.h>

#include <string>

#include "settings/settings.h"

namespace favpage {

namespace {

class RegistryKey : public SettingsKey {
public:
    explicit RegistryKey(HKEY key) : m_key(key) {}
    ~RegistryKey() override { RegCloseKey(m_key); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    bool ReadValue(const char* name, char* buffer, std::size_t size) override {
        DWORD bytes = static_cast<DWORD>(size);
        return RegQueryValueExA(m_key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer),
                                &bytes) == ERROR_SUCCESS;
    }

    bool WriteString(const char* name, const char* text, std::size_t length) override {
        const std::string data(text, length);   // the zero byte comes with c_str()
        return RegSetValueExA(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                              static_cast<DWORD>(length + 1)) == ERROR_SUCCESS;
    }

private:
    HKEY m_key;
};

}  // namespace

std::unique_ptr<SettingsKey> RegistryStore::OpenForReading(const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return nullptr;
    return std::make_unique<RegistryKey>(key);
}

std::unique_ptr<SettingsKey> RegistryStore::CreateOrOpen(const char* path, const char* className) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, const_cast<char*>(className),
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
