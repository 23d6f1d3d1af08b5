// The settings in the real registry (under Wine): what a save stores, what a load reads back
// (every character exactly, and what the 8-bit program stored as the same text), the
// 255-character limit as the registry enforces it, and a first run's Favorites defaults.
#include <gtest/gtest.h>

#include <algorithm>

#include "settings/settings.h"
#include "tests/win32/settings/registry_key.h"

namespace favpage {
namespace {

using test::ReadRegistryValue;
using test::Utf16Bytes;

class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        test::ClearProgramKey();
        SettingsRecord = Settings{};
    }
    void TearDown() override { test::ClearProgramKey(); }

    static void Set(wchar_t (&field)[kSettingsFieldSize], const std::wstring& text) {
        std::fill(std::begin(field), std::end(field), L'\0');
        text.copy(field, kSettingsFieldSize - 1);
    }
};

std::wstring KeyClass() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"software\\vandrell\\favpage", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return L"(no key)";
    wchar_t name[64] = L"";
    DWORD length = ARRAYSIZE(name);
    RegQueryInfoKeyW(key, name, &length, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return std::wstring(name, length);
}

TEST_F(Registry, SaveStoresTwoStringValuesWithTheirZeroInAClassedKey) {
    Set(SettingsRecord.location, L"C:\\links");
    Set(SettingsRecord.output, L"C:\\Łukasz\\東京 😀.htm");
    SaveSettings();
    EXPECT_EQ(KeyClass(), L"favpage");
    auto location = ReadRegistryValue(kSettingsKeyPath, "location");
    auto output = ReadRegistryValue(kSettingsKeyPath, "output");
    ASSERT_TRUE(location && output);
    EXPECT_EQ(location->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(location->bytes, Utf16Bytes(std::wstring(L"C:\\links") + L'\0'));
    EXPECT_EQ(output->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(output->bytes, Utf16Bytes(std::wstring(L"C:\\Łukasz\\東京 😀.htm") + L'\0'));
}

TEST_F(Registry, SaveLeavesTheKeysOtherValuesAlone) {
    test::WriteRegistryValue(kSettingsKeyPath, "counter", REG_DWORD, std::string("\x07\0\0\0", 4));
    test::WriteRegistryString(kSettingsKeyPath, "location", L"C:\\old");
    Set(SettingsRecord.location, L"C:\\new");
    SaveSettings();
    auto counter = ReadRegistryValue(kSettingsKeyPath, "counter");
    ASSERT_TRUE(counter);
    EXPECT_EQ(counter->type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(counter->bytes, std::string("\x07\0\0\0", 4));
    EXPECT_EQ(test::TextOf(*ReadRegistryValue(kSettingsKeyPath, "location")), L"C:\\new");
}

// Every character of a path comes back exactly: outside the code page, beyond U+FFFF, and an
// unpaired surrogate, which NTFS names may hold.
TEST_F(Registry, LoadReadsBackWhatSaveStored) {
    for (const std::wstring& location :
         {std::wstring(254, L'L'), std::wstring(L"C:\\Избранное\\Ā\\ἀρχή 😀"),
          std::wstring(L"C:\\odd\xD800name")}) {
        Set(SettingsRecord.location, location);
        Set(SettingsRecord.output, L"C:\\x.htm");
        SaveSettings();
        const Settings saved = SettingsRecord;
        SettingsRecord = Settings{};
        LoadSettings();
        EXPECT_TRUE(std::equal(std::begin(saved.location), std::end(saved.location),
                               std::begin(SettingsRecord.location)));
        EXPECT_EQ(FieldText(SettingsRecord.output), L"C:\\x.htm");
    }
}

// The program once stored its values through the 8-bit calls, in the system's code page; the
// registry keeps them as UTF-16, so they read back as the same text.
TEST_F(Registry, ValuesTheEightBitProgramStoredReadBackAsTheSameText) {
    ASSERT_EQ(GetACP(), 1252u) << "the tests run with the Western code page";
    test::WriteCodePageString(kSettingsKeyPath, "location", "C:\\M\xFCll\\Favoriten");
    test::WriteCodePageString(kSettingsKeyPath, "output", "C:\\Caf\xE9\\\x80.htm");
    LoadSettings();
    EXPECT_EQ(FieldText(SettingsRecord.location), L"C:\\Müll\\Favoriten");
    EXPECT_EQ(FieldText(SettingsRecord.output), L"C:\\Café\\€.htm");
}

TEST_F(Registry, AValueOf254CharactersIsReadAndOneOf255IsRefused) {
    test::WriteRegistryString(kSettingsKeyPath, "location", std::wstring(254, L'ä'));
    test::WriteRegistryString(kSettingsKeyPath, "output", std::wstring(255, L'b'));
    Set(SettingsRecord.output, L"as it was");
    LoadSettings();
    EXPECT_EQ(FieldText(SettingsRecord.location), std::wstring(254, L'ä'));
    EXPECT_EQ(FieldText(SettingsRecord.output), L"as it was");
}

// Values another program (or a damaged profile) left with other types or sizes: the bytes count
// as UTF-16 text up to their first zero (the read buffer starts all zero), and a value that
// fills the whole field without one, or does not fit, is refused.
struct OddValue {
    const char* name;
    DWORD type;
    std::string bytes;
    std::wstring location;  // what the field holds after loading; "as it was" when refused
};

void PrintTo(const OddValue& value, std::ostream* os) { *os << value.name; }

class OddRegistryValues : public Registry, public ::testing::WithParamInterface<OddValue> {};

TEST_P(OddRegistryValues, GiveTheirTextOrLeaveTheFieldAsItWas) {
    test::WriteRegistryValue(kSettingsKeyPath, "location", GetParam().type, GetParam().bytes);
    test::WriteRegistryString(kSettingsKeyPath, "output", L"C:\\page.htm");
    Set(SettingsRecord.location, L"as it was");
    LoadSettings();
    EXPECT_EQ(FieldText(SettingsRecord.location), GetParam().location);
    EXPECT_EQ(FieldText(SettingsRecord.output), L"C:\\page.htm") << "the other value still loads";
}

INSTANTIATE_TEST_SUITE_P(
    Registry, OddRegistryValues,
    ::testing::Values(
        OddValue{"Number", REG_DWORD, std::string("A\0\0\0", 4), L"A"},
        OddValue{"NumberWithoutZero", REG_DWORD, std::string("A\0B\0", 4), L"AB"},
        OddValue{"Unexpanded", REG_EXPAND_SZ, Utf16Bytes(std::wstring(L"%TEMP%\\links\0", 13)),
                 L"%TEMP%\\links"},
        OddValue{"SeveralStrings", REG_MULTI_SZ,
                 Utf16Bytes(std::wstring(L"C:\\a\0C:\\b\0\0", 11)), L"C:\\a"},
        OddValue{"BinaryFillingTheField", REG_BINARY, std::string(510, 'x'), L"as it was"},
        OddValue{"BinaryTooLong", REG_BINARY, std::string(4096, 'x'), L"as it was"},
        OddValue{"NoBytes", REG_SZ, std::string(), L""},
        OddValue{"EmptyText", REG_SZ, std::string(2, '\0'), L""}),
    [](const ::testing::TestParamInfo<OddValue>& info) { return std::string(info.param.name); });

// The shell's Favorites folder, read through the wide call: a profile named outside the code
// page gives the real folder, never a look-alike (Łukasz, not Lukasz).
TEST_F(Registry, FirstRunTakesTheUsersFavoritesFolderExactly) {
    auto favorites = ReadRegistryValue(kShellFoldersKeyPath, kFavoritesValue);
    ASSERT_TRUE(favorites) << "a fresh Wine prefix has Shell Folders\\Favorites";
    const std::wstring folder = test::TextOf(*favorites);
    ASSERT_FALSE(folder.empty());
    LoadSettings();
    EXPECT_EQ(FieldText(SettingsRecord.location), folder);
    EXPECT_EQ(FieldText(SettingsRecord.output), folder + L"\\temp.htm");

    const std::wstring polish = L"C:\\users\\Łukasz\\Favorites";
    test::WriteRegistryString(kShellFoldersKeyPath, kFavoritesValue, polish);
    SettingsRecord = Settings{};
    LoadSettings();
    test::WriteRegistryValue(kShellFoldersKeyPath, kFavoritesValue, favorites->type,
                             favorites->bytes);
    EXPECT_EQ(FieldText(SettingsRecord.location), polish);
    EXPECT_EQ(FieldText(SettingsRecord.output), polish + L"\\temp.htm");
}

}  // namespace
}  // namespace favpage
