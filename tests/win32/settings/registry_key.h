// tests/win32/settings/registry_key.h: direct registry access for the tests that check what the
// program keeps under HKEY_CURRENT_USER.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

namespace favpage::test {

// Deletes the program's key with everything below it, so a test starts from a first run.
void ClearProgramKey();

// Paths and names are ASCII.
struct RegistryValue {
    DWORD type = 0;
    std::string bytes;   // exactly the stored bytes, as the wide calls hand them over
};
std::optional<RegistryValue> ReadRegistryValue(const char* path, const char* name);
void WriteRegistryValue(const char* path, const char* name, DWORD type, const std::string& bytes);
// A text as REG_SZ with its zero, through the wide calls.
void WriteRegistryString(const char* path, const char* name, const std::wstring& text);
// A text as an 8-bit program stores it: code-page bytes through the ANSI call.
void WriteCodePageString(const char* path, const char* name, const std::string& codePageText);

// The UTF-16 bytes of `text` (no zero added), and the text of a value up to its first zero.
std::string Utf16Bytes(const std::wstring& text);
std::wstring TextOf(const RegistryValue& value);

}  // namespace favpage::test
