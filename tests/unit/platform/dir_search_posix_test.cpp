// Tests of DirSearch on a POSIX file system: the attribute model, patterns, lookups and the
// release of abandoned searches.
#include <gtest/gtest.h>

#include <dirent.h>
#include <map>
#include <optional>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/dir_search.h"
#include "platform/text_file.h"
#include "tests/unit/platform/dir_search_test_support.h"
#include "tests/unit/platform/temp_folder.h"

namespace favpage {
namespace {

using testing::Names;
using testing::TempFolder;

class DirSearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir.WriteFile("a.url", "12345");
        m_dir.WriteFile("noext", "");
        m_dir.WriteFile(".hidden", "");
        m_dir.MakeFolder("sub");
        m_dir.MakeFolder(".hdir");
        ASSERT_EQ(symlink("sub", m_dir.Native("linkdir").c_str()), 0);
        ASSERT_EQ(symlink("a.url", m_dir.Native("linkfile").c_str()), 0);
        ASSERT_EQ(symlink("nowhere", m_dir.Native("dangling").c_str()), 0);
    }
    TempFolder m_dir;
};

TEST_F(DirSearchTest, MasksAdmitByTheAttributeModelWithAndWithoutStat) {
    for (Detail d : {Detail::Full, Detail::NamesAndKinds}) {
        EXPECT_EQ(Names(m_dir.Path("*.*"), kSubFolderMask, d),
                  (std::set<std::string>{".", "..", "a.url", "noext", "sub", ".hdir", "linkdir",
                                         "linkfile", "dangling"}));
        EXPECT_EQ(Names(m_dir.Path("*.*"), kFileMask, d),
                  (std::set<std::string>{"a.url", "noext", ".hidden", ".hdir", "linkfile",
                                         "dangling"}));
    }
}

TEST_F(DirSearchTest, EntriesCarryTheirKindSizeAndHiddenBit) {
    std::map<std::string, DirEntry> byName;
    DirSearch s;
    for (auto e = s.FindFirst(m_dir.Path("*.*"), 0xFFFFFFFF); e; e = s.FindNext()) {
        byName[e->name] = *e;
    }
    EXPECT_EQ(byName["a.url"].attributes, 0u);
    EXPECT_EQ(byName["a.url"].size, 5u);
    EXPECT_EQ(byName["sub"].attributes, kAttrDirectory);
    EXPECT_EQ(byName["."].attributes, kAttrDirectory);
    EXPECT_EQ(byName[".."].attributes, kAttrDirectory);
    EXPECT_EQ(byName[".hdir"].attributes, kAttrDirectory | kAttrHidden);
    EXPECT_EQ(byName[".hidden"].attributes, kAttrHidden);
    EXPECT_EQ(byName["linkdir"].attributes, kAttrDirectory) << "links are followed";
    EXPECT_EQ(byName["linkfile"].size, 5u);
}

// A listing of names and kinds shows which entries are plain files, and such an entry is read
// without a lookup: bounded by the count, never through a name that has become a link since,
// never waiting on a pipe put in its place.
TEST_F(DirSearchTest, PlainFilesOfAListingAreReadWithoutALookup) {
    const FolderHandle folder(m_dir.Path());
    std::map<std::string, DirEntry> listed;
    DirSearch s;
    DirEntry e;
    for (bool more = s.FindFirst(folder, 0xFFFFFFFF, Detail::NamesAndKinds, e); more;
         more = s.FindNext(e)) {
        listed[e.name] = e;
    }
    for (const char* name : {"a.url", "noext", ".hidden"}) {
        EXPECT_TRUE(listed[name].plainFile) << name;
    }
    EXPECT_EQ(listed[".hidden"].attributes, kAttrHidden);
    for (const char* name : {"sub", "linkfile", "dangling", "."}) {
        EXPECT_FALSE(listed[name].plainFile) << name;
    }
    ASSERT_TRUE(FindEntry(folder, "a.url", kFileMask, e));
    EXPECT_FALSE(e.plainFile) << "a lookup tells everything";

    ASSERT_EQ(mkfifo(m_dir.Native("pipe").c_str(), 0600), 0);
    const struct {
        const char* name;
        size_t count;
        std::optional<size_t> read;
    } rows[] = {
        {"a.url", 64, 5},
        {"a.url", 3, 3},
        {"noext", 64, 0},
        {"linkfile", 64, std::nullopt},  // a link now: not followed
        {"pipe", 64, 0},                 // a pipe now: opened without waiting, nothing read
        {"missing", 64, std::nullopt},
    };
    for (const auto& row : rows) {
        DirEntry plain;
        PlainFileEntry(row.name, plain);
        char text[64];
        EXPECT_EQ(TextFile::ReadLookedUp(folder, plain, text, row.count), row.read) << row.name;
        if (row.read == 5u) {
            EXPECT_EQ(std::string(text, 5), "12345");
        }
    }
}

