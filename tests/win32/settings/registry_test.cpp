// The settings in the real registry (under Wine): what a save stores, what a load reads back,
// the 255-byte limit as the registry enforces it, and a first run's Favorites defaults.
#include <gtest/gtest.h>

#include <cstring>

#include "settings/settings.h"
#include "tests/win32/settings/registry_key.h"

namespace favpage {
namespace {

using test::ReadRegistryValue;

class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        test::ClearProgramKey();
        SettingsRecord = Settings{};
    }
    void TearDown() override { test::ClearProgramKey(); }

    static void Set(char (&field)[kSettingsFieldSize], const std::string& text) {
        std::memset(field, 0, sizeof field);
        std::memcpy(field, text.data(), text.size());
    }
};

std::string KeyClass() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "(no key)";
    char name[64] = "";
    DWORD length = sizeof name;
    RegQueryInfoKeyA(key, name, &length, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return std::string(name, length);
}

TEST_F(Registry, SaveStoresTwoStringValuesWithTheirZeroByteInAClassedKey) {
    Set(SettingsRecord.location, "C:\\links");
    Set(SettingsRecord.output, "C:\\links\\page.htm");
    SaveSettings();
    EXPECT_EQ(KeyClass(), "favpage");
    auto location = ReadRegistryValue(kSettingsKeyPath, "location");
    auto output = ReadRegistryValue(kSettingsKeyPath, "output");
    ASSERT_TRUE(location && output);
    EXPECT_EQ(location->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(location->bytes, std::string("C:\\links\0", 9));
    EXPECT_EQ(output->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(output->bytes, std::string("C:\\links\\page.htm\0", 18));
}

TEST_F(Registry, SaveLeavesTheKeysOtherValuesAlone) {
    test::WriteRegistryValue(kSettingsKeyPath, "counter", REG_DWORD, std::string("\x07\0\0\0", 4));
    test::WriteRegistryString(kSettingsKeyPath, "location", "C:\\old");
    Set(SettingsRecord.location, "C:\\new");
    SaveSettings();
    auto counter = ReadRegistryValue(kSettingsKeyPath, "counter");
    ASSERT_TRUE(counter);
    EXPECT_EQ(counter->type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(counter->bytes, std::string("\x07\0\0\0", 4));
    EXPECT_EQ(ReadRegistryValue(kSettingsKeyPath, "location")->bytes, std::string("C:\\new\0", 7));
}

TEST_F(Registry, LoadReadsBackWhatSaveStored) {
    Set(SettingsRecord.location, std::string(254, 'L'));
    Set(SettingsRecord.output, "C:\\x.htm");
    SaveSettings();
    const Settings saved = SettingsRecord;
    SettingsRecord = Settings{};
    LoadSettings();
    EXPECT_EQ(std::memcmp(&saved, &SettingsRecord, sizeof saved), 0);
}

TEST_F(Registry, AValueOf254CharactersIsReadAndOneOf255IsRefused) {
    test::WriteRegistryString(kSettingsKeyPath, "location", std::string(254, 'a'));
    test::WriteRegistryString(kSettingsKeyPath, "output", std::string(255, 'b'));
    Set(SettingsRecord.output, "as it was");
    LoadSettings();
    EXPECT_EQ(std::string(SettingsRecord.location), std::string(254, 'a'));
    EXPECT_EQ(std::string(SettingsRecord.output), "as it was");
}

TEST_F(Registry, FirstRunTakesTheUsersFavoritesFolder) {
    auto favorites = ReadRegistryValue(kShellFoldersKeyPath, kFavoritesValue);
    ASSERT_TRUE(favorites) << "a fresh Wine prefix has Shell Folders\\Favorites";
    const std::string folder(favorites->bytes.c_str());
    ASSERT_FALSE(folder.empty());
    LoadSettings();
    EXPECT_EQ(std::string(SettingsRecord.location), folder);
    EXPECT_EQ(std::string(SettingsRecord.output), folder + "\\temp.htm");
}

}  // namespace
}  // namespace favpage
