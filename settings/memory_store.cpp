// settings/memory_store.cpp: keys and values of the in-memory settings store.
#include "settings/memory_store.h"

#include <cstring>

namespace favpage {

namespace {
std::string Folded(const std::string& text) {
    std::string folded = text;
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return folded;
}
}  // namespace

class MemoryStore::OpenKey : public SettingsKey {
public:
    OpenKey(MemoryStore& store, Key& key) : m_store(store), m_key(key) { ++m_store.m_openKeys; }
    ~OpenKey() override { --m_store.m_openKeys; }

    bool ReadValue(const char* name, SettingsChar* buffer, std::size_t count) override {
        auto it = m_key.values.find(Folded(name));
        if (it == m_key.values.end() || it->second.bytes.size() > count * sizeof(SettingsChar))
            return false;
        std::memcpy(buffer, it->second.bytes.data(), it->second.bytes.size());
        return true;
    }

    bool WriteString(const char* name, const SettingsChar* text, std::size_t length) override {
        m_key.values[Folded(name)] = Value{kStringType, StringBytes(SettingsText(text, length))};
        return true;
    }

private:
    MemoryStore& m_store;
    Key& m_key;
};

void MemoryStore::CreateKey(const std::string& path, const std::string& className) {
    m_keys.emplace(Folded(path), Key{className, {}});
}

void MemoryStore::SetValue(const std::string& path, const std::string& name,
                           const std::string& bytes, uint32_t type) {
    CreateKey(path);
    m_keys[Folded(path)].values[Folded(name)] = Value{type, bytes};
}

std::string MemoryStore::StringBytes(const SettingsText& text) {
    std::string bytes((text.size() + 1) * sizeof(SettingsChar), '\0');
    std::memcpy(&bytes[0], text.data(), text.size() * sizeof(SettingsChar));
    return bytes;
}

void MemoryStore::SetString(const std::string& path, const std::string& name,
                            const SettingsText& text) {
    SetValue(path, name, StringBytes(text), kStringType);
}

bool MemoryStore::HasKey(const std::string& path) const { return m_keys.count(Folded(path)) != 0; }

std::optional<MemoryStore::Value> MemoryStore::GetValue(const std::string& path,
                                                        const std::string& name) const {
    auto key = m_keys.find(Folded(path));
    if (key == m_keys.end()) return std::nullopt;
    auto value = key->second.values.find(Folded(name));
    if (value == key->second.values.end()) return std::nullopt;
    return value->second;
}

std::string MemoryStore::ClassOf(const std::string& path) const {
    auto key = m_keys.find(Folded(path));
    return key == m_keys.end() ? std::string() : key->second.className;
}

std::size_t MemoryStore::ValueCount(const std::string& path) const {
    auto key = m_keys.find(Folded(path));
    return key == m_keys.end() ? 0 : key->second.values.size();
}

std::unique_ptr<SettingsKey> MemoryStore::OpenForReading(const char* path) {
    auto key = m_keys.find(Folded(path));
    if (key == m_keys.end()) return nullptr;
    return std::make_unique<OpenKey>(*this, key->second);
}

std::unique_ptr<SettingsKey> MemoryStore::CreateOrOpen(const char* path, const char* className) {
    if (m_refuseCreate) return nullptr;
    auto key = m_keys.emplace(Folded(path), Key{className ? className : "", {}}).first;
    return std::make_unique<OpenKey>(*this, key->second);
}

}  // namespace favpage
