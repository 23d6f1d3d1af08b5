// Tests of the input guard itself: each kind of change to a tree fails the test that made it,
// and a tree only read passes.
#include <gtest/gtest.h>
#include <gtest/gtest-spi.h>

#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/unit/engine/input_guard.h"
#include "tests/unit/engine/page_test_support.h"

namespace favpage {
namespace {

using testing::ClassicShortcut;
using testing::InputGuard;
using testing::TempFolder;

struct GuardCase {
    const char* label;
    std::function<void(const TempFolder&)> change;
};

// Same bytes back with the old times: only the change time shows it.
void RewriteAndRestoreTimes(const TempFolder& t) {
    struct stat st;
    ASSERT_EQ(stat(t.Native("Fav/a.url").c_str(), &st), 0);
    t.WriteFile("Fav/a.url", ClassicShortcut("b"));
    t.WriteFile("Fav/a.url", ClassicShortcut("a"));
    const timespec times[2] = {st.st_atim, st.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, t.Native("Fav/a.url").c_str(), times, 0), 0);
}

TEST(InputGuardTest, EveryKindOfChangeFailsTheTest) {
    const GuardCase cases[] = {
        {"bytes, same size", [](const TempFolder& t) { t.WriteFile("Fav/a.url", ClassicShortcut("b")); }},
        {"size", [](const TempFolder& t) { t.WriteFile("Fav/a.url", ClassicShortcut("aa")); }},
        {"mode", [](const TempFolder& t) { chmod(t.Native("Fav/a.url").c_str(), 0600); }},
        {"mtime only", [](const TempFolder& t) {
             const timespec times[2] = {{0, UTIME_OMIT}, {12345, 0}};
             utimensat(AT_FDCWD, t.Native("Fav/sub/b.url").c_str(), times, 0);
         }},
        {"rewritten, times restored", RewriteAndRestoreTimes},
        {"file added", [](const TempFolder& t) { t.WriteFile("Fav/sub/new.tmp", ""); }},
        {"file removed", [](const TempFolder& t) { unlink(t.Native("Fav/notes.txt").c_str()); }},
        {"link retargeted", [](const TempFolder& t) {
             unlink(t.Native("Fav/link").c_str());
             symlink("sub/b.url", t.Native("Fav/link").c_str());
         }},
        {"data inside a sparse file", [](const TempFolder& t) {
             const int fd = open(t.Native("Fav/sparse.bin").c_str(), O_WRONLY);
             pwrite(fd, "x", 1, 600000);
             close(fd);
         }},
    };
    for (const GuardCase& c : cases) {
        TempFolder t;
        t.WriteFile("Fav/a.url", ClassicShortcut("a"));
        t.WriteFile("Fav/sub/b.url", ClassicShortcut("b"));
        t.WriteFile("Fav/notes.txt", "notes");
        ASSERT_EQ(symlink("a.url", t.Native("Fav/link").c_str()), 0);
        const int fd = open(t.Native("Fav/sparse.bin").c_str(), O_WRONLY | O_CREAT, 0644);
        ASSERT_EQ(ftruncate(fd, 1 << 20), 0);
        close(fd);
        SCOPED_TRACE(c.label);
        EXPECT_NONFATAL_FAILURE(
            {
                InputGuard guard(t.Path("Fav"));
                c.change(t);
            },
            "the run changed its input");
    }
}

TEST(InputGuardTest, ReadingPassesAndDeepTreesAreRecordedWhole) {
    TempFolder t;
    // Deeper than a path may be long: 20 folders of 250 bytes.
    const std::string name(250, 'd');
    t.MakeFolder("Fav");
    // Made through descriptors, as paths this long are refused.
    int dir = open(t.Native("Fav").c_str(), O_RDONLY | O_DIRECTORY);
    for (int level = 0; level < 20; ++level) {
        mkdirat(dir, name.c_str(), 0755);
        const int next = openat(dir, name.c_str(), O_RDONLY | O_DIRECTORY);
        close(dir);
        dir = next;
    }
    const int fd = openat(dir, "deep.url", O_RDWR | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "x", 1), 1);
    {
        InputGuard guard(t.Path("Fav"));
        EXPECT_EQ(guard.EntryCount(), 22u) << "the folder, 20 below it and the file at the bottom";
        char byte;
        ASSERT_EQ(pread(fd, &byte, 1, 0), 1);  // reading changes nothing
    }
    EXPECT_NONFATAL_FAILURE(
        {
            InputGuard guard(t.Path("Fav"));
            pwrite(fd, "y", 1, 0);
        },
        "/deep.url");
    close(fd);
    close(dir);
    // TempFolder's removal cannot reach that deep; take the chain down level by level.
    std::vector<int> fds{open(t.Native("Fav").c_str(), O_RDONLY | O_DIRECTORY)};
    for (int level = 0; level < 19; ++level) {
        fds.push_back(openat(fds.back(), name.c_str(), O_RDONLY | O_DIRECTORY));
    }
    const int bottom = openat(fds.back(), name.c_str(), O_RDONLY | O_DIRECTORY);
    unlinkat(bottom, "deep.url", 0);
    close(bottom);
    for (int level = 19; level >= 0; --level) {
        unlinkat(fds[level], name.c_str(), AT_REMOVEDIR);
        close(fds[level]);
    }
}

}  // namespace
}  // namespace favpage
