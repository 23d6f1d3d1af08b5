// Fault tests of what the walk meets on the disk: entries it may not read, entries that vanish
// while it works, names it cannot address, links that loop and trees far deeper than usual.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdarg>
#include <fstream>
#include <fcntl.h>
#include <csignal>
#include <poll.h>
#include <pthread.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

#include "engine/folder_walk.h"
#include "engine/html_text.h"
#include "engine/page_output.h"
#include "tests/unit/engine/page_test_support.h"
#include "tests/unit/platform/openat_spy.h"

namespace favpage {
namespace {

using testing::ClassicShortcut;
using testing::DoneText;
using testing::Occurrences;
using testing::QuietHost;
using testing::Crlf;
using testing::GuardedRun;
using testing::InputGuard;
using testing::RunWithoutRootRights;
using testing::TempFolder;
using testing::WalkToBytes;


// Sets the kernel's rules for sticky folders (fs.protected_symlinks, protected_regular,
// protected_fifos) for one test, and gives the machine its own settings back afterwards.
class StickyFolderRules {
public:
    // The rules are the machine's: tests that change them (each runs as a process of its own,
    // maybe beside another) take turns, each saving the rules once the last has put them back.
    StickyFolderRules() {
        const std::filesystem::path lock =
            std::filesystem::temp_directory_path() / "favpage-kernel-rules.lock";
        m_lock = open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (m_lock >= 0) flock(m_lock, LOCK_EX);
        for (int i = 0; i < 3; ++i) {
            std::ifstream in(Path(i));
            if (!(in >> m_saved[i])) m_saved[i] = -1;
        }
    }
    ~StickyFolderRules() {
        for (int i = 0; i < 3; ++i) {
            if (m_saved[i] >= 0) Write(i, m_saved[i]);
        }
        if (m_lock >= 0) close(m_lock);  // and the next may take its turn
    }
    StickyFolderRules(const StickyFolderRules&) = delete;
    StickyFolderRules& operator=(const StickyFolderRules&) = delete;
    // All three at `level`; false where they cannot be set (no root, a read-only /proc/sys).
    bool Set(int level) {
        bool ok = true;
        for (int i = 0; i < 3; ++i) ok = m_saved[i] >= 0 && Write(i, level) && ok;
        return ok;
    }

private:
    static std::string Path(int i) {
        static const char* const kNames[] = {"symlinks", "regular", "fifos"};
        return std::string("/proc/sys/fs/protected_") + kNames[i];
    }
    static bool Write(int i, int level) {
        std::ofstream out(Path(i));
        out << level << "\n";
        out.flush();
        return out.good();
    }
    int m_saved[3];
    int m_lock = -1;
};

// Folders the walk may list but not enter, or enter but not list, and a page folder it may not
// write, met by an ordinary user (the unreadable file and closed folder in the page's own tests
// are in tests/unit/engine/folder_walk_test.cpp).
TEST(AccessFaultTest, FoldersThatCanBeListedOrEnteredButNotBoth) {
    TempFolder t;
    t.WriteFile("Fav/a.url", ClassicShortcut("a.htm"));
    t.WriteFile("Fav/listonly/l.url", ClassicShortcut("l.htm"));  // r-- : names, no lookups
    t.WriteFile("Fav/enteronly/e.url", ClassicShortcut("e.htm"));  // --x : no listing
    t.WriteFile("Fav/ok/o.url", ClassicShortcut("o.htm"));
    ASSERT_EQ(chmod(t.Native("Fav/listonly").c_str(), 0444), 0);
    ASSERT_EQ(chmod(t.Native("Fav/enteronly").c_str(), 0111), 0);
    t.MakeFolder("out");
    ASSERT_EQ(chown(t.Native("out").c_str(), 65534, 65534), 0);
    const std::string f = t.Path("Fav");
    const std::string output = t.Path("out/page.htm");
    InputGuard guard(f);
    const auto code = RunWithoutRootRights([] {}, [&] {
        QuietHost host;
        int32_t count = 0;
        const ConversionResult r = RunConversion(f, output, host, count);
        return r == ConversionResult::Done && host.last == DoneText(f, count) ? count : 100;
    });
    if (!code) GTEST_SKIP() << "cannot drop root rights here, and root reads everything";
    EXPECT_EQ(*code, 2) << "a.htm and o.htm only";
    const std::string page = t.ReadFile("out/page.htm");
    EXPECT_NE(page.find("<li><A HREF=\"o.htm\">o</A>"), std::string::npos);
    EXPECT_NE(page.find("<p>The folder " + f + "/enteronly has no shortcuts.<p>"), std::string::npos);
    EXPECT_NE(page.find("<p>Shortcuts in " + f + "/listonly:\r\n<ul>\r\n</ul>"), std::string::npos)
        << "names listed, none could be looked up";
    EXPECT_EQ(Occurrences(page, "<A NAME="), 3u);
}

// Pages met by an ordinary user (65534) in folders that do or do not let that user add a file.
// A page the user may not open for writing is refused before anything is written, whoever may
// write its folder. One the user may write is replaced only where the new file can be all the
// old one was (the user's own page, of the user's own group, in a folder it may add to), and
// written in place where it cannot: another user's page keeps its owner and group. Written in
// place, a page that stops fitting on the disk gets its old bytes back.
TEST(AccessFaultTest, PagesOfAnotherUserAreRefusedOrWrittenAsAnOpenForWritingWould) {
    enum Outcome { kRefused, kReplaced, kInPlace, kInPlaceFailed };
    struct Case {
        const char* label;
        mode_t folderMode;
        mode_t pageMode;
        uid_t owner;
        gid_t group;
        Outcome outcome;
    };
    const Case cases[] = {
        {"folder anyone may write", 0777, 0644, 1234, 2345, kRefused},
        {"sticky folder", 01777, 0644, 1234, 2345, kRefused},
        {"page anyone may write, folder too", 0777, 0666, 1234, 2345, kInPlace},
        {"page anyone may write, sticky folder", 01777, 0666, 1234, 2345, kInPlace},
        {"page anyone may write, folder nobody may add to", 0755, 0666, 1234, 2345, kInPlace},
        {"the same when the page stops fitting on the disk", 0755, 0666, 1234, 2345,
         kInPlaceFailed},
        {"the user's own page, folder anyone may write", 0777, 0644, 65534, 65534, kReplaced},
        {"the user's own page of a group not the user's", 0777, 0664, 65534, 2345, kInPlace},
    };
    const std::string old = "old page\r\n";
    // Another user's page in a sticky folder is written only where the kernel's rule for such
    // pages is off (its rows: PlantedEntriesInAStickyFolder... below).
    StickyFolderRules rules;
    if (!rules.Set(0)) GTEST_SKIP() << "cannot set the kernel's sticky-folder rules here";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder t;
        t.WriteFile("Fav/a.url", ClassicShortcut("a.htm"));
        t.WriteFile("pub/page.htm", old);
        const std::string page = t.Native("pub/page.htm");
        ASSERT_EQ(chown(page.c_str(), c.owner, c.group), 0);
        ASSERT_EQ(chmod(page.c_str(), c.pageMode), 0);
        ASSERT_EQ(chmod(t.Native("pub").c_str(), c.folderMode), 0);
        struct stat before;
        ASSERT_EQ(stat(page.c_str(), &before), 0);
        const std::string f = t.Path("Fav");
        const std::string output = t.Path("pub/page.htm");
        InputGuard guard(f);
        const auto code = RunWithoutRootRights(
            [&] {
                if (c.outcome != kInPlaceFailed) return;
                signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{100, RLIM_INFINITY};
                setrlimit(RLIMIT_FSIZE, &limit);
            },
            [&] {
                QuietHost host;
                int32_t count = 0;
                const ConversionResult r = RunConversion(f, output, host, count);
                if (c.outcome == kRefused) {
                    return r == ConversionResult::CannotOpen &&
                           host.last == "Unable to open " + output;
                }
                if (c.outcome == kInPlaceFailed) {
                    return r == ConversionResult::CannotWrite &&
                           host.last == "Unable to write " + output;
                }
                return r == ConversionResult::Done && host.last == DoneText(f, 1);
            });
        if (!code) GTEST_SKIP() << "cannot drop root rights here";
        EXPECT_EQ(*code, 1) << "the run ended with another result or text";
        struct stat st;
        ASSERT_EQ(stat(page.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, c.pageMode) << "the page keeps its permission bits";
        EXPECT_EQ(st.st_uid, c.owner) << "and its owner";
        EXPECT_EQ(st.st_gid, c.group) << "and its group";
        EXPECT_EQ(st.st_ino != before.st_ino, c.outcome == kReplaced)
            << "replaced, or the same file";
        const std::string text = t.ReadFile("pub/page.htm");
        if (c.outcome == kRefused || c.outcome == kInPlaceFailed) {
            EXPECT_EQ(text, old);
        } else {
            EXPECT_EQ(text.rfind("<html>\r\n", 0), 0u) << text;
            EXPECT_NE(text.find("<li><A HREF=\"a.htm\">a</A>"), std::string::npos);
            EXPECT_EQ(text.substr(text.size() - 9), "</html>\r\n");
        }
        size_t entries = 0;
        for (const auto& e : std::filesystem::directory_iterator(t.Native("pub"))) {
            (void)e;
            ++entries;
        }
        EXPECT_EQ(entries, 1u) << "no temporary file is left";
    }
}

// What another user (65534) planted as the page in a sticky folder anyone may write, met by
// root: favpage follows a link, opens an existing file or pipe, or makes a link's missing target
// only where the shell's own "echo > page" would, by the kernel's rules as they are set
// (fs.protected_symlinks, protected_regular, protected_fifos). Refused: "Unable to open", and
// nothing written anywhere. A pipe nobody reads is refused at once, whatever the rules.
TEST(AccessFaultTest, PlantedEntriesInAStickyFolderAreOpenedOnlyWhereTheSystemWould) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root, to plant another user's files";
    enum Plant { kLink, kDanglingLink, kFolderOwnersLink, kPipe, kRegularFile };
    struct Case {
        const char* label;
        Plant plant;
        int rules;     // the three protections' level
        bool written;  // the page's text arrives; else refused
    };
    const Case cases[] = {
        {"another user's link to a root-only file", kLink, 1, false},
        {"the same, the rule off", kLink, 0, true},
        {"another user's link to nothing, in a root-only folder", kDanglingLink, 1, false},
        {"the same, the rule off", kDanglingLink, 0, true},
        {"the folder owner's link", kFolderOwnersLink, 1, true},
        {"another user's pipe, nobody reading", kPipe, 1, false},
        {"the same, the rule off", kPipe, 0, false},
        {"another user's file anyone may write", kRegularFile, 1, false},
        {"the same, the rule off", kRegularFile, 0, true},
    };
    StickyFolderRules rules;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        if (!rules.Set(c.rules)) GTEST_SKIP() << "cannot set the kernel's sticky-folder rules here";
        TempFolder t;
        t.WriteFile("Fav/a.url", ClassicShortcut("a.htm"));
        t.MakeFolder("pub");
        ASSERT_EQ(chmod(t.Native("pub").c_str(), 01777), 0);
        t.MakeFolder("root-only");
        ASSERT_EQ(chmod(t.Native("root-only").c_str(), 0700), 0);
        const std::string planted = t.Native("pub/page.htm");
        std::string where = "pub/page.htm";  // where the text would arrive
        std::string before;                   // what is there before ("": nothing)
        switch (c.plant) {
        case kLink:
        case kFolderOwnersLink:
        case kDanglingLink:
            where = c.plant == kDanglingLink ? "root-only/new.conf" : "root-only/secret.conf";
            if (c.plant != kDanglingLink) {
                before = "secret\n";
                t.WriteFile(where, before);
                ASSERT_EQ(chmod(t.Native(where).c_str(), 0600), 0);
            }
            ASSERT_EQ(symlink(t.Native(where).c_str(), planted.c_str()), 0);
            if (c.plant != kFolderOwnersLink) {
                ASSERT_EQ(lchown(planted.c_str(), 65534, 65534), 0);
            }
            break;
        case kPipe:
            ASSERT_EQ(mkfifo(planted.c_str(), 0666), 0);
            ASSERT_EQ(chown(planted.c_str(), 65534, 65534), 0);
            break;
        case kRegularFile:
            before = "planted\n";
            t.WriteFile(where, before);
            ASSERT_EQ(chmod(planted.c_str(), 0666), 0);
            ASSERT_EQ(chown(planted.c_str(), 65534, 65534), 0);
            break;
        }
        const std::string f = t.Path("Fav");
        const std::string output = t.Path("pub/page.htm");
        QuietHost host;
        int32_t count = 0;
        const ConversionResult r = GuardedRun(f, output, host, count);
        if (c.written) {
            EXPECT_EQ(r, ConversionResult::Done);
            EXPECT_EQ(t.ReadFile(where).rfind("<html>\r\n", 0), 0u);
        } else {
            EXPECT_EQ(r, ConversionResult::CannotOpen);
            EXPECT_EQ(host.last, "Unable to open " + output);
            if (c.plant != kPipe) {
                EXPECT_EQ(std::filesystem::exists(t.Native(where)), !before.empty());
                EXPECT_EQ(t.ReadFile(where), before);
            }
        }
        struct stat st;
        ASSERT_EQ(lstat(planted.c_str(), &st), 0);
        EXPECT_EQ(S_ISLNK(st.st_mode), c.plant != kPipe && c.plant != kRegularFile)
            << "what was planted stays what it was";
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(t.Native("pub")),
                                std::filesystem::directory_iterator()),
                  1)
            << "no temporary file left";
    }
}

