// Settings: which source fills each field on load (the program's key, the shell's Favorites
// folder, the fixed paths), the 255-byte limit, and what a save leaves in the store.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "settings/memory_store.h"
#include "settings/settings.h"

namespace favpage {
namespace {

const std::string kFavorites = "C:\\users\\ann\\Favorites";

Settings MakeRecord(const std::string& location, const std::string& output) {
    Settings record{};
    std::strncpy(record.location, location.c_str(), kSettingsFieldSize - 1);
    std::strncpy(record.output, output.c_str(), kSettingsFieldSize - 1);
    return record;
}

struct LoadCase {
    const char* name;
    std::function<void(MemoryStore&)> prepare;
    std::string expectLocation;
    std::string expectOutput;
};

void PrintTo(const LoadCase& c, std::ostream* os) { *os << c.name; }

class Load : public ::testing::TestWithParam<LoadCase> {};

// Every case starts from a record holding "old" values, so "left as it was" is visible.
TEST_P(Load, FillsEachFieldFromTheFirstSourceThatHasIt) {
    MemoryStore store;
    GetParam().prepare(store);
    Settings record = MakeRecord("old location", "old output");
    LoadSettings(store, record);
    EXPECT_EQ(std::string(record.location), GetParam().expectLocation);
    EXPECT_EQ(std::string(record.output), GetParam().expectOutput);
    EXPECT_EQ(store.OpenKeys(), 0) << "every key opened is closed";
}

void ShellFavorites(MemoryStore& s, const std::string& path) {
    s.SetString(kShellFoldersKeyPath, kFavoritesValue, path);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, Load,
    ::testing::Values(
        LoadCase{"KeyWithBothValues",
                 [](MemoryStore& s) {
                     s.SetString(kSettingsKeyPath, "location", "D:\\links");
                     s.SetString(kSettingsKeyPath, "output", "D:\\page.htm");
                     ShellFavorites(s, kFavorites);
                 },
                 "D:\\links", "D:\\page.htm"},
        LoadCase{"KeyWithOnlyLocationLeavesOutputAndIgnoresFavorites",
                 [](MemoryStore& s) {
                     s.SetString(kSettingsKeyPath, "location", "D:\\links");
                     ShellFavorites(s, kFavorites);
                 },
                 "D:\\links", "old output"},
        LoadCase{"EmptyKeyUsesNoFallback",
                 [](MemoryStore& s) {
                     s.CreateKey(kSettingsKeyPath, "favpage");
                     ShellFavorites(s, kFavorites);
                 },
                 "old location", "old output"},
        LoadCase{"NoKeyTakesTheFavoritesFolder",
                 [](MemoryStore& s) { ShellFavorites(s, kFavorites); },
                 kFavorites, kFavorites + "\\temp.htm"},
        LoadCase{"NoKeyShellFoldersWithoutFavorites",
                 [](MemoryStore& s) { s.SetString(kShellFoldersKeyPath, "Personal", "C:\\docs"); },
                 "C:\\WINDOWS\\FAVORITES", "C:\\WINDOWS\\FAVORITES\\temp.htm"},
        LoadCase{"NoKeyNoShellFolders", [](MemoryStore&) {},
                 "C:\\WINDOWS\\FAVORITES", "C:\\WINDOWS\\FAVORITES\\temp.htm"},
        LoadCase{"StoredValueOf254CharactersIsRead",
                 [](MemoryStore& s) { s.SetString(kSettingsKeyPath, "location", std::string(254, 'a')); },
                 std::string(254, 'a'), "old output"},
        LoadCase{"StoredValueOf255CharactersIsRefused",
                 [](MemoryStore& s) {
                     s.SetString(kSettingsKeyPath, "location", std::string(255, 'a'));
                     s.SetString(kSettingsKeyPath, "output", "D:\\page.htm");
                 },
                 "old location", "D:\\page.htm"},
        LoadCase{"ValueFillingTheBufferWithoutAZeroIsRefused",
                 [](MemoryStore& s) {
                     s.SetValue(kSettingsKeyPath, "location", std::string(255, 'b'));
                     s.SetValue(kSettingsKeyPath, "output", std::string(255, 'c'));
                 },
                 "old location", "old output"},
        LoadCase{"ValueTypeIsNotExaminedTextEndsAtTheFirstZero",
                 [](MemoryStore& s) {
                     s.SetValue(kSettingsKeyPath, "location", std::string("D:\\bin\0junk", 11),
                                MemoryStore::kBinaryType);
                 },
                 "D:\\bin", "old output"},
        LoadCase{"UnterminatedShortValueIsTakenWhole",
                 [](MemoryStore& s) { s.SetValue(kSettingsKeyPath, "output", "D:\\p.htm"); },
                 "old location", "D:\\p.htm"},
        LoadCase{"FavoritesOf245CharactersStillTakesThePageName",
                 [](MemoryStore& s) { ShellFavorites(s, std::string(245, 'f')); },
                 std::string(245, 'f'), std::string(245, 'f') + "\\temp.htm"},
        LoadCase{"FavoritesTooLongForThePageNameGetsTheFixedPage",
                 [](MemoryStore& s) { ShellFavorites(s, std::string(246, 'f')); },
                 std::string(246, 'f'), "C:\\WINDOWS\\FAVORITES\\temp.htm"},
        LoadCase{"FavoritesThatDoNotFitGetBothFixedPaths",
                 [](MemoryStore& s) { ShellFavorites(s, std::string(255, 'f')); },
                 "C:\\WINDOWS\\FAVORITES", "C:\\WINDOWS\\FAVORITES\\temp.htm"}),
    [](const ::testing::TestParamInfo<LoadCase>& info) { return info.param.name; });

TEST(Save, WritesBothFieldsAsStringsWithTheirZeroByteIntoAClassedKey) {
    MemoryStore store;
    SaveSettings(store, MakeRecord("D:\\links", ""));
    ASSERT_TRUE(store.HasKey(kSettingsKeyPath));
    EXPECT_EQ(store.ClassOf(kSettingsKeyPath), "favpage");
    auto location = store.GetValue(kSettingsKeyPath, "location");
    auto output = store.GetValue(kSettingsKeyPath, "output");
    ASSERT_TRUE(location && output);
    EXPECT_EQ(location->type, MemoryStore::kStringType);
    EXPECT_EQ(location->bytes, std::string("D:\\links\0", 9));
    EXPECT_EQ(output->type, MemoryStore::kStringType);
    EXPECT_EQ(output->bytes, std::string(1, '\0'));
    EXPECT_EQ(store.OpenKeys(), 0);
}

TEST(Save, LeavesOtherValuesOfTheKeyAlone) {
    MemoryStore store;
    store.SetString(kSettingsKeyPath, "window", "10,10");
    store.SetString(kSettingsKeyPath, "location", "D:\\old");
    SaveSettings(store, MakeRecord("D:\\new", "D:\\new\\p.htm"));
    EXPECT_EQ(store.ValueCount(kSettingsKeyPath), 3u);
    EXPECT_EQ(store.GetValue(kSettingsKeyPath, "window")->bytes, std::string("10,10\0", 6));
    EXPECT_EQ(store.GetValue(kSettingsKeyPath, "location")->bytes, std::string("D:\\new\0", 7));
}

TEST(Save, WritesNothingWhenTheKeyCannotBeCreated) {
    MemoryStore store;
    store.RefuseCreate();
    SaveSettings(store, MakeRecord("D:\\links", "D:\\page.htm"));
    EXPECT_FALSE(store.HasKey(kSettingsKeyPath));
}

TEST(Save, AFieldWithoutItsZeroByteIsWrittenAs254Characters) {
    MemoryStore store;
    Settings record{};
    std::memset(record.location, 'z', sizeof record.location);   // runs into `output`
    std::strcpy(record.output, "D:\\p.htm");
    SaveSettings(store, record);
    EXPECT_EQ(store.GetValue(kSettingsKeyPath, "location")->bytes, std::string(254, 'z') + '\0');
    EXPECT_EQ(store.GetValue(kSettingsKeyPath, "output")->bytes, std::string("D:\\p.htm\0", 9));
}

TEST(SaveAndLoad, GiveBackTheSameRecordIncludingTheLongestFields) {
    MemoryStore store;
    const Settings saved = MakeRecord(std::string(254, 'L'), std::string(254, 'O'));
    SaveSettings(store, saved);
    Settings loaded{};
    LoadSettings(store, loaded);
    EXPECT_EQ(std::memcmp(&saved, &loaded, sizeof saved), 0);
}

TEST(SettingsRecord, StartsEmpty) {
    EXPECT_EQ(SettingsRecord.location[0], '\0');
    EXPECT_EQ(SettingsRecord.output[0], '\0');
}

}  // namespace
}  // namespace favpage
