// Windows tests of the page's writer on real attributes and security: what it refuses where
// CreateFile would, what it keeps of a page's security, pages written in place, links, a page
// held open for a moment when the new one takes its place, and what the console's interrupts
// leave.
#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <thread>
#include <vector>

#include "engine/page_output.h"
#include "platform/dir_search.h"
#include "platform/interrupt.h"
#include "platform/text_file.h"
#include "tests/unit/platform/dir_search_test_support.h"
#include "tests/unit/platform/temp_folder.h"

namespace favpage {
namespace {

using testing::Names;
using testing::TempFolder;

class Win32PageWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir.WriteFile("plain.url", "12345");
        m_dir.WriteFile("hidden.url", "");
        m_dir.WriteFile("system.url", "");
        m_dir.WriteFile("readonly.url", "");
        m_dir.MakeFolder("sub");
        m_dir.MakeFolder("hiddendir");
        SetAttrs("hidden.url", FILE_ATTRIBUTE_HIDDEN);
        SetAttrs("system.url", FILE_ATTRIBUTE_SYSTEM);
        SetAttrs("readonly.url", FILE_ATTRIBUTE_READONLY);
        SetAttrs("hiddendir", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);
    }
    void TearDown() override {
        for (const char* n : {"hidden.url", "system.url", "readonly.url", "hiddendir"}) {
            SetFileAttributesA(m_dir.Path(n).c_str(), FILE_ATTRIBUTE_NORMAL);
        }
    }
    void SetAttrs(const std::string& name, DWORD attrs) {
        ASSERT_TRUE(SetFileAttributesA(m_dir.Path(name).c_str(), attrs)) << name;
    }
    TempFolder m_dir;
};

TEST_F(Win32PageWriterTest, ReplacingWriterRefusesWhatCreateFileWouldAndTouchesNothing) {
    for (const char* n : {"hidden.url", "system.url", "readonly.url", "sub", "hiddendir"}) {
        EXPECT_FALSE(OpenPageWriter(m_dir.Path(n))) << n;
    }
    EXPECT_EQ(m_dir.ReadFile("readonly.url"), "");
    auto f = OpenPageWriter(m_dir.Path("plain.url"));
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

// The one temporary file beside the pages, or "" when there is none.
std::string TemporaryFile(const TempFolder& dir) {
    const auto names = Names(dir.Path("~favpage*"), kFileMask, Detail::Full);
    return names.size() == 1 ? dir.Path(*names.begin()) : "";
}

// This user's SID in SDDL form.
std::string UserSid() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return "";
    char buffer[256];
    DWORD size = 0;
    const bool known = GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size);
    CloseHandle(token);
    LPSTR text = nullptr;
    if (!known || !ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &text)) {
        return "";
    }
    const std::string sid = text;
    LocalFree(text);
    return sid;
}