// A character device, a pipe and a socket named like shortcuts, and a link to a device, in the
// tree: none is ever opened (opening some devices acts on them: a tape rewinds), and the walk
// passes them over as files that are not shortcuts, whether it reads them itself or its
// read-ahead does.
TEST(AccessFaultTest, DevicesPipesAndSocketsInTheTreeAreNeverOpened) {
    TempFolder t;
    t.WriteFile("Fav/a.url", ClassicShortcut("a.htm"));
    if (mknod(t.Native("Fav/device.url").c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
        GTEST_SKIP() << "cannot make a device node here";
    }
    ASSERT_EQ(mkfifo(t.Native("Fav/pipe.url").c_str(), 0666), 0);
    ASSERT_EQ(symlink("/dev/zero", t.Native("Fav/zero.url").c_str()), 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = t.Native("Fav/socket.url");
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::copy(socketPath.begin(), socketPath.end(), address.sun_path);
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    close(listener);

    for (const ReadAheadMode mode : {ReadAheadMode::Never, ReadAheadMode::Always}) {
        std::vector<std::string> opened;
        g_opened = &opened;
        int32_t count = 0;
        WalkCounts walked;
        const std::string page = WalkToBytes(t.Path("Fav"), count, mode, &walked);
        g_opened = nullptr;
        EXPECT_EQ(count, 1);
        // Every file listed was looked up by the read-ahead's threads when it was on.
        EXPECT_EQ(walked.filesReadAhead, mode == ReadAheadMode::Always ? 5u : 0u);
        EXPECT_NE(page.find("<li><A HREF=\"a.htm\">a</A>"), std::string::npos) << page;
        EXPECT_EQ(std::count(opened.begin(), opened.end(), "a.url"), 1) << "the shortcut is opened";
        for (const char* name : {"device.url", "pipe.url", "zero.url", "socket.url"}) {
            EXPECT_EQ(std::count(opened.begin(), opened.end(), name), 0) << name;
        }
    }
}

// A sub-folder deleted after its parent listed it and before the walk reaches it. Files are
// looked up as their folder is listed (a listed file that is gone by then is covered in
// FolderWalkOrderTest), but sub-folders are walked only after the parent's part is written. With
// the page on a pipe and a full write buffer, that part blocks the walk until this test has
// deleted the folder and drains the pipe. (The input changes during the run on purpose: no
// input guard here.)
TEST(AccessFaultTest, FolderThatVanishesBetweenListingAndWalk) {
    TempFolder t;
    t.WriteFile("Fav/a.url", ClassicShortcut("a.htm"));
    for (const char* sub : {"A", "B", "C"})
        t.WriteFile(std::string("Fav/") + sub + "/x.url", ClassicShortcut(std::string(sub) + ".htm"));
    t.MakeFolder("out");
    ASSERT_EQ(mkfifo(t.Native("out/pipe").c_str(), 0600), 0);
    const std::string f = t.Path("Fav");

    std::string page;
    int32_t count = 0;
    // The reader first: a pipe nobody reads is no page.
    const int fd = open(t.Native("out/pipe").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK), 0);
    std::thread walker([&] {
        auto out = OpenPageWriter(t.Path("out/pipe"));
        ASSERT_TRUE(out);
        // Just under the write buffer, without a line end: nothing reaches the pipe yet.
        out->Write(std::string(256 * 1024 - 1, 'x'));
        WriteFolder(count, f, *out);
        out->Close();
    });
    pollfd p{fd, POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 30000), 1) << "the walk never wrote";
    // The walk has listed Fav and is held in its first write.
    ASSERT_EQ(unlink(t.Native("Fav/B/x.url").c_str()), 0);
    ASSERT_EQ(rmdir(t.Native("Fav/B").c_str()), 0);
    char buffer[65536];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) page.append(buffer, static_cast<size_t>(n));
    close(fd);
    walker.join();
    page = page.substr(page.find_first_not_of('x'));
    const std::string a = AnchorName(f + "/A"), b = AnchorName(f + "/B"), c = AnchorName(f + "/C");
    EXPECT_EQ(page,
              Crlf("Sub-Folders in " + f + "<ul>\n"
                   "<li><A HREF=\"#" + a + "\">" + f + "/A</A>\n"
                   "<li><A HREF=\"#" + b + "\">" + f + "/B</A>\n"
                   "<li><A HREF=\"#" + c + "\">" + f + "/C</A>\n</ul>\n"
                   "<p>Shortcuts in " + f + ":\n<ul>\n<li><A HREF=\"a.htm\">a</A>\n\n</ul>\n"
                   "<A NAME=\"" + a + "\"></A><p>Shortcuts in " + f + "/A:\n<ul>\n"
                   "<li><A HREF=\"A.htm\">x</A>\n\n</ul>\n"
                   // The folder is gone: its part says so, and the link above still leads here.
                   "<A NAME=\"" + b + "\"></A><p>The folder " + f + "/B has no shortcuts.<p>\n"
                   "<A NAME=\"" + c + "\"></A><p>Shortcuts in " + f + "/C:\n<ul>\n"
                   "<li><A HREF=\"C.htm\">x</A>\n\n</ul>\n"));
    EXPECT_EQ(count, 3);
}

