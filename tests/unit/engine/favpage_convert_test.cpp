// Tests of the favpage-convert command line: run the built program and check its texts, exit
// codes and the page it leaves.
#include <gtest/gtest.h>

#include <algorithm>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/unit/engine/page_test_support.h"

namespace favpage {
namespace {

using testing::ClassicShortcut;
using testing::TempFolder;

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Every folder named on the command line is an input: each must come out of the run unchanged.
std::vector<std::unique_ptr<testing::InputGuard>> GuardFolders(const std::vector<std::string>& args) {
    std::vector<std::unique_ptr<testing::InputGuard>> guards;
    for (const auto& a : args) {
        std::string native = a;
        std::replace(native.begin(), native.end(), '\\', '/');
        if (std::filesystem::is_directory(native)) {
            guards.push_back(std::make_unique<testing::InputGuard>(a));
        }
    }
    return guards;
}

// Runs favpage-convert with `args`, standard input from /dev/null (no terminal), and files
// limited to `fileSizeLimit` bytes when that is not 0.
Outcome RunConvert(const std::vector<std::string>& args, rlim_t fileSizeLimit = 0) {
    const auto guards = GuardFolders(args);
    TempFolder scratch;
    const std::string outPath = scratch.Native("out").string();
    const std::string errPath = scratch.Native("err").string();
    const pid_t pid = fork();
    if (pid == 0) {
        const int in = open("/dev/null", O_RDONLY);
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        if (fileSizeLimit) {
            signal(SIGXFSZ, SIG_DFL);  // the program itself must keep the signal from killing it
            struct rlimit rl;
            getrlimit(RLIMIT_FSIZE, &rl);
            rl.rlim_cur = fileSizeLimit;
            setrlimit(RLIMIT_FSIZE, &rl);
        }
        std::vector<char*> argv{const_cast<char*>(FAVPAGE_CONVERT)};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(FAVPAGE_CONVERT, argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    Outcome o;
    o.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    o.out = scratch.ReadFile("out");
    o.err = scratch.ReadFile("err");
    return o;
}

class FavpageConvertTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir.WriteFile("Fav/a.url", ClassicShortcut("http://a/"));
        m_dir.WriteFile("Fav/sub/b.url", ClassicShortcut("http://b/"));
        m_folder = m_dir.Path("Fav");
        m_page = m_dir.Native("page.htm").string();
    }
    std::string Done(int n) const {
        return "Starting search for URLs\nDone.  Searched " + m_folder + "\n and found " +
               std::to_string(n) + " Shortcut files.\n";
    }
    TempFolder m_dir;
    std::string m_folder;
    std::string m_page;
};

TEST_F(FavpageConvertTest, ConvertsAndReportsDone) {
    const Outcome o = RunConvert({m_folder, m_page});
    EXPECT_EQ(o.exitCode, 0);
    EXPECT_EQ(o.out, Done(2));
    EXPECT_EQ(o.err, "");
    const std::string page = m_dir.ReadFile("page.htm");
    EXPECT_EQ(page.rfind("<html>\r\n", 0), 0u);
    EXPECT_NE(page.find("<li><A HREF=\"http://b/\">b</A>\r\n\r\n"), std::string::npos);
}

// The page and the bookmark file: the same checks, texts and exit codes.
const std::vector<std::vector<std::string>> kBothKinds = {{}, {"--bookmarks"}};

std::vector<std::string> With(std::vector<std::string> options,
                              const std::vector<std::string>& args) {
    options.insert(options.end(), args.begin(), args.end());
    return options;
}

TEST_F(FavpageConvertTest, ExistingOutputNeedsYesWithoutATerminal) {
    for (const auto& kind : kBothKinds) {
        m_dir.WriteFile("page.htm", "old");
        const Outcome declined = RunConvert(With(kind, {m_folder, m_page}));
        EXPECT_EQ(declined.exitCode, 3);
        EXPECT_EQ(declined.out, "Starting search for URLs\n");
        EXPECT_NE(declined.err.find("--yes"), std::string::npos);
        EXPECT_EQ(m_dir.ReadFile("page.htm"), "old");

        for (const char* option : {"--yes", "-y"}) {
            m_dir.WriteFile("page.htm", "old");
            const Outcome yes = RunConvert(With(kind, {option, m_folder, m_page}));
            EXPECT_EQ(yes.exitCode, 0) << option;
            EXPECT_EQ(yes.out, Done(2)) << option;
            const std::string start = kind.empty() ? "<html>\r\n" : "<!DOCTYPE NETSCAPE";
            EXPECT_EQ(m_dir.ReadFile("page.htm").rfind(start, 0), 0u) << option;
        }
    }
}

// The reason a run failed goes to standard error, where a script that keeps the output shows it.
TEST_F(FavpageConvertTest, FailuresExitWithOne) {
    m_dir.MakeFolder("dir.htm");
    const std::string missing = m_dir.Path("missing");
    const std::string dirPage = m_dir.Native("dir.htm").string();
    const struct {
        std::vector<std::string> args;
        std::string err;
    } kFailures[] = {
        {{missing, m_page}, "Unable to find directory\n " + missing + "\n"},
        {{m_folder, dirPage}, "Unable to open " + dirPage + "\n"},
        {{"--yes", m_folder, "/dev/full"}, "Unable to write /dev/full\n"},  // a device exists: --yes
    };
    for (const auto& kind : kBothKinds) {
        for (const auto& failure : kFailures) {
            const Outcome o = RunConvert(With(kind, failure.args));
            EXPECT_EQ(o.exitCode, 1) << failure.err;
            EXPECT_EQ(o.out, "Starting search for URLs\n");
            EXPECT_EQ(o.err, failure.err);
        }
    }
    EXPECT_FALSE(std::filesystem::exists(m_page));
}

TEST_F(FavpageConvertTest, FileSizeLimitEndsInAWriteErrorAndKeepsTheOldPage) {
    for (int i = 0; i < 300; ++i) {
        m_dir.WriteFile("Fav/l" + std::to_string(i) + ".url",
                        ClassicShortcut("http://x/" + std::string(100, 'p')));
    }
    m_dir.WriteFile("page.htm", "old");
    for (const auto& kind : kBothKinds) {
        const Outcome o = RunConvert(With(kind, {"--yes", m_folder, m_page}), 8192);
        EXPECT_EQ(o.exitCode, 1);
        EXPECT_EQ(o.out, "Starting search for URLs\n");
        EXPECT_EQ(o.err, "Unable to write " + m_page + "\n");
        EXPECT_EQ(m_dir.ReadFile("page.htm"), "old");
    }
}

// Sets the modification time of every entry below `root` (links themselves, not their targets)
// to `seconds` plus its place in `order`, so each date in the file tells which entry it came
// from. Files first: making them changed their folders' times.
void FixTimes(const TempFolder& root, const std::vector<std::string>& order, time_t seconds) {
    for (size_t i = order.size(); i-- > 0;) {
        const timespec t{seconds + static_cast<time_t>(i), 0};
        const timespec times[2] = {t, t};
        ASSERT_EQ(utimensat(AT_FDCWD, root.Native(order[i]).c_str(), times, AT_SYMLINK_NOFOLLOW),
                  0) << order[i];
    }
}

TEST_F(FavpageConvertTest, BookmarksHoldTheTreeFolderByFolder) {
    TempFolder t;
    t.WriteFile("My Favs/Zeta.url", ClassicShortcut("http://z/?a=1&b=\"2\""));
    t.WriteFile("My Favs/R&D <new>.url", ClassicShortcut("http://r/"));
    t.WriteFile("My Favs/Caf\xE9.url", ClassicShortcut("http://caf\xE9.example/"));  // 1252
    t.WriteFile("My Favs/\xCE\xA8 \xE6\x9C\xAC.url", ClassicShortcut("http://psi/"));  // UTF-8
    t.WriteFile("My Favs/notes.txt", "no shortcut");
    t.WriteFile("My Favs/Sub/b.url", ClassicShortcut("http://b/"));
    t.MakeFolder("My Favs/Sub/Deeper/Empty");
    t.MakeFolder("My Favs/Tools");
    ASSERT_EQ(symlink("../Sub", t.Native("My Favs/Tools/Sub again").c_str()), 0);
    ASSERT_EQ(symlink(".", t.Native("My Favs/Loop").c_str()), 0);
    FixTimes(t, {"My Favs", "My Favs/Zeta.url", "My Favs/R&D <new>.url", "My Favs/Caf\xE9.url",
                 "My Favs/\xCE\xA8 \xE6\x9C\xAC.url", "My Favs/Sub", "My Favs/Sub/b.url",
                 "My Favs/Sub/Deeper", "My Favs/Sub/Deeper/Empty", "My Favs/Tools"},
             1000000000);

    const Outcome o = RunConvert({"--bookmarks", t.Path("My Favs"), m_page});
    EXPECT_EQ(o.exitCode, 0);
    EXPECT_EQ(o.out, "Starting search for URLs\nDone.  Searched " + t.Path("My Favs") +
                         "\n and found 5 Shortcut files.\n");
    // Sub-folders first, then links, each in the page's order (bytes past ASCII first); Sub once,
    // where it was listed first; Loop not at all; the 1252 name and address read as UTF-8.
    const std::string file = m_dir.ReadFile("page.htm");
    EXPECT_EQ(file, testing::Crlf(R"(<!DOCTYPE NETSCAPE-Bookmark-file-1>
<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">
<TITLE>Bookmarks</TITLE>
<H1>Bookmarks</H1>
<DL><p>
    <DT><H3 ADD_DATE="1000000000" LAST_MODIFIED="1000000000">My Favs</H3>
    <DL><p>
        <DT><H3 ADD_DATE="1000000005" LAST_MODIFIED="1000000005">Sub</H3>
        <DL><p>
            <DT><H3 ADD_DATE="1000000007" LAST_MODIFIED="1000000007">Deeper</H3>
            <DL><p>
                <DT><H3 ADD_DATE="1000000008" LAST_MODIFIED="1000000008">Empty</H3>
                <DL><p>
                </DL><p>
            </DL><p>
            <DT><A HREF="http://b/" ADD_DATE="1000000006" LAST_MODIFIED="1000000006">b</A>
        </DL><p>
        <DT><H3 ADD_DATE="1000000009" LAST_MODIFIED="1000000009">Tools</H3>
        <DL><p>
        </DL><p>
        <DT><A HREF="http://psi/" ADD_DATE="1000000004" LAST_MODIFIED="1000000004">Ψ 本</A>
        <DT><A HREF="http://café.example/" ADD_DATE="1000000003" LAST_MODIFIED="1000000003">Café</A>
        <DT><A HREF="http://r/" ADD_DATE="1000000002" LAST_MODIFIED="1000000002">R&amp;D &lt;new&gt;</A>
        <DT><A HREF="http://z/?a=1&amp;b=&quot;2&quot;" ADD_DATE="1000000001" LAST_MODIFIED="1000000001">Zeta</A>
    </DL><p>
</DL><p>
)"));
    // The folder named by the path, not by its last component "..".
    EXPECT_EQ(RunConvert({"--yes", "--bookmarks", t.Path("My Favs/Sub/.."), m_page}).exitCode, 0);
    EXPECT_EQ(m_dir.ReadFile("page.htm"), file);
}

TEST_F(FavpageConvertTest, UsageHelpAndVersion) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {}, {m_folder}, {m_folder, m_page, "extra"}, {"--bogus", m_folder, m_page}}) {
        const Outcome o = RunConvert(args);
        EXPECT_EQ(o.exitCode, 2);
        EXPECT_EQ(o.out, "");
        EXPECT_NE(o.err.find("usage: favpage-convert"), std::string::npos);
    }
    Outcome o = RunConvert({"--help"});
    EXPECT_EQ(o.exitCode, 0);
    EXPECT_EQ(o.out.rfind("usage: favpage-convert", 0), 0u);
    EXPECT_NE(o.out.find("--bookmarks"), std::string::npos);
    o = RunConvert({"--version"});
    EXPECT_EQ(o.exitCode, 0);
    EXPECT_EQ(o.out.rfind("favpage-convert ", 0), 0u);
    EXPECT_FALSE(std::filesystem::exists(m_page));
}

