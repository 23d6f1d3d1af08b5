// Windows tests of DirSearch on real attributes set with SetFileAttributesA: what each mask
// admits, one-entry lookups, folder identity and handles. (The page's writer on Windows:
// tests/win32/engine/page_output_win32_test.cpp.)
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <set>
#include <vector>

#include "platform/dir_search.h"
#include "tests/unit/platform/dir_search_test_support.h"
#include "tests/unit/platform/temp_folder.h"

namespace favpage {
namespace {

using testing::Names;
using testing::TempFolder;

class Win32DirSearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir.WriteFile("plain.url", "12345");
        m_dir.WriteFile("noext", "");
        m_dir.WriteFile("hidden.url", "");
        m_dir.WriteFile("system.url", "");
        m_dir.WriteFile("readonly.url", "");
        m_dir.MakeFolder("sub");
        m_dir.MakeFolder("hiddendir");
        m_dir.MakeFolder("systemdir");
        SetAttrs("hidden.url", FILE_ATTRIBUTE_HIDDEN);
        SetAttrs("system.url", FILE_ATTRIBUTE_SYSTEM);
        SetAttrs("readonly.url", FILE_ATTRIBUTE_READONLY);
        SetAttrs("hiddendir", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);
        SetAttrs("systemdir", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM);
    }
    void TearDown() override {
        for (const char* n : {"hidden.url", "system.url", "readonly.url", "hiddendir",
                              "systemdir"}) {
            SetFileAttributesA(m_dir.Path(n).c_str(), FILE_ATTRIBUTE_NORMAL);
        }
    }
    void SetAttrs(const std::string& name, DWORD attrs) {
        ASSERT_TRUE(SetFileAttributesA(m_dir.Path(name).c_str(), attrs)) << name;
    }
    TempFolder m_dir;
};

TEST_F(Win32DirSearchTest, MasksAdmitByTheAttributeRule) {
    for (Detail d : {Detail::Full, Detail::NamesAndKinds}) {
        EXPECT_EQ(Names(m_dir.Path("*.*"), kSubFolderMask, d),
                  (std::set<std::string>{".", "..", "plain.url", "noext", "readonly.url", "sub",
                                         "hiddendir", "systemdir"}));
        EXPECT_EQ(Names(m_dir.Path("*.*"), kFileMask, d),
                  (std::set<std::string>{"plain.url", "noext", "hidden.url", "system.url",
                                         "readonly.url", "hiddendir", "systemdir"}));
    }
}

TEST_F(Win32DirSearchTest, EntriesCarryTheFullAttributesAndSize) {
    std::map<std::string, DirEntry> byName;
    DirSearch s;
    for (auto e = s.FindFirst(m_dir.Path("*.*"), 0xFFFFFFFF); e; e = s.FindNext()) {
        byName[e->name] = *e;
    }
    EXPECT_EQ(byName["plain.url"].size, 5u);
    EXPECT_TRUE(byName["hidden.url"].attributes & kAttrHidden);
    EXPECT_TRUE(byName["system.url"].attributes & kAttrSystem);
    EXPECT_TRUE(byName["readonly.url"].attributes & kAttrReadOnly);
    EXPECT_EQ(byName["hiddendir"].attributes & 0x3F, kAttrDirectory | kAttrHidden);
    EXPECT_TRUE(byName["."].attributes & kAttrDirectory);
}

