// settings/settings_store.h: the per-user store the settings are kept in, as the settings logic
// sees it (the registry on Windows, memory in tests).
#pragma once
#include <cstddef>
#include <memory>

namespace favpage {

// An open key; destroying it closes it.
class SettingsKey {
public:
    virtual ~SettingsKey() = default;
    // Reads value `name` into `buffer` of `size` bytes. False when the value is absent or larger
    // than `size`; then the buffer's contents are unspecified. The value's type is not examined.
    virtual bool ReadValue(const char* name, char* buffer, std::size_t size) = 0;
    // Writes `name` as a string value: the `length` bytes of `text` and a terminating zero.
    virtual bool WriteString(const char* name, const char* text, std::size_t length) = 0;
};

// Keys are paths below the user's root, with '\' separators, compared without regard to case.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // Opens an existing key for reading; nullptr when it does not open.
    virtual std::unique_ptr<SettingsKey> OpenForReading(const char* path) = 0;
    // Creates the key (with `className`) or opens it if it exists, with full access.
    virtual std::unique_ptr<SettingsKey> CreateOrOpen(const char* path, const char* className) = 0;
};

}  // namespace favpage
