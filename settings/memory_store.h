// settings/memory_store.h: a settings store held in memory, for tests and for trying the logic
// without a registry.
#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "settings/settings_record.h"
#include "settings/settings_store.h"

namespace favpage {

// Behaves as the registry does for the operations the settings use: keys and value names without
// regard to case, a class string kept from the key's creation, values kept as bytes (a string as
// UTF-16 and its zero), reads that fail when the value does not fit.
class MemoryStore : public SettingsStore {
public:
    static constexpr uint32_t kStringType = 1;   // REG_SZ
    static constexpr uint32_t kBinaryType = 3;   // REG_BINARY

    struct Value {
        uint32_t type = kStringType;
        std::string bytes;
    };

    void CreateKey(const std::string& path, const std::string& className = "");
    // Sets a value, creating its key if need be.
    void SetValue(const std::string& path, const std::string& name, const std::string& bytes,
                  uint32_t type = kStringType);
    // A text value as a program writing the registry stores it: the text and its zero.
    void SetString(const std::string& path, const std::string& name, const SettingsText& text);
    // The bytes of a string value holding `text` (its zero included).
    static std::string StringBytes(const SettingsText& text);

    bool HasKey(const std::string& path) const;
    std::optional<Value> GetValue(const std::string& path, const std::string& name) const;
    std::string ClassOf(const std::string& path) const;
    std::size_t ValueCount(const std::string& path) const;
    // Keys opened and not yet closed.
    int OpenKeys() const { return m_openKeys; }
    // From now on CreateOrOpen fails (a key the user may not write).
    void RefuseCreate() { m_refuseCreate = true; }

    std::unique_ptr<SettingsKey> OpenForReading(const char* path) override;
    std::unique_ptr<SettingsKey> CreateOrOpen(const char* path, const char* className) override;

private:
    struct Key {
        std::string className;
        std::map<std::string, Value> values;   // by lower-case name
    };
    class OpenKey;

    std::map<std::string, Key> m_keys;   // by lower-case path
    int m_openKeys = 0;
    bool m_refuseCreate = false;
};

}  // namespace favpage
