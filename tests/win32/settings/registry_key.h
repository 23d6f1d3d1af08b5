// tests/win32/settings/registry_key.h: direct registry access for the tests that check what the
// program keeps under HKEY_CURRENT_USER.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

namespace favpage::test {

// Deletes the program's key with everything below it, so a test starts from a first run.
void ClearProgramKey();

struct RegistryValue {
    DWORD type = 0;
    std::string bytes;   // exactly the stored bytes
};
std::optional<RegistryValue> ReadRegistryValue(const char* path, const char* name);
void WriteRegistryValue(const char* path, const char* name, DWORD type, const std::string& bytes);
// A text as REG_SZ with its zero byte.
void WriteRegistryString(const char* path, const char* name, const std::string& text);

}  // namespace favpage::test