TEST_F(DirSearchTest, PatternsMatchLikeTheProgramExpects) {
    EXPECT_EQ(Names(m_dir.Path("*.url"), kFileMask, Detail::Full),
              (std::set<std::string>{"a.url"}));
    EXPECT_EQ(Names(m_dir.Path("?.u?l"), kFileMask, Detail::Full),
              (std::set<std::string>{"a.url"}));
    EXPECT_EQ(Names(m_dir.Path("no*.*"), kFileMask, Detail::Full),
              (std::set<std::string>{"noext"}));
    EXPECT_TRUE(Names(m_dir.Path("*.htm"), kFileMask, Detail::Full).empty());
    EXPECT_TRUE(Names(m_dir.Path("missing\\*.*"), kFileMask, Detail::Full).empty());
}

TEST_F(DirSearchTest, OneEntryLookupsStatThePathItself) {
    auto file = FindEntry(m_dir.Path("a.url"), kFileMask);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->name, "a.url");
    EXPECT_EQ(file->size, 5u);
    EXPECT_FALSE(FindEntry(m_dir.Path("sub"), kFileMask));
    EXPECT_FALSE(FindEntry(m_dir.Path("sub"), 0x01)) << "the overwrite check never finds folders";
    ASSERT_TRUE(FindEntry(m_dir.Path("sub"), kSubFolderMask));
    EXPECT_TRUE(FindEntry(m_dir.Path("a.url"), kSubFolderMask)) << "files pass any mask";
    EXPECT_FALSE(FindEntry(m_dir.Path(".hidden"), 0x01));
    EXPECT_FALSE(FindEntry(m_dir.Path("missing"), 0xFFFFFFFF));
    EXPECT_FALSE(FindEntry(m_dir.Path("dangling"), kFileMask));
    EXPECT_FALSE(FindEntry(m_dir.Path("sub") + "\\", kSubFolderMask))
        << "a path ending in a separator names no entry";
    ASSERT_EQ(chmod(m_dir.Native("a.url").c_str(), 0444), 0);
    EXPECT_EQ(FindEntry(m_dir.Path("a.url"), kFileMask)->attributes, kAttrReadOnly);
}

TEST_F(DirSearchTest, LookupsIntoOneEntryReplaceEverythingItHeld) {
    // The walk looks up every file of a folder into the same entry: nothing of an earlier
    // lookup may survive into a later one.
    DirEntry e;
    ASSERT_TRUE(FindEntry(m_dir.Path(".hdir"), kSubFolderMask, e));
    EXPECT_EQ(e.name, ".hdir");
    EXPECT_EQ(e.attributes, kAttrDirectory | kAttrHidden);
    ASSERT_TRUE(FindEntry(m_dir.Path("a.url"), kFileMask, e));
    EXPECT_EQ(e.name, "a.url");
    EXPECT_EQ(e.size, 5u);
    EXPECT_EQ(e.attributes, 0u);
    ASSERT_TRUE(FindEntry(m_dir.Path("noext"), kFileMask, e));
    EXPECT_EQ(e.name, "noext");
    EXPECT_EQ(e.size, 0u);
    EXPECT_FALSE(FindEntry(m_dir.Path("dangling"), kFileMask, e));
    EXPECT_FALSE(FindEntry(m_dir.Path("sub"), kFileMask, e));
    // A path longer than the lookup's buffer on the stack.
    std::string deep;
    for (char c : {'a', 'b', 'c', 'd', 'e', 'f'}) deep += std::string(200, c) + "/";
    m_dir.WriteFile(deep + "long.url", "xy");
    ASSERT_TRUE(FindEntry(m_dir.Path(deep + "long.url"), kFileMask, e));
    EXPECT_EQ(e.name, "long.url");
    EXPECT_EQ(e.size, 2u);
}

