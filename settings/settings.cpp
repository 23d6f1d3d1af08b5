// settings/settings.cpp: the order of sources and fallbacks of the two settings.
#include "settings/settings.h"

#include <cstring>

namespace favpage {

Settings SettingsRecord{};

namespace {

using Field = char[kSettingsFieldSize];

// Reads a value as text. A value that fills the whole buffer without a zero byte is refused like
// one that does not fit: taking it would run past the field.
bool ReadText(SettingsKey& key, const char* name, Field& buffer) {
    std::memset(buffer, 0, sizeof buffer);
    return key.ReadValue(name, buffer, sizeof buffer) &&
           std::memchr(buffer, 0, sizeof buffer) != nullptr;
}

// Copies at most 254 characters and zero-fills the rest of the field.
void SetField(Field& field, const char* text) {
    std::memset(field, 0, sizeof field);
    std::memcpy(field, text, strnlen(text, sizeof field - 1));
}

std::size_t FieldLength(const Field& field) { return strnlen(field, sizeof field - 1); }

}  // namespace

void LoadSettings(SettingsStore& store, Settings& record) {
    Field first, second;
    if (std::unique_ptr<SettingsKey> key = store.OpenForReading(kSettingsKeyPath)) {
        if (ReadText(*key, kLocationValue, first)) SetField(record.location, first);
        if (ReadText(*key, kOutputValue, second)) SetField(record.output, second);
        return;
    }
    std::unique_ptr<SettingsKey> shell = store.OpenForReading(kShellFoldersKeyPath);
    if (!shell || !ReadText(*shell, kFavoritesValue, first)) {
        SetField(record.location, kFallbackLocation);
        SetField(record.output, kFallbackOutput);
        return;
    }
    SetField(record.location, first);
    const std::size_t length = std::strlen(first);
    if (length + std::strlen(kPageFileName) <= kSettingsFieldSize - 1) {
        std::strcat(first, kPageFileName);
        SetField(record.output, first);
    } else {
        // Cutting the name would point at some other file; a page in the fixed folder is honest.
        SetField(record.output, kFallbackOutput);
    }
}

void SaveSettings(SettingsStore& store, const Settings& record) {
    std::unique_ptr<SettingsKey> key = store.CreateOrOpen(kSettingsKeyPath, kSettingsKeyClass);
    if (!key) return;
    key->WriteString(kLocationValue, record.location, FieldLength(record.location));
    key->WriteString(kOutputValue, record.output, FieldLength(record.output));
}

}  // namespace favpage
