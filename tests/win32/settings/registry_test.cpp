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

// Values another program (or a damaged profile) left with other types or sizes: the bytes count
// as text up to their first zero (the read buffer starts all zero), and a value that fills the
// whole field without one, or does not fit, is refused.
struct OddValue {
    const char* name;
    DWORD type;
    std::string bytes;
    std::string location;  // what the field holds after loading; "as it was" when refused
};

void PrintTo(const OddValue& value, std::ostream* os) { *os << value.name; }

class OddRegistryValues : public Registry, public ::testing::WithParamInterface<OddValue> {};

TEST_P(OddRegistryValues, GiveTheirTextOrLeaveTheFieldAsItWas) {
    test::WriteRegistryValue(kSettingsKeyPath, "location", GetParam().type, GetParam().bytes);
    test::WriteRegistryString(kSettingsKeyPath, "output", "C:\\page.htm");
    Set(SettingsRecord.location, "as it was");
    LoadSettings();
    EXPECT_EQ(std::string(SettingsRecord.location), GetParam().location);
    EXPECT_EQ(std::string(SettingsRecord.output), "C:\\page.htm") << "the other value still loads";
}

INSTANTIATE_TEST_SUITE_P(
    Registry, OddRegistryValues,
    ::testing::Values(
        OddValue{"Number", REG_DWORD, std::string("\x41\x42\0\0", 4), "AB"},
        OddValue{"NumberWithoutZero", REG_DWORD, std::string("\x41\x42\x43\x44", 4), "ABCD"},
        OddValue{"Unexpanded", REG_EXPAND_SZ, std::string("%TEMP%\\links\0", 13), "%TEMP%\\links"},
        OddValue{"SeveralStrings", REG_MULTI_SZ, std::string("C:\\a\0C:\\b\0\0", 12), "C:\\a"},
        OddValue{"BinaryFillingTheField", REG_BINARY, std::string(255, 'x'), "as it was"},
        OddValue{"BinaryTooLong", REG_BINARY, std::string(4096, 'x'), "as it was"},
        OddValue{"NoBytes", REG_SZ, std::string(), ""},
        OddValue{"EmptyText", REG_SZ, std::string(1, '\0'), ""}),
    [](const ::testing::TestParamInfo<OddValue>& info) { return std::string(info.param.name); });

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