// File names may hold '\' on this system, where it separates nothing: such a name is read and
// linked like any other, and never addresses another entry, even one outside the chosen folder.
TEST(AccessFaultTest, NamesHoldingABackslashAreReadLikeAnyOtherAndLeadNowhereElse) {
    TempFolder t;
    t.WriteFile("Fav/a.url", ClassicShortcut("a.htm"));
    t.WriteFile("Fav/sub/b.url", ClassicShortcut("b.htm"));
    t.WriteFile("Fav/sub\\b.url", ClassicShortcut("own.htm"));  // not sub/b.url
    t.WriteFile("Fav/..\\outside.url", ClassicShortcut("x.htm"));  // not ../outside.url
    t.WriteFile("outside.url", ClassicShortcut("outside.htm"));
    t.WriteFile("Other/secret.url", ClassicShortcut("secret.htm"));
    t.MakeFolder("Fav/..\\Other");  // not Other, beside the chosen folder
    t.WriteFile("Fav/..\\Other/inside.url", ClassicShortcut("inside.htm"));
    const std::string f = t.Path("Fav");
    int32_t count = 0;
    const std::string page = WalkToBytes(f, count);
    EXPECT_EQ(count, 5) << page;
    EXPECT_EQ(page.find("secret"), std::string::npos) << page;
    EXPECT_EQ(page.find("outside.htm"), std::string::npos) << page;
    const std::string lines[] = {"<li><A HREF=\"own.htm\">sub\\b</A>",
                                 "<li><A HREF=\"x.htm\">..\\outside</A>",
                                 "<li><A HREF=\"b.htm\">b</A>",
                                 "<p>Shortcuts in " + f + "/..\\Other:\r\n<ul>\r\n"
                                 "<li><A HREF=\"inside.htm\">inside</A>"};
    for (const std::string& line : lines) {
        EXPECT_NE(page.find(line), std::string::npos) << line << "\n" << page;
    }
}

