// Tests of the favpage-convert command line: run the built program and check its texts, exit
// codes and the page it leaves.
#include <gtest/gtest.h>

#include <algorithm>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <csignal>
#include <sys/resource.h>
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

TEST_F(FavpageConvertTest, ExistingPageNeedsYesWithoutATerminal) {
    m_dir.WriteFile("page.htm", "old");
    const Outcome declined = RunConvert({m_folder, m_page});
    EXPECT_EQ(declined.exitCode, 3);
    EXPECT_EQ(declined.out, "Starting search for URLs\n");
    EXPECT_NE(declined.err.find("--yes"), std::string::npos);
    EXPECT_EQ(m_dir.ReadFile("page.htm"), "old");

    for (const char* option : {"--yes", "-y"}) {
        m_dir.WriteFile("page.htm", "old");
        const Outcome yes = RunConvert({option, m_folder, m_page});
        EXPECT_EQ(yes.exitCode, 0) << option;
        EXPECT_EQ(yes.out, Done(2)) << option;
        EXPECT_NE(m_dir.ReadFile("page.htm"), "old") << option;
    }
}

TEST_F(FavpageConvertTest, FailuresExitWithOne) {
    const std::string missing = m_dir.Path("missing");
    Outcome o = RunConvert({missing, m_page});
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_EQ(o.out, "Starting search for URLs\nUnable to find directory\n " + missing + "\n");

    m_dir.MakeFolder("dir.htm");
    const std::string dirPage = m_dir.Native("dir.htm").string();
    o = RunConvert({m_folder, dirPage});
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_EQ(o.out, "Starting search for URLs\nUnable to open " + dirPage + "\n");

    o = RunConvert({"--yes", m_folder, "/dev/full"});  // a device exists, hence --yes
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_EQ(o.out, "Starting search for URLs\nUnable to write /dev/full\n");
}

TEST_F(FavpageConvertTest, FileSizeLimitEndsInAWriteErrorAndKeepsTheOldPage) {
    for (int i = 0; i < 300; ++i) {
        m_dir.WriteFile("Fav/l" + std::to_string(i) + ".url",
                        ClassicShortcut("http://x/" + std::string(100, 'p')));
    }
    m_dir.WriteFile("page.htm", "old");
    const Outcome o = RunConvert({"--yes", m_folder, m_page}, 8192);
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_EQ(o.out, "Starting search for URLs\nUnable to write " + m_page + "\n");
    EXPECT_EQ(m_dir.ReadFile("page.htm"), "old");
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
