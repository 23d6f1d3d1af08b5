// settings/settings.cpp: the order of sources and fallbacks of the two settings.
#include "settings/settings.h"

#include <algorithm>

namespace favpage {

Settings SettingsRecord{};

namespace {

using Field = SettingsChar[kSettingsFieldSize];

// Reads a value as text. A value that fills the whole buffer without a zero is refused like one
// that does not fit: taking it would run past the field.
bool ReadText(SettingsKey& key, const char* name, Field& buffer) {
    std::fill(std::begin(buffer), std::end(buffer), SettingsChar());
    return key.ReadValue(name, buffer, kSettingsFieldSize) &&
           std::find(std::begin(buffer), std::end(buffer), SettingsChar()) != std::end(buffer);
}

// Copies at most 254 characters and zero-fills the rest of the field.
void SetField(Field& field, const SettingsText& text) {
    std::fill(std::begin(field), std::end(field), SettingsChar());
    std::copy_n(text.begin(), std::min(text.size(), kSettingsFieldSize - 1), field);
}

}  // namespace

SettingsText FieldText(const SettingsChar (&field)[kSettingsFieldSize]) {
    return SettingsText(field, std::find(field, field + kSettingsFieldSize - 1, SettingsChar()));
}

void LoadSettings(SettingsStore& store, Settings& record) {
    Field value;
    if (std::unique_ptr<SettingsKey> key = store.OpenForReading(kSettingsKeyPath)) {
        if (ReadText(*key, kLocationValue, value)) SetField(record.location, FieldText(value));
        if (ReadText(*key, kOutputValue, value)) SetField(record.output, FieldText(value));
        return;
    }
    std::unique_ptr<SettingsKey> shell = store.OpenForReading(kShellFoldersKeyPath);
    if (!shell || !ReadText(*shell, kFavoritesValue, value)) {
        SetField(record.location, kFallbackLocation);
        SetField(record.output, kFallbackOutput);
        return;
    }
    const SettingsText favorites = FieldText(value);
    SetField(record.location, favorites);
    const SettingsText page = favorites + kPageFileName;
    // Cutting the name would point at some other file; a page in the fixed folder is honest.
    SetField(record.output, page.size() <= kSettingsFieldSize - 1 ? page : kFallbackOutput);
}

void SaveSettings(SettingsStore& store, const Settings& record) {
    std::unique_ptr<SettingsKey> key = store.CreateOrOpen(kSettingsKeyPath, kSettingsKeyClass);
    if (!key) return;
    const SettingsText location = FieldText(record.location);
    const SettingsText output = FieldText(record.output);
    key->WriteString(kLocationValue, location.data(), location.size());
    key->WriteString(kOutputValue, output.data(), output.size());
}

}  // namespace favpage