// Runs favpage-convert on a pseudo-terminal, answers the question with `answer` once it shows.
Outcome RunOnTerminal(const std::vector<std::string>& args, const std::string& answer) {
    const auto guards = GuardFolders(args);
    int master = -1;
    const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
    if (pid == 0) {
        std::vector<char*> argv{const_cast<char*>(FAVPAGE_CONVERT)};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(FAVPAGE_CONVERT, argv.data());
        _exit(127);
    }
    Outcome o;
    bool answered = false;
    char buf[1024];
    for (;;) {
        pollfd p{master, POLLIN, 0};
        if (poll(&p, 1, 10000) <= 0) break;  // a hang fails the test below, not the run
        const ssize_t n = read(master, buf, sizeof buf);
        if (n <= 0) break;
        o.out.append(buf, static_cast<size_t>(n));
        if (!answered && o.out.find("[y/N] ") != std::string::npos) {
            const std::string line = answer + "\n";
            EXPECT_EQ(write(master, line.data(), line.size()), static_cast<ssize_t>(line.size()));
            answered = true;
        }
    }
    close(master);
    int status = 0;
    waitpid(pid, &status, 0);
    o.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return o;
}

TEST_F(FavpageConvertTest, TheQuestionIsAskedOnATerminal) {
    m_dir.WriteFile("page.htm", "old");
    Outcome o = RunOnTerminal({m_folder, m_page}, "n");
    EXPECT_EQ(o.exitCode, 3);
    EXPECT_NE(o.out.find("Output file already exists,\r\ndo you want to overwrite? [y/N] "),
              std::string::npos) << o.out;
    EXPECT_EQ(m_dir.ReadFile("page.htm"), "old");

    o = RunOnTerminal({m_folder, m_page}, "y");
    EXPECT_EQ(o.exitCode, 0) << o.out;
    EXPECT_NE(o.out.find("and found 2 Shortcut files."), std::string::npos);
    EXPECT_NE(m_dir.ReadFile("page.htm"), "old");
}

}  // namespace
}  // namespace favpage
