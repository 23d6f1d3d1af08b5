// settings/win32/registry_store.h: the settings store in the registry, below HKEY_CURRENT_USER.
#pragma once
#include "settings/settings_store.h"

namespace favpage {

class RegistryStore : public SettingsStore {
public:
    std::unique_ptr<SettingsKey> OpenForReading(const char* path) override;
    // A non-volatile key, full access, default security.
    std::unique_ptr<SettingsKey> CreateOrOpen(const char* path, const char* className) override;
};

}  // namespace favpage
