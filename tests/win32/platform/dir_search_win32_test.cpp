// Windows tests of DirSearch and the replacing writer on real attributes set with
// SetFileAttributesA: what each mask admits, one-entry lookups, folder identity and handles;
// and what the writer keeps of a page's security and refuses when it denies writing.
#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

#include "platform/dir_search.h"
#include "platform/text_file.h"
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

TEST_F(Win32DirSearchTest, ReplacingWriterRefusesWhatCreateFileWouldAndTouchesNothing) {
    for (const char* n : {"hidden.url", "system.url", "readonly.url", "sub", "hiddendir"}) {
        EXPECT_FALSE(TextFile::OpenReplacing(m_dir.Path(n))) << n;
    }
    EXPECT_EQ(m_dir.ReadFile("readonly.url"), "");
    auto f = TextFile::OpenReplacing(m_dir.Path("plain.url"));
    ASSERT_TRUE(f);
    f->Write("new\n");
    EXPECT_EQ(m_dir.ReadFile("plain.url"), "12345");
    ASSERT_TRUE(f->Close());
    EXPECT_EQ(m_dir.ReadFile("plain.url"), "new\r\n");
    EXPECT_EQ(Names(m_dir.Path("~favpage*"), kFileMask, Detail::Full).size(), 0u);
}

// A file's access list in SDDL form, or "" when it cannot be read.
std::string AccessList(const std::string& path) {
    DWORD need = 0;
    GetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &need);
    std::vector<char> sd(need);
    if (need == 0 ||
        !GetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, sd.data(), need, &need)) {
        return "";
    }
    LPSTR text = nullptr;
    if (!ConvertSecurityDescriptorToStringSecurityDescriptorA(
            sd.data(), SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr)) {
        return "";
    }
    const std::string result = text;
    LocalFree(text);
    return result;
}

bool SetAccessList(const std::string& path, const char* sddl) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &sd,
                                                              nullptr)) {
        return false;
    }
    const bool ok = SetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, sd) != 0;
    LocalFree(sd);
    return ok;
}

TEST_F(Win32DirSearchTest, ReplacingWriterKeepsThePagesSecurityAndRefusesWhatDeniesWriting) {
    // A page anyone may change keeps that access list, and its attributes, once replaced.
    m_dir.WriteFile("shared.htm", "old");
    const std::string shared = m_dir.Path("shared.htm");
    ASSERT_TRUE(SetAccessList(shared, "D:P(A;;FA;;;WD)"));
    const std::string accessBefore = AccessList(shared);
    const DWORD attributesBefore = GetFileAttributesA(shared.c_str());
    ASSERT_NE(accessBefore, "");
    auto f = TextFile::OpenReplacing(shared);
    ASSERT_TRUE(f);
    f->Write("new\n");
    ASSERT_TRUE(f->Close());
    EXPECT_EQ(m_dir.ReadFile("shared.htm"), "new\r\n");
    EXPECT_EQ(AccessList(shared), accessBefore);
    EXPECT_EQ(GetFileAttributesA(shared.c_str()), attributesBefore);

    // Security that denies writing the data but allows deleting the file: replacing it would
    // succeed, opening it for writing does not. (Wine shows such a page as read-only.)
    m_dir.WriteFile("denied.htm", "old");
    const std::string denied = m_dir.Path("denied.htm");
    ASSERT_TRUE(SetAccessList(denied, "D:P(D;;0x116;;;WD)(A;;FA;;;WD)"));
    EXPECT_FALSE(TextFile::OpenReplacing(denied));
    SetAccessList(denied, "D:P(A;;FA;;;WD)");
    SetFileAttributesA(denied.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(m_dir.ReadFile("denied.htm"), "old");

    // A page another program holds open without letting anyone write it: refused at once,
    // not after the whole page was written.
    HANDLE held = CreateFileA(m_dir.Path("plain.url").c_str(), GENERIC_READ, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(TextFile::OpenReplacing(m_dir.Path("plain.url")));
    CloseHandle(held);
    EXPECT_EQ(m_dir.ReadFile("plain.url"), "12345");
    EXPECT_EQ(Names(m_dir.Path("~favpage*"), kFileMask, Detail::Full).size(), 0u);
}

}  // namespace
}  // namespace favpage
