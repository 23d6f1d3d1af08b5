// settings/settings_record.h: SettingsRecord, the process's one record of the two settings.
#pragma once
#include <cstddef>
#include <string>

namespace favpage {

// The settings are UTF-16 text, the system's own: the window's fields and the registry hold every
// character of a path exactly. (On Windows that is wchar_t; elsewhere, where the settings logic is
// only tested, char16_t.)
#ifdef _WIN32
using SettingsChar = wchar_t;
#define FAVPAGE_SETTINGS_TEXT(text) L##text
#else
using SettingsChar = char16_t;
#define FAVPAGE_SETTINGS_TEXT(text) u##text
#endif
using SettingsText = std::basic_string<SettingsChar>;

// Characters of each field, its terminating zero included: at most 254 characters of text.
constexpr std::size_t kSettingsFieldSize = 255;

// The folder to search and the page to write, back to back: the dialog's edit fields transfer
// into and out of these two fields in this order.
struct Settings {
    SettingsChar location[kSettingsFieldSize];
    SettingsChar output[kSettingsFieldSize];
};
static_assert(sizeof(Settings) == 2 * kSettingsFieldSize * sizeof(SettingsChar),
              "the two fields lie back to back");
static_assert(offsetof(Settings, output) == kSettingsFieldSize * sizeof(SettingsChar),
              "location comes first");

// The text of a field: up to its first zero, at most 254 characters.
SettingsText FieldText(const SettingsChar (&field)[kSettingsFieldSize]);

// One record for the whole process, all zero (both fields empty) at start.
extern Settings SettingsRecord;

}  // namespace favpage
