// tests/unit/settings/choosers_test.cpp: what the choosers ask for and how a choice is stored.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "settings/choosers.h"

namespace favpage {
namespace {

Settings RecordWith(const char* location, const char* output) {
    Settings record{};
    std::strcpy(record.location, location);
    std::strcpy(record.output, output);
    return record;
}

TEST(Choosers, RequestsCarryTheirFlagsSeedsAndTitles) {
    const ChooserRequest folder = FolderChooserRequest();
    EXPECT_EQ(folder.flags, 0x10804u);
    EXPECT_EQ(folder.fileName, "dummy.txt");
    EXPECT_STREQ(folder.filter, "All Files (*.*)|*.*|");
    EXPECT_STREQ(folder.initialDir, "C:\\WINDOWS\\FAVORITES");
    EXPECT_EQ(folder.defaultExtension, nullptr);
    EXPECT_STREQ(folder.title, "Find the directory that has the Shortcuts");
    EXPECT_TRUE(folder.folderTemplate);

    // The output chooser starts from the record, whatever the field shows.
    const ChooserRequest output = OutputChooserRequest(RecordWith("C:\\Fav", "D:\\pages\\links.htm"));
    EXPECT_EQ(output.flags, 0x6u);
    EXPECT_EQ(output.fileName, "D:\\pages\\links.htm");
    EXPECT_STREQ(output.filter, "HTML Files (*.htm)|*.htm|");
    EXPECT_STREQ(output.defaultExtension, "htm");
    EXPECT_STREQ(output.title, "Select a filename for the output file");
    EXPECT_FALSE(output.folderTemplate);
}

struct CutCase {
    const char* returned;
    const char* location;
};

class FolderChoice : public ::testing::TestWithParam<CutCase> {};

TEST_P(FolderChoice, IsCutAtTheLastBackslash) {
    Settings record = RecordWith("old", "page.htm");
    EXPECT_EQ(StoreFolderChoice(GetParam().returned, record), ChoiceResult::Stored);
    EXPECT_STREQ(record.location, GetParam().location);
    EXPECT_STREQ(record.output, "page.htm") << "the other field stays";
}

INSTANTIATE_TEST_SUITE_P(Choosers, FolderChoice,
                         ::testing::Values(CutCase{"C:\\Fav\\Cars\\dummy.txt", "C:\\Fav\\Cars"},
                                           CutCase{"C:\\dummy.txt", "C:"},  // a drive's root
                                           CutCase{"dummy.txt", "dummy.txt"},
                                           CutCase{"\\\\server\\share\\dummy.txt",
                                                   "\\\\server\\share"}));

TEST(Choosers, PathsTooLongForAFieldAreRefusedWhole) {
    Settings record = RecordWith("C:\\old", "C:\\old.htm");
    const std::string folder254(254, 'f');
    EXPECT_EQ(StoreFolderChoice(folder254 + "\\dummy.txt", record), ChoiceResult::Stored);
    EXPECT_EQ(std::string(record.location), folder254);
    EXPECT_EQ(StoreFolderChoice(std::string(255, 'f') + "\\dummy.txt", record),
              ChoiceResult::TooLong);
    EXPECT_EQ(std::string(record.location), folder254) << "a refused choice changes nothing";

    const std::string page254 = "C:\\" + std::string(247, 'p') + ".htm";
    ASSERT_EQ(page254.size(), 254u);
    EXPECT_EQ(StoreOutputChoice(page254, record), ChoiceResult::Stored);
    EXPECT_EQ(std::string(record.output), page254);
    EXPECT_EQ(StoreOutputChoice(page254 + "x", record), ChoiceResult::TooLong);
    EXPECT_EQ(std::string(record.output), page254);
}

}  // namespace
}  // namespace favpage
