// settings/settings_store.h: the per-user store the settings are kept in, as the settings logic
// sees it (the registry on Windows, memory in tests).
#pragma once
#include <cstddef>
#include <memory>

#include "settings/settings_record.h"

namespace favpage {

// An open key; destroying it closes it. Value names are ASCII.
class SettingsKey {
public:
    virtual ~SettingsKey() = default;
    // Reads value `name` into `buffer` of `count` characters. False when the value is absent or
    // larger than the buffer; then the buffer's contents are unspecified. The value's type is not
    // examined.
    virtual bool ReadValue(const char* name, SettingsChar* buffer, std::size_t count) = 0;
    // Writes `name` as a string value: the `length` characters of `text` and a terminating zero.
    virtual bool WriteString(const char* name, const SettingsChar* text, std::size_t length) = 0;
};

// Keys are ASCII paths below the user's root, with '\' separators, compared without regard to
// case.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // Opens an existing key for reading; nullptr when it does not open.
    virtual std::unique_ptr<SettingsKey> OpenForReading(const char* path) = 0;
    // Creates the key (with `className`) or opens it if it exists, with full access.
    virtual std::unique_ptr<SettingsKey> CreateOrOpen(const char* path, const char* className) = 0;
};

}  // namespace favpage
