// Settings: which source fills each field on load (the program's key, the shell's Favorites
// folder, the fixed paths), the 255-byte limit, and what a save leaves in the store.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>

#include "settings/memory_store.h"
#include "settings/settings.h"

namespace favpage {
namespace {

const SettingsText kFavorites = u"C:\\users\\ann\\Favorites";

Settings MakeRecord(const SettingsText& location, const SettingsText& output) {
    Settings record{};
    location.copy(record.location, kSettingsFieldSize - 1);
    output.copy(record.output, kSettingsFieldSize - 1);
    return record;
}

// The bytes of a string value holding `text` and its zero.
std::string Sz(const SettingsText& text) { return MemoryStore::StringBytes(text); }

struct LoadCase {
    const char* name;
    std::function<void(MemoryStore&)> prepare;
    SettingsText expectLocation;
    SettingsText expectOutput;
};

void PrintTo(const LoadCase& c, std::ostream* os) { *os << c.name; }

class Load : public ::testing::TestWithParam<LoadCase> {};

// Every case starts from a record holding "old" values, so "left as it was" is visible.
TEST_P(Load, FillsEachFieldFromTheFirstSourceThatHasIt) {
    MemoryStore store;
    GetParam().prepare(store);
    Settings record = MakeRecord(u"old location", u"old output");
    LoadSettings(store, record);
    EXPECT_EQ(FieldText(record.location), GetParam().expectLocation);
    EXPECT_EQ(FieldText(record.output), GetParam().expectOutput);
    EXPECT_EQ(store.OpenKeys(), 0) << "every key opened is closed";
}

void ShellFavorites(MemoryStore& s, const SettingsText& path) {
    s.SetString(kShellFoldersKeyPath, kFavoritesValue, path);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, Load,
    ::testing::Values(
        LoadCase{"KeyWithBothValues",
                 [](MemoryStore& s) {
                     s.SetString(kSettingsKeyPath, "location", u"D:\\links");
                     s.SetString(kSettingsKeyPath, "output", u"D:\\page.htm");
                     ShellFavorites(s, kFavorites);
                 },
                 u"D:\\links", u"D:\\page.htm"},
        LoadCase{"KeyWithOnlyLocationLeavesOutputAndIgnoresFavorites",
                 [](MemoryStore& s) {
                     s.SetString(kSettingsKeyPath, "location", u"D:\\links");
                     ShellFavorites(s, kFavorites);
                 },
                 u"D:\\links", u"old output"},
        LoadCase{"EmptyKeyUsesNoFallback",
                 [](MemoryStore& s) {
                     s.CreateKey(kSettingsKeyPath, "favpage");
                     ShellFavorites(s, kFavorites);
                 },
                 u"old location", u"old output"},
        LoadCase{"NoKeyTakesTheFavoritesFolder",
                 [](MemoryStore& s) { ShellFavorites(s, kFavorites); },
                 kFavorites, kFavorites + u"\\temp.htm"},
        LoadCase{"NoKeyShellFoldersWithoutFavorites",
                 [](MemoryStore& s) { s.SetString(kShellFoldersKeyPath, "Personal", u"C:\\docs"); },
                 u"C:\\WINDOWS\\FAVORITES", u"C:\\WINDOWS\\FAVORITES\\temp.htm"},
        LoadCase{"NoKeyNoShellFolders", [](MemoryStore&) {},
                 u"C:\\WINDOWS\\FAVORITES", u"C:\\WINDOWS\\FAVORITES\\temp.htm"},
        LoadCase{"StoredValueOf254CharactersIsRead",
                 [](MemoryStore& s) { s.SetString(kSettingsKeyPath, "location", SettingsText(254, u'a')); },
                 SettingsText(254, u'a'), u"old output"},
        LoadCase{"StoredValueOf255CharactersIsRefused",
                 [](MemoryStore& s) {
                     s.SetString(kSettingsKeyPath, "location", SettingsText(255, u'a'));
                     s.SetString(kSettingsKeyPath, "output", u"D:\\page.htm");
                 },
                 u"old location", u"D:\\page.htm"},
        LoadCase{"ValueFillingTheBufferWithoutAZeroIsRefused",
                 [](MemoryStore& s) {
                     s.SetValue(kSettingsKeyPath, "location", Sz(SettingsText(255, u'b')).substr(0, 510));
                     s.SetValue(kSettingsKeyPath, "output", Sz(SettingsText(255, u'c')).substr(0, 510));
                 },
                 u"old location", u"old output"},
        LoadCase{"ValueTypeIsNotExaminedTextEndsAtTheFirstZero",
                 [](MemoryStore& s) {
                     s.SetValue(kSettingsKeyPath, "location", Sz(SettingsText(u"D:\\bin\0junk", 11)),
                                MemoryStore::kBinaryType);
                 },
                 u"D:\\bin", u"old output"},
        LoadCase{"UnterminatedShortValueIsTakenWhole",
                 [](MemoryStore& s) {
                     const std::string withZero = Sz(u"D:\\p.htm");
                     s.SetValue(kSettingsKeyPath, "output", withZero.substr(0, withZero.size() - 2));
                 },
                 u"old location", u"D:\\p.htm"},
        LoadCase{"FavoritesOf245CharactersStillTakesThePageName",
                 [](MemoryStore& s) { ShellFavorites(s, SettingsText(245, u'f')); },
                 SettingsText(245, u'f'), SettingsText(245, u'f') + u"\\temp.htm"},
        LoadCase{"FavoritesTooLongForThePageNameGetsTheFixedPage",
                 [](MemoryStore& s) { ShellFavorites(s, SettingsText(246, u'f')); },
                 SettingsText(246, u'f'), u"C:\\WINDOWS\\FAVORITES\\temp.htm"},
        LoadCase{"FavoritesThatDoNotFitGetBothFixedPaths",
                 [](MemoryStore& s) { ShellFavorites(s, SettingsText(255, u'f')); },
                 u"C:\\WINDOWS\\FAVORITES", u"C:\\WINDOWS\\FAVORITES\\temp.htm"}),
    [](const ::testing::TestParamInfo<LoadCase>& info) { return info.param.name; });

TEST(Save, WritesBothFieldsAsStringsWithTheirZeroByteIntoAClassedKey) {
    MemoryStore store;
    SaveSettings(store, MakeRecord(u"D:\\links", u""));
    ASSERT_TRUE(store.HasKey(kSettingsKeyPath));
    EXPECT_EQ(store.ClassOf(kSettingsKeyPath), "favpage");
    auto location = store.GetValue(kSettingsKeyPath, "location");
    auto output = store.GetValue(kSettingsKeyPath, "output");
    ASSERT_TRUE(location && output);
    EXPECT_EQ(location->type, MemoryStore::kStringType);
    EXPECT_EQ(location->bytes, Sz(u"D:\\links"));
    EXPECT_EQ(output->type, MemoryStore::kStringType);
    EXPECT_EQ(output->bytes, std::string(2, '\0'));
    EXPECT_EQ(store.OpenKeys(), 0);
}

TEST(Save, LeavesOtherValuesOfTheKeyAlone) {
    MemoryStore store;
    store.SetString(kSettingsKeyPath, "window", u"10,10");
    store.SetString(kSettingsKeyPath, "location", u"D:\\old");
    SaveSettings(store, MakeRecord(u"D:\\new", u"D:\\new\\p.htm"));
    EXPECT_EQ(store.ValueCount(kSettingsKeyPath), 3u);
    EXPECT_EQ(store.GetValue(kSettingsKeyPath, "window")->bytes, Sz(u"10,10"));
    EXPECT_EQ(store.GetValue(kSettingsKeyPath, "location")->bytes, Sz(u"D:\\new"));
}

TEST(Save, WritesNothingWhenTheKeyCannotBeCreated) {
    MemoryStore store;
    store.RefuseCreate();
    SaveSettings(store, MakeRecord(u"D:\\links", u"D:\\page.htm"));
    EXPECT_FALSE(store.HasKey(kSettingsKeyPath));
}

TEST(Save, AFieldWithoutItsZeroByteIsWrittenAs254Characters) {
    MemoryStore store;
    Settings record{};
    std::fill(std::begin(record.location), std::end(record.location), u'z');  // runs into `output`
    SettingsText(u"D:\\p.htm").copy(record.output, 8);
    SaveSettings(store, record);
    EXPECT_EQ(store.GetValue(kSettingsKeyPath, "location")->bytes, Sz(SettingsText(254, u'z')));
    EXPECT_EQ(store.GetValue(kSettingsKeyPath, "output")->bytes, Sz(u"D:\\p.htm"));
}

TEST(SaveAndLoad, GiveBackTheSameRecordIncludingTheLongestFields) {
    MemoryStore store;
    const Settings saved = MakeRecord(SettingsText(254, u'L'), SettingsText(254, u'O'));
    SaveSettings(store, saved);
    Settings loaded{};
    LoadSettings(store, loaded);
    EXPECT_EQ(std::memcmp(&saved, &loaded, sizeof saved), 0);
}

TEST(SettingsRecord, StartsEmpty) {
    EXPECT_EQ(SettingsRecord.location[0], u'\0');
    EXPECT_EQ(SettingsRecord.output[0], u'\0');
}

}  // namespace
}  // namespace favpage