TEST_F(Win32PageWriterTest, ReplacingWriterKeepsThePagesSecurityAndRefusesWhatDeniesWriting) {
    // A page only its owner may open: the temporary file has that access list from its
    // creation, never the more open one the folder gives new files.
    m_dir.WriteFile("private.htm", "old");
    const std::string privatePage = m_dir.Path("private.htm");
    ASSERT_TRUE(SetAccessList(privatePage, ("D:P(A;;FA;;;" + UserSid() + ")").c_str()));
    const std::string privateAccess = AccessList(privatePage);
    ASSERT_NE(privateAccess, "");
    ASSERT_NE(AccessList(m_dir.Path("plain.url")), privateAccess) << "the folder gives another";
    auto f = OpenPageWriter(privatePage);
    ASSERT_TRUE(f);
    const std::string temporary = TemporaryFile(m_dir);
    ASSERT_NE(temporary, "");
    EXPECT_EQ(AccessList(temporary), privateAccess);
    f->Write("new\n");
    ASSERT_TRUE(f->Close());
    EXPECT_EQ(AccessList(privatePage), privateAccess);

    // A page anyone may change keeps that access list, and its attributes, once replaced.
    m_dir.WriteFile("shared.htm", "old");
    const std::string shared = m_dir.Path("shared.htm");
    ASSERT_TRUE(SetAccessList(shared, "D:P(A;;FA;;;WD)"));
    const std::string accessBefore = AccessList(shared);
    const DWORD attributesBefore = GetFileAttributesA(shared.c_str());
    ASSERT_NE(accessBefore, "");
    f = OpenPageWriter(shared);
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
    EXPECT_FALSE(OpenPageWriter(denied));
    SetAccessList(denied, "D:P(A;;FA;;;WD)");
    SetFileAttributesA(denied.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(m_dir.ReadFile("denied.htm"), "old");

    // A page another program holds open without letting anyone write it: refused at once,
    // not after the whole page was written.
    HANDLE held = CreateFileA(m_dir.Path("plain.url").c_str(), GENERIC_READ, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(OpenPageWriter(m_dir.Path("plain.url")));
    CloseHandle(held);
    EXPECT_EQ(m_dir.ReadFile("plain.url"), "12345");
    EXPECT_EQ(Names(m_dir.Path("~favpage*"), kFileMask, Detail::Full).size(), 0u);
}

// The index that tells a file from every other on its volume, or 0 when it cannot be read.
uint64_t FileIndex(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = h != INVALID_HANDLE_VALUE && GetFileInformationByHandle(h, &info);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    return known ? (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow : 0;
}

// Pages that cannot be replaced by another file but may be written: one another program holds
// open for reading and writing but not for deletion, and one with a second name. Both are
// written in place and stay the same file; when the run fails, the old bytes are back.
TEST_F(Win32PageWriterTest, PagesThatCannotBeReplacedAreWrittenInPlaceWithTheirOldBytesKept) {
    for (bool held : {true, false}) {
        SCOPED_TRACE(held ? "held open" : "two names");
        const std::string old = "old page, longer than the new text\r\n";
        m_dir.WriteFile("page.htm", old);
        const std::string page = m_dir.Path("page.htm");
        HANDLE holder = INVALID_HANDLE_VALUE;
        if (held) {
            holder = CreateFileA(page.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        } else {
            ASSERT_TRUE(CreateHardLinkA(m_dir.Path("other.htm").c_str(), page.c_str(), nullptr));
        }
        const uint64_t index = FileIndex(page);
        for (bool fail : {true, false}) {
            auto f = OpenPageWriter(page);
            ASSERT_TRUE(f);
            EXPECT_EQ(TemporaryFile(m_dir), "");
            f->Write(std::string(300 * 1024, 'x'));  // past the buffer: on the page already
            if (fail) {
                f.reset();  // abandoned, as a run that failed
                EXPECT_EQ(m_dir.ReadFile("page.htm"), old);
                continue;
            }
            f->Write("new\n");
            ASSERT_TRUE(f->Close());
        }
        if (holder != INVALID_HANDLE_VALUE) CloseHandle(holder);
        EXPECT_EQ(m_dir.ReadFile("page.htm"), std::string(300 * 1024, 'x') + "new\r\n");
        EXPECT_EQ(FileIndex(page), index) << "the same file";
        if (!held) {
            EXPECT_EQ(m_dir.ReadFile("other.htm"), m_dir.ReadFile("page.htm"));
            DeleteFileA(m_dir.Path("other.htm").c_str());
        }
        EXPECT_EQ(TemporaryFile(m_dir), "");
    }
}

// A symbolic link to the page stays a link: the file it leads to is replaced. (Wine makes no
// symbolic links; Windows makes them for an administrator or in developer mode.)
TEST_F(Win32PageWriterTest, SymbolicLinkToThePageStaysALink) {
    m_dir.WriteFile("real.htm", "old");
    const std::string link = m_dir.Path("link.htm");
    constexpr DWORD kUnprivileged = 0x2;  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
    if (!CreateSymbolicLinkA(link.c_str(), "real.htm", kUnprivileged) &&
        !CreateSymbolicLinkA(link.c_str(), "real.htm", 0)) {
        GTEST_SKIP() << "no symbolic links here";
    }
    const DWORD attributes = GetFileAttributesA(link.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        GTEST_SKIP() << "no symbolic links here";
    }
    auto f = OpenPageWriter(link);
    ASSERT_TRUE(f);
    f->Write("new\n");
    ASSERT_TRUE(f->Close());
    EXPECT_TRUE(GetFileAttributesA(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);
    EXPECT_EQ(m_dir.ReadFile("real.htm"), "new\r\n");
    EXPECT_EQ(TemporaryFile(m_dir), "");
}

// Ctrl+C and Ctrl+Break reach a writer (replacing a page, or writing a page with a second name
// in place) in a child process with a console of its own: it ends, leaving the old page and no
// temporary file. The child is this test program, asked through its environment to be the
// writer. (Wine delivers no Ctrl+Break sent by a program: that row is then not run.)
constexpr const char* kInterruptChild = "FAVPAGE_TEST_INTERRUPT_CHILD";
enum ChildExit : DWORD { kNoEvent = 97, kCannotOpen = 98, kNotInterrupted = 99 };

TEST_F(Win32PageWriterTest, ConsoleInterruptLeavesTheOldPageAndNoTemporaryFile) {
    if (const char* child = std::getenv(kInterruptChild)) {
        // The child: "C" or "B" for the event, then the page's path.
        const DWORD event = child[0] == 'B' ? CTRL_BREAK_EVENT : CTRL_C_EVENT;
        FreeConsole();
        if (!AllocConsole()) ExitProcess(kNoEvent);
        CleanUpWritesOnInterrupt();
        auto f = OpenPageWriter(child + 1);
        if (!f) ExitProcess(kCannotOpen);
        f->Write(std::string(1 << 20, 'x'));  // past the buffer: on the disk
        if (!GenerateConsoleCtrlEvent(event, 0)) {
            f.reset();
            ExitProcess(kNoEvent);
        }
        HANDLE never = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        WaitForSingleObject(never, 60000);  // the handler ends the process first
        ExitProcess(kNotInterrupted);
    }
    char self[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(nullptr, self, sizeof self), 0u);
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string command = std::string("\"") + self + "\" --gtest_filter=" +
                          test->test_suite_name() + "." + test->name();
    struct Case {
        const char* label;
        char event;
        bool twoNames;
    };
    int delivered = 0;
    for (const Case& c : {Case{"Ctrl+C, replacing", 'C', false},
                          Case{"Ctrl+C, in place", 'C', true},
                          Case{"Ctrl+Break, in place", 'B', true}}) {
        SCOPED_TRACE(c.label);
        const std::string old = "old page\r\n";
        m_dir.WriteFile("page.htm", old);
        if (c.twoNames) {
            ASSERT_TRUE(CreateHardLinkA(m_dir.Path("other.htm").c_str(),
                                        m_dir.Path("page.htm").c_str(), nullptr));
        }
        const std::string value = c.event + m_dir.Path("page.htm");
        ASSERT_TRUE(SetEnvironmentVariableA(kInterruptChild, value.c_str()));
        STARTUPINFOA start{};
        start.cb = sizeof start;
        PROCESS_INFORMATION process{};
        const bool started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0,
                                            nullptr, nullptr, &start, &process);
        SetEnvironmentVariableA(kInterruptChild, nullptr);
        ASSERT_TRUE(started);
        ASSERT_EQ(WaitForSingleObject(process.hProcess, 120000), WAIT_OBJECT_0);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        DeleteFileA(m_dir.Path("other.htm").c_str());
        if (code == kNoEvent) continue;
        ++delivered;
        EXPECT_NE(code, static_cast<DWORD>(kCannotOpen));
        EXPECT_NE(code, static_cast<DWORD>(kNotInterrupted)) << "the event never came";
        const std::string page = m_dir.ReadFile("page.htm");
        EXPECT_TRUE(page == old) << "a page of " << page.size() << " bytes";
        EXPECT_EQ(TemporaryFile(m_dir), "");
    }
    if (delivered == 0) GTEST_SKIP() << "no console events here";
}


// Another program (a browser showing the page, a virus scanner) holds the page open against
// replacing just as the new page is to take its place, and lets go a moment later: the move
// waits for it, and the run ends well.
TEST_F(Win32PageWriterTest, APageHeldForAMomentAtTheEndIsReplacedOnceLetGo) {
    auto f = OpenPageWriter(m_dir.Path("plain.url"));
    ASSERT_TRUE(f);
    f->Write("new\n");
    HANDLE held = CreateFileA(m_dir.Path("plain.url").c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread holder([held] {
        Sleep(200);
        CloseHandle(held);
    });
    const bool closed = f->Close();
    holder.join();
    EXPECT_TRUE(closed);
    EXPECT_EQ(m_dir.ReadFile("plain.url"), "new\r\n");
    EXPECT_EQ(TemporaryFile(m_dir), "");
}

}  // namespace
}  // namespace favpage
