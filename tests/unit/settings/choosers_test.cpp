// tests/unit/settings/choosers_test.cpp: what the choosers ask for and how a choice is stored.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "settings/choosers.h"

namespace favpage {
namespace {

Settings RecordWith(const SettingsText& location, const SettingsText& output) {
    Settings record{};
    location.copy(record.location, kSettingsFieldSize - 1);
    output.copy(record.output, kSettingsFieldSize - 1);
    return record;
}

SettingsText Text(const SettingsChar* text) { return text ? SettingsText(text) : u"(none)"; }

TEST(Choosers, RequestsCarryTheirFlagsSeedsAndTitles) {
    const ChooserRequest folder = FolderChooserRequest();
    EXPECT_EQ(folder.flags, 0x10804u);
    EXPECT_EQ(folder.fileName, u"dummy.txt");
    EXPECT_EQ(Text(folder.filter), u"All Files (*.*)|*.*|");
    EXPECT_EQ(Text(folder.initialDir), u"C:\\WINDOWS\\FAVORITES");
    EXPECT_EQ(folder.defaultExtension, nullptr);
    EXPECT_EQ(Text(folder.title), u"Find the directory that has the Shortcuts");
    EXPECT_TRUE(folder.folderTemplate);

    // The output chooser starts from the record, whatever the field shows.
    const ChooserRequest output =
        OutputChooserRequest(RecordWith(u"C:\\Fav", u"D:\\pages\\Łukasz 本.htm"));
    EXPECT_EQ(output.flags, 0x6u);
    EXPECT_EQ(output.fileName, u"D:\\pages\\Łukasz 本.htm");
    EXPECT_EQ(Text(output.filter), u"HTML Files (*.htm)|*.htm|");
    EXPECT_EQ(Text(output.defaultExtension), u"htm");
    EXPECT_EQ(Text(output.title), u"Select a filename for the output file");
    EXPECT_FALSE(output.folderTemplate);
}

struct CutCase {
    const char16_t* returned;
    const char16_t* location;
};

class FolderChoice : public ::testing::TestWithParam<CutCase> {};

TEST_P(FolderChoice, IsCutAtTheLastBackslash) {
    Settings record = RecordWith(u"old", u"page.htm");
    EXPECT_EQ(StoreFolderChoice(GetParam().returned, record), ChoiceResult::Stored);
    EXPECT_EQ(FieldText(record.location), GetParam().location);
    EXPECT_EQ(FieldText(record.output), u"page.htm") << "the other field stays";
}

INSTANTIATE_TEST_SUITE_P(Choosers, FolderChoice,
                         ::testing::Values(CutCase{u"C:\\Fav\\Cars\\dummy.txt", u"C:\\Fav\\Cars"},
                                           CutCase{u"C:\\dummy.txt", u"C:"},  // a drive's root
                                           CutCase{u"dummy.txt", u"dummy.txt"},
                                           CutCase{u"\\\\server\\share\\dummy.txt",
                                                   u"\\\\server\\share"},
                                           CutCase{u"C:\\Избранное\\😀\\dummy.txt",
                                                   u"C:\\Избранное\\😀"}));

TEST(Choosers, PathsTooLongForAFieldAreRefusedWhole) {
    Settings record = RecordWith(u"C:\\old", u"C:\\old.htm");
    // Counted in UTF-16 units, as the fields count: each of these is one.
    const SettingsText folder254(254, u'ф');
    EXPECT_EQ(StoreFolderChoice(folder254 + u"\\dummy.txt", record), ChoiceResult::Stored);
    EXPECT_EQ(FieldText(record.location), folder254);
    EXPECT_EQ(StoreFolderChoice(SettingsText(255, u'f') + u"\\dummy.txt", record),
              ChoiceResult::TooLong);
    EXPECT_EQ(FieldText(record.location), folder254) << "a refused choice changes nothing";

    const SettingsText page254 = u"C:\\" + SettingsText(247, u'p') + u".htm";
    ASSERT_EQ(page254.size(), 254u);
    EXPECT_EQ(StoreOutputChoice(page254, record), ChoiceResult::Stored);
    EXPECT_EQ(FieldText(record.output), page254);
    EXPECT_EQ(StoreOutputChoice(page254 + u"x", record), ChoiceResult::TooLong);
    EXPECT_EQ(FieldText(record.output), page254);
}

}  // namespace
}  // namespace favpage