// Runs `body` on a thread with a stack of `bytes`, in a child process so that running out of
// stack fails this test instead of ending the test program. Returns the child's exit code.
template <class Body>
int RunOnSmallStack(size_t bytes, Body body) {
    const pid_t pid = fork();
    if (pid == 0) {
        pthread_attr_t attr;
        pthread_attr_init(&attr);
        pthread_attr_setstacksize(&attr, bytes);
        pthread_t thread;
        static Body* run = &body;
        static int result = 99;
        if (pthread_create(&thread, &attr, [](void*) -> void* {
                result = (*run)();
                return nullptr;
            }, nullptr) != 0) {
            _exit(98);
        }
        pthread_join(thread, nullptr);
        _exit(result);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// A chain of 1,000 folders, each with a shortcut and, at the bottom, links back to the top and
// to itself: the walk ends, on a stack far smaller than a recursive walk of that depth needs,
// and writes every level.
TEST(AccessFaultTest, ThousandLevelsAndLinkLoopsOnASmallStack) {
    constexpr int kDepth = 1000;
    TempFolder t;
    std::string rel = "Fav";
    for (int level = 0; level < kDepth; ++level) {
        rel += "/d";
        t.MakeFolder(rel);
        t.WriteFile(rel + "/s.url", ClassicShortcut("s" + std::to_string(level)));
    }
    std::string up = ".";
    for (int level = 0; level < kDepth; ++level) up += "/..";
    ASSERT_EQ(symlink(up.c_str(), t.Native(rel + "/top").c_str()), 0);
    ASSERT_EQ(symlink(".", t.Native(rel + "/self").c_str()), 0);
    ASSERT_EQ(symlink("..", t.Native("Fav/d/d/up").c_str()), 0);

    const std::string f = t.Path("Fav");
    const std::string output = t.Path("page.htm");
    InputGuard guard(f);
    const int code = RunOnSmallStack(128 * 1024, [&] {
        QuietHost host;
        int32_t count = 0;
        const ConversionResult r = RunConversion(f, output, host, count);
        if (r != ConversionResult::Done || host.last != DoneText(f, kDepth)) return 1;
        return 0;
    });
    ASSERT_EQ(code, 0) << "the run ended badly or ran out of stack";
    const std::string page = t.ReadFile("page.htm");
    EXPECT_EQ(Occurrences(page, "<A NAME=\""), static_cast<size_t>(kDepth));
    EXPECT_EQ(Occurrences(page, "<ul>"), Occurrences(page, "</ul>"));
    EXPECT_NE(page.find("<li><A HREF=\"s999\">s</A>"), std::string::npos);
    EXPECT_EQ(page.find("/top"), std::string::npos);
    EXPECT_EQ(page.find("/self"), std::string::npos);
    EXPECT_EQ(page.find("/up"), std::string::npos);
}

}  // namespace
}  // namespace favpage