TEST_F(Win32DirSearchTest, OneEntryLookups) {
    auto file = FindEntry(m_dir.Path("plain.url"), kFileMask);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->name, "plain.url");
    EXPECT_EQ(file->size, 5u);
    EXPECT_TRUE(FindEntry(m_dir.Path("sub"), kSubFolderMask));
    EXPECT_FALSE(FindEntry(m_dir.Path("sub"), 0x01));
    EXPECT_FALSE(FindEntry(m_dir.Path("hidden.url"), 0x01));
    EXPECT_FALSE(FindEntry(m_dir.Path("system.url"), 0x01));
    EXPECT_TRUE(FindEntry(m_dir.Path("readonly.url"), 0x01));
    EXPECT_FALSE(FindEntry(m_dir.Path("missing.url"), kFileMask));
    // Folder forms: trailing separators and a drive root name folders; '?' and '*' are in no
    // Windows name, so a path holding them names nothing, however many entries it would match.
    EXPECT_TRUE(FindEntry(m_dir.Path("sub") + "\\", kSubFolderMask));
    EXPECT_TRUE(FindEntry(m_dir.Path("sub") + "\\/", kSubFolderMask));
    EXPECT_TRUE(FindEntry("C:", kSubFolderMask) && FindEntry("C:\\", kSubFolderMask));
    EXPECT_FALSE(FindEntry(m_dir.Path("su?"), kSubFolderMask));
    EXPECT_FALSE(FindEntry(m_dir.Path("s*"), kSubFolderMask));
    // The native \??\ form of a full path names what its \\?\ form names: its '?' are no
    // wildcards, and a page so named is found by the overwrite check.
    const std::string full = *FullFolderPath(m_dir.Path());
    for (const char* mark : {"\\\\?\\", "\\??\\"}) {
        SCOPED_TRACE(mark);
        EXPECT_TRUE(FindEntry(mark + full + "\\plain.url", 0x01));
        EXPECT_TRUE(FindEntry(mark + full + "\\sub", kSubFolderMask));
        EXPECT_FALSE(FindEntry(mark + full + "\\su?", kSubFolderMask));
        EXPECT_TRUE(GetFolderId(mark + full + "\\sub") == GetFolderId(m_dir.Path("sub")));
    }
    // Lookups into one reused entry replace everything it held.
    DirEntry e;
    ASSERT_TRUE(FindEntry(m_dir.Path("hidden.url"), kFileMask, e));
    EXPECT_TRUE(e.attributes & kAttrHidden);
    ASSERT_TRUE(FindEntry(m_dir.Path("plain.url"), kFileMask, e));
    EXPECT_EQ(e.name, "plain.url");
    EXPECT_EQ(e.size, 5u);
    EXPECT_FALSE(e.attributes & (kAttrHidden | kAttrDirectory));
    EXPECT_FALSE(FindEntry(m_dir.Path("missing.url"), kFileMask, e));
}

// One pair of double quotes around a whole Windows path (Explorer's "Copy as path") is no part
// of it: no Windows name holds '"'. Anything else stays as given.
TEST(PathAsMeantTest, OnePairOfQuotesAroundTheWholePathIsRemoved) {
    const std::pair<const char*, const char*> kRows[] = {
        {"\"C:\\Users\\me\\Favorites\"", "C:\\Users\\me\\Favorites"},
        {"\"\\\\?\\C:\\a b\\page.htm\"", "\\\\?\\C:\\a b\\page.htm"},
        {"\"\"C:\\twice\"\"", "\"C:\\twice\""},
        {"C:\\plain", "C:\\plain"},
        {"\"C:\\open", "\"C:\\open"},
        {"C:\\closed\"", "C:\\closed\""},
        {"C:\\in\"side", "C:\\in\"side"},
        {"\"", "\""},
        {"\"\"", ""},
    };
    for (const auto& [given, meant] : kRows) EXPECT_EQ(PathAsMeant(given), meant) << given;
}

TEST_F(Win32DirSearchTest, FolderIdentity) {
    auto a = GetFolderId(m_dir.Path("sub"));
    auto b = GetFolderId(m_dir.Path("sub\\..\\sub"));
    auto c = GetFolderId(m_dir.Path("hiddendir"));
    ASSERT_TRUE(a && b && c);
    EXPECT_TRUE(*a == *b);
    EXPECT_FALSE(*a == *c);
    EXPECT_FALSE(GetFolderId(m_dir.Path("missing")));
}

TEST_F(Win32DirSearchTest, AbandonedSearchesCloseTheirHandles) {
    DWORD before = 0;
    if (!GetProcessHandleCount(GetCurrentProcess(), &before) || before == 0) {
        GTEST_SKIP() << "this system does not count handles";
    }
    for (int i = 0; i < 200; ++i) {
        DirSearch s;
        ASSERT_TRUE(s.FindFirst(m_dir.Path("*.*"), kFileMask));
        ASSERT_TRUE(FindEntry(m_dir.Path("plain.url"), kFileMask));
    }
    DWORD after = 0;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &after));
    EXPECT_LT(after, before + 10);
}

}  // namespace
}  // namespace favpage