TEST_F(DirSearchTest, OneEntryLookupsTakeWildcardCharactersLiterally) {
    m_dir.WriteFile("a*b.url", "123");
    m_dir.WriteFile("axxb.url", "1234567");
    auto e = FindEntry(m_dir.Path("a*b.url"), kFileMask);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->name, "a*b.url");
    EXPECT_EQ(e->size, 3u);
    EXPECT_FALSE(FindEntry(m_dir.Path("a?b.url"), kFileMask));
}

int OpenDescriptors() {
    int n = 0;
    DIR* d = opendir("/proc/self/fd");
    while (readdir(d)) ++n;
    closedir(d);
    return n;
}

TEST_F(DirSearchTest, AbandonedAndFinishedSearchesReleaseTheirDescriptors) {
    const int before = OpenDescriptors();
    for (int i = 0; i < 50; ++i) {
        DirSearch s;
        ASSERT_TRUE(s.FindFirst(m_dir.Path("*.*"), kFileMask));  // abandoned after one entry
    }
    DirSearch kept;
    ASSERT_TRUE(kept.FindFirst(m_dir.Path("*.*"), kSubFolderMask));
    EXPECT_EQ(OpenDescriptors(), before + 1);
    while (kept.FindNext()) {
    }
    EXPECT_EQ(OpenDescriptors(), before) << "an exhausted search closes its folder at once";
}

TEST(FolderHandleTest, AFolderReplacedDuringItsListingNeverSendsALookupElsewhere) {
    TempFolder t;
    t.WriteFile("A/x.url", "original x");
    t.WriteFile("A/y.url", "original y");
    const FolderHandle folder(t.Path("A"));
    DirSearch search;
    std::set<std::string> listed;
    auto e = search.FindFirst(folder, kFileMask);
    ASSERT_TRUE(e);
    // Renamed away and another folder put in its place, with a file of the same name.
    ASSERT_EQ(rename(t.Native("A").c_str(), t.Native("B").c_str()), 0);
    t.WriteFile("A/x.url", "the other folder's x");
    t.WriteFile("A/z.url", "z");
    for (; e; e = search.FindNext()) listed.insert(e->name);
    EXPECT_EQ(listed, (std::set<std::string>{"x.url", "y.url"}));
    DirEntry entry;
    ASSERT_TRUE(FindEntry(folder, "x.url", kFileMask, entry));
    EXPECT_EQ(entry.length, 10u);
    EXPECT_FALSE(FindEntry(folder, "z.url", kFileMask, entry));
    EXPECT_FALSE(FindEntry(folder, "../A/z.url", kFileMask, entry)) << "names only, never paths";
    char text[64];
    EXPECT_EQ(TextFile::ReadLookedUp(folder, entry, text, sizeof text), 10u);
    EXPECT_EQ(std::string(text, 10), "original x");
    EXPECT_EQ(GetFolderId(folder, "."), GetFolderId(t.Path("B")));
    // A folder that cannot be opened searches and looks up nothing.
    const FolderHandle missing(t.Path("missing"));
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_FALSE(search.FindFirst(missing, kFileMask));
}

TEST_F(DirSearchTest, FolderIdentityFollowsLinks) {
    auto sub = GetFolderId(m_dir.Path("sub"));
    auto link = GetFolderId(m_dir.Path("linkdir"));
    auto root = GetFolderId(m_dir.Path());
    ASSERT_TRUE(sub && link && root);
    EXPECT_TRUE(*sub == *link);
    EXPECT_FALSE(*sub == *root);
    EXPECT_FALSE(GetFolderId(m_dir.Path("missing")));
}

}  // namespace
}  // namespace favpage
