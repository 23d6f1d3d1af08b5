// tests/win32/settings/registry_key.cpp: plain advapi32 calls, independent of the program's store.
#include "tests/win32/settings/registry_key.h"

#include <cstring>

#include "settings/settings.h"

namespace favpage::test {

namespace {
std::wstring Ascii(const char* text) { return std::wstring(text, text + std::strlen(text)); }
}  // namespace

void ClearProgramKey() { RegDeleteTreeW(HKEY_CURRENT_USER, Ascii(kSettingsKeyPath).c_str()); }

std::optional<RegistryValue> ReadRegistryValue(const char* path, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Ascii(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    RegistryValue value;
    DWORD size = 0;
    LONG status = RegQueryValueExW(key, Ascii(name).c_str(), nullptr, &value.type, nullptr, &size);
    if (status == ERROR_SUCCESS) {
        value.bytes.resize(size);
        status = RegQueryValueExW(key, Ascii(name).c_str(), nullptr, &value.type,
                                  reinterpret_cast<BYTE*>(&value.bytes[0]), &size);
        value.bytes.resize(size);
    }
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return std::nullopt;
    return value;
}

void WriteRegistryValue(const char* path, const char* name, DWORD type, const std::string& bytes) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, Ascii(path).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key, Ascii(name).c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                   static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
}

void WriteRegistryString(const char* path, const char* name, const std::wstring& text) {
    WriteRegistryValue(path, name, REG_SZ, Utf16Bytes(text + L'\0'));
}

void WriteCodePageString(const char* path, const char* name, const std::string& codePageText) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(codePageText.c_str()),
                   static_cast<DWORD>(codePageText.size() + 1));
    RegCloseKey(key);
}

std::string Utf16Bytes(const std::wstring& text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

std::wstring TextOf(const RegistryValue& value) {
    std::wstring text(value.bytes.size() / sizeof(wchar_t), L'\0');
    std::memcpy(&text[0], value.bytes.data(), text.size() * sizeof(wchar_t));
    return text.substr(0, text.find(L'\0'));
}

}  // namespace favpage::test
