// POSIX-only tests of TextFile: write errors, the file-size limit, and what the replacing writer
// keeps of the file it replaces.
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "platform/text_file.h"
#include "tests/unit/platform/temp_folder.h"

// While a test points this at a list, every fsync() and rename() of the program is recorded
// there with the inode it concerns, then made as usual.
std::vector<std::pair<std::string, ino_t>>* g_diskCalls = nullptr;

namespace {
ino_t InodeOf(int fd) {
    struct stat st;
    return fstat(fd, &st) == 0 ? st.st_ino : 0;
}
}  // namespace

extern "C" int fsync(int fd) {
    if (g_diskCalls) g_diskCalls->emplace_back("fsync", InodeOf(fd));
    return static_cast<int>(syscall(SYS_fsync, fd));
}

extern "C" int rename(const char* from, const char* to) noexcept {
    if (g_diskCalls) {
        struct stat st;
        g_diskCalls->emplace_back("rename", stat(from, &st) == 0 ? st.st_ino : 0);
    }
    return static_cast<int>(syscall(SYS_renameat, AT_FDCWD, from, AT_FDCWD, to));
}

namespace favpage {
namespace {

using testing::TempFolder;

TEST(TextFilePosixTest, CloseReportsAWriteThatFailed) {
    auto f = TextFile::Open("/dev/full", "wt");
    ASSERT_TRUE(f);
    f->Write("page\n");
    EXPECT_FALSE(f->Close());
    EXPECT_FALSE(f->Close()) << "the answer does not change";
}

// Runs `body` in a child whose files may not grow past `limit` bytes; returns its exit code.
template <class Body>
int RunWithFileSizeLimit(rlim_t limit, Body body) {
    const pid_t pid = fork();
    if (pid == 0) {
        signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of killing us
        struct rlimit rl = {limit, limit};
        setrlimit(RLIMIT_FSIZE, &rl);
        _exit(body());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100;
}

TEST(TextFilePosixTest, WriteFailurePartWayLeavesTheOldPage) {
    TempFolder dir;
    const std::string old = "old page\r\n";
    dir.WriteFile("page.htm", old);
    const std::string target = dir.Path("page.htm");
    const int code = RunWithFileSizeLimit(100000, [&] {
        auto f = TextFile::OpenReplacing(target);
        if (!f) return 2;
        for (int i = 0; i < 10000; ++i) f->Write("<li>some line of the page</li>\n");
        return f->Close() ? 0 : 1;
    });
    EXPECT_EQ(code, 1) << "Close() must report the failed write";
    EXPECT_EQ(dir.ReadFile("page.htm"), old);
    EXPECT_EQ(dir.EntryCount(), 1u) << "the temporary file is removed";
}

// The new page is flushed before the rename, and the folder after it, so that a power cut
// leaves the old page or the new one; it keeps the old one's permission bits.
TEST(TextFilePosixTest, ReplacementIsOnTheDiskBeforeItTakesThePlaceAndKeepsPermissionBits) {
    TempFolder dir;
    dir.WriteFile("page.htm", "old");
    ASSERT_EQ(chmod(dir.Native("page.htm").c_str(), 0640), 0);
    std::vector<std::pair<std::string, ino_t>> calls;
    auto f = TextFile::OpenReplacing(dir.Path("page.htm"));
    ASSERT_TRUE(f);
    f->Write("new");
    g_diskCalls = &calls;
    const bool closed = f->Close();
    g_diskCalls = nullptr;
    ASSERT_TRUE(closed);
    struct stat st, folder;
    ASSERT_EQ(stat(dir.Native("page.htm").c_str(), &st), 0);
    ASSERT_EQ(stat(dir.Native("").c_str(), &folder), 0);
    EXPECT_EQ(calls, (std::vector<std::pair<std::string, ino_t>>{
                         {"fsync", st.st_ino}, {"rename", st.st_ino}, {"fsync", folder.st_ino}}));
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(dir.ReadFile("page.htm"), "new");
}

TEST(TextFilePosixTest, ReplacementThroughASymbolicLinkReplacesTheFileItPointsTo) {
    TempFolder dir;
    dir.WriteFile("real.htm", "old");
    ASSERT_EQ(symlink("real.htm", dir.Native("link.htm").c_str()), 0);
    auto f = TextFile::OpenReplacing(dir.Path("link.htm"));
    ASSERT_TRUE(f);
    f->Write("new");
    ASSERT_TRUE(f->Close());
    struct stat st;
    ASSERT_EQ(lstat(dir.Native("link.htm").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link stays a link";
    EXPECT_EQ(dir.ReadFile("real.htm"), "new");
}

TEST(TextFilePosixTest, HiddenTargetIsRefusedAsWindowsWould) {
    TempFolder dir;
    dir.WriteFile(".page.htm", "old");
    EXPECT_FALSE(TextFile::OpenReplacing(dir.Path(".page.htm")));
    EXPECT_EQ(dir.ReadFile(".page.htm"), "old");
}

TEST(TextFilePosixTest, ADeviceIsWrittenInPlace) {
    auto f = TextFile::OpenReplacing("/dev/null");
    ASSERT_TRUE(f);
    f->Write("x\n");
    EXPECT_TRUE(f->Close());
    struct stat st;
    ASSERT_EQ(stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST(TextFilePosixTest, ReadingStopsAtTheLengthTheFileHadWhenOpened) {
    TempFolder dir;
    dir.WriteFile("grow.txt", "abc");
    auto f = TextFile::Open(dir.Path("grow.txt"), "r");
    ASSERT_TRUE(f);
    {
        std::ofstream more(dir.Native("grow.txt"), std::ios::binary | std::ios::app);
        more << "defg";
    }
    char buf[16];
    EXPECT_EQ(f->Read(buf, sizeof buf), 3u);
    EXPECT_EQ(f->Read(buf, sizeof buf), 0u);
}

}  // namespace
}  // namespace favpage
