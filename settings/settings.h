// settings/settings.h: loading the settings at start and saving them at shutdown.
#pragma once
#include "settings/settings_record.h"
#include "settings/settings_store.h"

namespace favpage {

// Where the program keeps its settings, and what it falls back to on first use.
constexpr char kSettingsKeyPath[] = "software\\vandrell\\favpage";
constexpr char kSettingsKeyClass[] = "favpage";
constexpr char kLocationValue[] = "location";
constexpr char kOutputValue[] = "output";
constexpr char kShellFoldersKeyPath[] =
    "software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr char kFavoritesValue[] = "Favorites";
constexpr SettingsChar kPageFileName[] = FAVPAGE_SETTINGS_TEXT("\\temp.htm");
constexpr SettingsChar kFallbackLocation[] = FAVPAGE_SETTINGS_TEXT("C:\\WINDOWS\\FAVORITES");
constexpr SettingsChar kFallbackOutput[] = FAVPAGE_SETTINGS_TEXT("C:\\WINDOWS\\FAVORITES\\temp.htm");

// Fills `record` from the program's key. When the key exists only its values count: a value
// that is missing, too long or not zero-terminated leaves its field as it was. Without the key,
// the user's Favorites folder and a page in it, or else the fixed paths. A Favorites path too
// long to take the page's name gets the fixed page path for `output`.
void LoadSettings(SettingsStore& store, Settings& record);
// Writes both fields as string values into the program's key, creating it if need be. Failures
// are silent: the settings of this run are then lost.
void SaveSettings(SettingsStore& store, const Settings& record);

// The same for SettingsRecord and the per-user registry (Windows builds).
void LoadSettings();
void SaveSettings();

}  // namespace favpage
