// tests/unit/engine/page_test_support.h: helpers to run the walk into a page and compare bytes.
#pragma once
#include <optional>
#include <csignal>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "engine/conversion_run.h"
#include "engine/folder_walk.h"
#include "platform/text_file.h"
#include "tests/unit/engine/input_guard.h"
#include "tests/unit/platform/temp_folder.h"

namespace favpage::testing {

// The bytes a text becomes on disk: every LF stored as CR LF.
inline std::string Crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// Runs WriteFolder on `folder` into a fresh file, its files read as `readAhead` says, and returns
// the bytes written; `counts`, when given, receives what the walk counted. The folder's tree must
// come out of the walk unchanged.
inline std::string WalkToBytes(const std::string& folder, int32_t& count,
                               ReadAheadMode readAhead = ReadAheadMode::Auto,
                               WalkCounts* counts = nullptr) {
    InputGuard guard(folder);
    TempFolder out;
    auto page = TextFile::Open(out.Path("page.htm"), "wt");
    EXPECT_TRUE(page);
    if (!page) return {};
    const WalkCounts walked = WriteFolder(count, folder, *page, readAhead);
    if (counts) *counts = walked;
    EXPECT_TRUE(page->Close());
    return out.ReadFile("page.htm");
}

// A walk test run twice: with every file read by the walk itself, and with the whole tree read
// ahead on threads from the first folder on. Either way the walk writes the same page; Walk
// checks that the read-ahead delivered the files it found.
class BothReadsTest : public ::testing::TestWithParam<ReadAheadMode> {
public:
    static std::string Name(const ::testing::TestParamInfo<ReadAheadMode>& info) {
        return info.param == ReadAheadMode::Never ? "ReadByTheWalk" : "ReadAhead";
    }

protected:
    std::string Walk(const std::string& folder, int32_t& count) {
        WalkCounts counts;
        std::string page = WalkToBytes(folder, count, GetParam(), &counts);
        if (GetParam() == ReadAheadMode::Never) {
            EXPECT_EQ(counts.filesReadAhead + counts.filesReadOnThreads, 0u);
        } else if (count > 0) {
            EXPECT_GT(counts.filesReadAhead, 0u) << "the files came through the read-ahead";
        }
        return page;
    }
};
#define FAVPAGE_BOTH_READS(suite)                                                           \
    INSTANTIATE_TEST_SUITE_P(Reads, suite,                                                  \
                             ::testing::Values(ReadAheadMode::Never, ReadAheadMode::Always), \
                             ::favpage::testing::BothReadsTest::Name)

// RunConversion, with the folder's tree checked unchanged afterwards.
inline ConversionResult GuardedRun(const std::string& folder, const std::string& output,
                                   ConversionHost& host, int32_t& count) {
    InputGuard guard(folder);
    return RunConversion(folder, output, host, count);
}

// Runs `body` in a forked child after it gave up root's rights (user and group 65534), so it
// meets permissions the way an ordinary user does; `beforeDrop` runs first, still as root, in
// the same child. Returns the child's exit code (what `body` returned), or nothing when the
// rights could not be dropped or the child did not exit normally.
template <class BeforeDrop, class Body>
std::optional<int> RunWithoutRootRights(BeforeDrop beforeDrop, Body body) {
    const pid_t pid = fork();
    if (pid == 0) {
        beforeDrop();
        if (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(77);
        _exit(body());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 77) return std::nullopt;
    return WEXITSTATUS(status);
}

// Runs `body` in a forked child whose files may grow to `limit` bytes at most, with SIGXFSZ
// ignored so that a write past it fails instead of ending the child. Returns the child's exit
// code (what `body` returned), or nothing when the child did not exit normally.
template <class Body>
std::optional<int> RunWithFileSizeLimit(rlim_t limit, Body body) {
    const pid_t pid = fork();
    if (pid == 0) {
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit rl;
        getrlimit(RLIMIT_FSIZE, &rl);
        rl.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &rl);
        _exit(body());
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return std::nullopt;
    return WEXITSTATUS(status);
}

// Runs the walk in a child that cannot read what root could; returns the page, or nothing when
// the child could not drop its rights. The count comes back through the exit code (below 77).
inline std::optional<std::string> WalkWithoutRootRights(const std::string& folder, int32_t& count,
                                                        ReadAheadMode readAhead = ReadAheadMode::Auto) {
    InputGuard guard(folder);
    TempFolder out;
    const std::string page = out.Path("page.htm");
    std::unique_ptr<TextFile> f;
    const auto code = RunWithoutRootRights([&] { f = TextFile::Open(page, "wt"); },
                                           [&] {
                                               int32_t n = 0;
                                               WriteFolder(n, folder, *f, readAhead);
                                               f->Close();
                                               return static_cast<int>(n);
                                           });
    if (!code) return std::nullopt;
    count = *code;
    return out.ReadFile("page.htm");
}

// A classic two-line shortcut file.
inline std::string ClassicShortcut(const std::string& url) {
    return "[InternetShortcut]\r\nURL=" + url + "\r\n";
}

// A host that answers Yes, reads a fixed clock and keeps the last status text.
class QuietHost : public ConversionHost {
public:
    void ShowStatus(const std::string& text) override { last = text; }
    bool ConfirmOverwrite() override { return true; }
    LocalTime ReadClock() override { return LocalTime{}; }
    std::string last;
};

inline std::string DoneText(const std::string& folder, int n) {
    return "Done.  Searched " + folder + "\n and found " + std::to_string(n) + " Shortcut files.";
}

inline size_t Occurrences(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

}  // namespace favpage::testing
