// POSIX-only tests of the page's writer: the file-size limit, what it keeps of the page it
// replaces, links to it, its folder moved during the run, and interrupts. (TextFile's own:
// tests/unit/platform/text_file_posix_test.cpp.)
#include <gtest/gtest.h>

#include <cstdarg>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "engine/folder_walk.h"
#include "engine/page_output.h"
#include "platform/interrupt.h"
#include "platform/text_file.h"
#include "tests/unit/engine/page_test_support.h"
#include "tests/unit/platform/openat_spy.h"
#include "tests/unit/platform/temp_folder.h"

// While a test points this at a list, every fsync() and renameat() of the program is recorded
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


extern "C" int renameat(int fromFolder, const char* from, int toFolder, const char* to) noexcept {
    if (g_diskCalls) {
        struct stat st;
        g_diskCalls->emplace_back("rename",
                                  fstatat(fromFolder, from, &st, 0) == 0 ? st.st_ino : 0);
    }
    return static_cast<int>(syscall(SYS_renameat, fromFolder, from, toFolder, to));
}

namespace favpage {
namespace {

using testing::TempFolder;

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
        auto f = OpenPageWriter(target);
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
    auto f = OpenPageWriter(dir.Path("page.htm"));
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

// The stored form of a POSIX ACL: owner rw, the user 65534 rw, owning group r, mask rw,
// others nothing (setfacl -m u:65534:rw on a 0640 file).
std::string AclGrantingUser65534() {
    const uint16_t kUserObj = 0x01, kUser = 0x02, kGroupObj = 0x04, kMask = 0x10, kOther = 0x20;
    const struct { uint16_t tag, perm; uint32_t id; } entries[] = {
        {kUserObj, 6, 0xFFFFFFFF}, {kUser, 6, 65534}, {kGroupObj, 4, 0xFFFFFFFF},
        {kMask, 6, 0xFFFFFFFF}, {kOther, 0, 0xFFFFFFFF}};
    std::string acl(4, '\0');
    const uint32_t version = 2;
    std::memcpy(acl.data(), &version, 4);
    for (const auto& e : entries) {
        char entry[8];
        std::memcpy(entry, &e.tag, 2);
        std::memcpy(entry + 2, &e.perm, 2);
        std::memcpy(entry + 4, &e.id, 4);
        acl.append(entry, 8);
    }
    return acl;
}

std::string Attribute(const std::string& path, const char* name) {
    char value[256];
    const ssize_t n = getxattr(path.c_str(), name, value, sizeof value);
    return n < 0 ? "<none>" : std::string(value, static_cast<size_t>(n));
}

// A page with an ACL that lets another user write it and an attribute of its own: the temporary
// file is made readable by its owner alone, and the new page has the old one's ACL, attribute
// and permission bits byte for byte, so that user may still write it and the owning group still
// may not.
TEST(TextFilePosixTest, TemporaryFileIsPrivateAndTheNewPageKeepsAclAndAttributes) {
    TempFolder dir;
    dir.WriteFile("page.htm", "old");
    const std::string page = dir.Native("page.htm");
    ASSERT_EQ(chmod(page.c_str(), 0640), 0);
    const std::string acl = AclGrantingUser65534();
    const std::string note("a note\0with a zero byte", 23);
    if (setxattr(page.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) != 0 ||
        setxattr(page.c_str(), "user.note", note.data(), note.size(), 0) != 0) {
        GTEST_SKIP() << "no ACLs or user attributes on this file system";
    }
    struct stat before;
    ASSERT_EQ(stat(page.c_str(), &before), 0);
    ASSERT_EQ(before.st_mode & 07777, 0660u) << "the ACL's mask shows as the group bits";

    std::vector<mode_t> created;
    g_createModes = &created;
    auto f = OpenPageWriter(dir.Path("page.htm"));
    g_createModes = nullptr;
    ASSERT_TRUE(f);
    EXPECT_EQ(created, std::vector<mode_t>{0600}) << "made private, then given the page's rights";
    f->Write("new");
    ASSERT_TRUE(f->Close());

    struct stat after;
    ASSERT_EQ(stat(page.c_str(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino) << "replaced";
    EXPECT_EQ(after.st_mode & 07777, 0660u);
    EXPECT_EQ(Attribute(page, "system.posix_acl_access"), acl);
    EXPECT_EQ(Attribute(page, "user.note"), note);
    EXPECT_EQ(dir.ReadFile("page.htm"), "new");
    const pid_t pid = fork();
    if (pid == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(77);
        const int fd = open(page.c_str(), O_WRONLY);
        _exit(fd >= 0 ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "cannot drop root rights here";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the user the ACL names may still write the page";
}

// Makes "page.htm" the first of `count` symbolic links in a row, the last leading to real.htm.
void MakeLinkChain(const TempFolder& dir, int count) {
    dir.WriteFile("real.htm", "old");
    for (int i = count; i >= 1; --i) {
        const std::string to = i == count ? "real.htm" : "l" + std::to_string(i + 1);
        const std::string name = i == 1 ? "page.htm" : "l" + std::to_string(i);
        ASSERT_EQ(symlink(to.c_str(), dir.Native(name).c_str()), 0);
    }
}

// Links to the page stay what they are. A symbolic link is followed to its final target, which
// is replaced, or made when it is missing, through as many links as the system follows (40) and
// no more; a page with two names is written in place, so both names keep naming it.
TEST(TextFilePosixTest, LinksToThePageStayLinks) {
    struct Case {
        const char* label;
        void (*make)(const TempFolder& dir);  // makes "page.htm" and what it leads to
        const char* written;                  // where the text must arrive; nullptr: refused
        bool link;                            // page.htm stays a symbolic link
        nlink_t names;                        // names of the written file afterwards
    };
    const Case cases[] = {
        {"live symbolic link",
         [](const TempFolder& dir) {
             dir.WriteFile("real.htm", "old");
             ASSERT_EQ(symlink("real.htm", dir.Native("page.htm").c_str()), 0);
         },
         "real.htm", true, 1},
        {"dangling symbolic links, two in a row",
         [](const TempFolder& dir) {
             dir.MakeFolder("sub");
             ASSERT_EQ(symlink("sub/middle.htm", dir.Native("page.htm").c_str()), 0);
             ASSERT_EQ(symlink("real.htm", dir.Native("sub/middle.htm").c_str()), 0);
         },
         "sub/real.htm", true, 1},
        {"two hard links",
         [](const TempFolder& dir) {
             dir.WriteFile("page.htm", "old page, longer than the new one");
             ASSERT_EQ(link(dir.Native("page.htm").c_str(), dir.Native("real.htm").c_str()), 0);
         },
         "real.htm", false, 2},
        {"forty symbolic links in a row", [](const TempFolder& dir) { MakeLinkChain(dir, 40); },
         "real.htm", true, 1},
        {"forty-one symbolic links in a row",
         [](const TempFolder& dir) { MakeLinkChain(dir, 41); }, nullptr, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder dir;
        c.make(dir);
        const size_t entries = dir.EntryCount();
        auto f = OpenPageWriter(dir.Path("page.htm"));
        if (!c.written) {
            EXPECT_FALSE(f) << "the system follows no more links";
            EXPECT_EQ(dir.ReadFile("real.htm"), "old");
            continue;
        }
        ASSERT_TRUE(f);
        f->Write("new\n");
        ASSERT_TRUE(f->Close());
        struct stat st;
        ASSERT_EQ(lstat(dir.Native("page.htm").c_str(), &st), 0);
        EXPECT_EQ(S_ISLNK(st.st_mode), c.link);
        EXPECT_EQ(dir.ReadFile(c.written), "new\r\n");
        ASSERT_EQ(stat(dir.Native(c.written).c_str(), &st), 0);
        EXPECT_EQ(st.st_nlink, c.names);
        EXPECT_EQ(dir.EntryCount(), entries) << "nothing left beside the page";
    }
}

// SIGINT (Ctrl+C) and SIGTERM while a page is being written, replaced or in place (a page with
// two names), also while a walk's threads list and read the tree ahead of it: the process ends
// by the signal, and leaves the old page and nothing else.
TEST(TextFilePosixTest, InterruptedWriterLeavesTheOldPageAndNothingElse) {
    struct Case {
        int signal;
        bool twoNames;
        bool walking;  // the signal comes while the walk reads ahead
    };
    TempFolder tree;
    for (int f = 0; f < 60; ++f) {
        for (int i = 0; i < 6; ++i) {
            tree.WriteFile("Fav/f" + std::to_string(f) + "/g/" + std::to_string(i) + ".url",
                           testing::ClassicShortcut("http://x/" + std::to_string(i)));
        }
    }
    for (const Case c : {Case{SIGINT, false, false}, Case{SIGTERM, true, false},
                         Case{SIGINT, false, true}}) {
        SCOPED_TRACE(strsignal(c.signal) + std::string(c.walking ? ", walking" : ""));
        TempFolder dir;
        const std::string old = "old page\r\n";
        dir.WriteFile("page.htm", old);
        if (c.twoNames) {
            ASSERT_EQ(link(dir.Native("page.htm").c_str(), dir.Native("other.htm").c_str()), 0);
        }
        const size_t entries = dir.EntryCount();
        int written[2], hold[2];
        ASSERT_EQ(pipe(written), 0);
        ASSERT_EQ(pipe(hold), 0);
        const pid_t pid = fork();
        if (pid == 0) {
            // As a shell's foreground job gets them, whatever this test process was given.
            for (int s : {SIGINT, SIGTERM, SIGHUP}) signal(s, SIG_DFL);
            CleanUpWritesOnInterrupt();
            auto f = OpenPageWriter(dir.Path("page.htm"));
            if (!f) _exit(1);
            f->Write(std::string(1 << 20, 'x'));  // more than the buffer: it reaches the disk
            if (write(written[1], "w", 1) != 1) _exit(2);
            for (int32_t count = 0; c.walking;) {  // walk after walk, until the signal comes
                WriteFolder(count, tree.Path("Fav"), *f, ReadAheadMode::Always);
            }
            char byte;
            while (read(hold[0], &byte, 1) != 0) {  // until the signal comes
            }
            _exit(3);
        }
        char byte = 0;
        ASSERT_EQ(read(written[0], &byte, 1), 1) << "the child wrote nothing";
        ASSERT_EQ(kill(pid, c.signal), 0);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        for (int fd : {written[0], written[1], hold[0], hold[1]}) close(fd);
        ASSERT_TRUE(WIFSIGNALED(status)) << "ended by the signal, as a shell expects";
        EXPECT_EQ(WTERMSIG(status), c.signal);
        EXPECT_EQ(dir.ReadFile("page.htm"), old);
        EXPECT_EQ(dir.EntryCount(), entries) << "no temporary file left";
    }
}

// The page's folder is moved away while the page is written, or moved and a link to another
// folder put in its place: every step on the temporary file goes through the folder held from
// the start, so the new page lands in that folder, wherever it went, or the run leaves it as it
// was; no temporary file is left anywhere, and no other folder receives one.
TEST(TextFilePosixTest, AFolderMovedDuringTheRunKeepsNoTemporaryFileAndReceivesNone) {
    struct Case {
        const char* label;
        bool swapped;  // a link to another folder takes the folder's old name
        bool finish;   // the run ends well, or fails
    };
    for (const Case c : {Case{"moved, finished", false, true}, Case{"moved, failed", false, false},
                         Case{"swapped, finished", true, true},
                         Case{"swapped, failed", true, false}}) {
        SCOPED_TRACE(c.label);
        TempFolder dir;
        dir.WriteFile("out/page.htm", "old");
        dir.MakeFolder("elsewhere");
        auto f = OpenPageWriter(dir.Path("out/page.htm"));
        ASSERT_TRUE(f);
        f->Write(std::string(1 << 20, 'x'));  // past the buffer: in the temporary file already
        ASSERT_EQ(rename(dir.Native("out").c_str(), dir.Native("moved").c_str()), 0);
        if (c.swapped) {
            ASSERT_EQ(symlink("elsewhere", dir.Native("out").c_str()), 0);
        }
        if (c.finish) {
            f->Write("new\n");
            EXPECT_TRUE(f->Close());
        }
        f.reset();
        const std::string page = dir.ReadFile("moved/page.htm");
        EXPECT_EQ(page.size(), c.finish ? (1u << 20) + 5 : 3u);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Native("moved")),
                                std::filesystem::directory_iterator()),
                  1);
        EXPECT_TRUE(std::filesystem::is_empty(dir.Native("elsewhere")));
        EXPECT_EQ(dir.EntryCount(), c.swapped ? 3u : 2u) << "moved, elsewhere (and the link)";
    }
}

TEST(TextFilePosixTest, HiddenTargetIsRefusedAsWindowsWould) {
    TempFolder dir;
    dir.WriteFile(".page.htm", "old");
    EXPECT_FALSE(OpenPageWriter(dir.Path(".page.htm")));
    EXPECT_EQ(dir.ReadFile(".page.htm"), "old");
}

TEST(TextFilePosixTest, ADeviceIsWrittenInPlace) {
    auto f = OpenPageWriter("/dev/null");
    ASSERT_TRUE(f);
    f->Write("x\n");
    EXPECT_TRUE(f->Close());
    struct stat st;
    ASSERT_EQ(stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
}

}  // namespace
}  // namespace favpage
