// Tests of the conversion run: the order of its checks, the page head and tail, the outcome
// texts, and that a failed run never damages an existing page.
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "engine/conversion_run.h"
#include "tests/unit/engine/page_test_support.h"

namespace favpage {
namespace {

using testing::ClassicShortcut;
using testing::Crlf;
using testing::GuardedRun;
using testing::InputGuard;
using testing::RunWithFileSizeLimit;
using testing::RunWithoutRootRights;
using testing::TempFolder;

// Records everything the run asks of its host, in order.
class RecordingHost : public ConversionHost {
public:
    explicit RecordingHost(bool answer = true) : m_answer(answer) {}
    void ShowStatus(const std::string& text) override { events.push_back("status:" + text); }
    bool ConfirmOverwrite() override {
        events.push_back("ask");
        return m_answer;
    }
    LocalTime ReadClock() override {
        events.push_back("clock");
        return LocalTime{2026, 12, 7, 1, 3, 28, 41};  // Mon Dec 07 03:28:41 2026
    }
    std::vector<std::string> events;

private:
    bool m_answer;
};

const char* const kStart = "status:Starting search for URLs";

std::string Head(const std::string& folderInPage) {
    return "<html>\n<head>\n"
           "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=utf-8\">\n"
           "<TITLE>Favorite Web Pages</TITLE>\n</head>\n<body>\n"
           "<!--HTML file created by FAVPAGE-->\n"
           "<!--Get the latest version from the favpage project page-->\n"
           "<!--favpage is freeware, written by Vandrell-->\n"
           "<h1>Favorite Web Pages</h1>\n"
           "<p>Shortcuts converted to HTML Links are from: <br>\n" +
           folderInPage + "<br>On Mon Dec 07 03:28:41 2026\n</p>";
}

TEST(ConversionRunTest, WholePageOfAnEmptyFolderWithAFixedClock) {
    TempFolder t;
    t.MakeFolder("Fav");
    const std::string f = t.Path("Fav");
    RecordingHost host;
    int32_t count = 99;
    EXPECT_EQ(GuardedRun(f, t.Path("page.htm"), host, count), ConversionResult::Done);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(t.ReadFile("page.htm"),
              Crlf(Head(f) + "<p>The folder " + f + " has no shortcuts.<p>\n</body>\n</html>\n"));
    EXPECT_EQ(host.events, (std::vector<std::string>{
                               kStart, "clock",
                               "status:Done.  Searched " + f + "\n and found 0 Shortcut files."}));
}

TEST(ConversionRunTest, BodyFollowsTheHeadAndTheCountIsReported) {
    TempFolder t;
    t.WriteFile("Fav/a.url", ClassicShortcut("http://a/"));
    t.WriteFile("Fav/sub/b.url", ClassicShortcut("http://b/"));
    const std::string f = t.Path("Fav");
    RecordingHost host;
    int32_t count = 0;
    ASSERT_EQ(GuardedRun(f, t.Path("page.htm"), host, count), ConversionResult::Done);
    EXPECT_EQ(count, 2);
    const std::string page = t.ReadFile("page.htm");
    EXPECT_EQ(page.rfind(Crlf(Head(f) + "Sub-Folders in " + f + "<ul>\n"), 0), 0u);
    const std::string tail = Crlf("<li><A HREF=\"http://b/\">b</A>\n\n</ul>\n</body>\n</html>\n");
    ASSERT_GT(page.size(), tail.size());
    EXPECT_EQ(page.substr(page.size() - tail.size()), tail);
    EXPECT_EQ(host.events.back(), "status:Done.  Searched " + f + "\n and found 2 Shortcut files.");
}

TEST(ConversionRunTest, MarkupAndPercentInTheFolderPath) {
    TempFolder t;
    t.MakeFolder("100% <R&D>");
    const std::string f = t.Path("100% <R&D>");
    RecordingHost host;
    int32_t count = 0;
    ASSERT_EQ(GuardedRun(f, t.Path("page.htm"), host, count), ConversionResult::Done);
    const std::string escaped = t.Path("100% &lt;R&amp;D&gt;");
    EXPECT_EQ(t.ReadFile("page.htm").find(Crlf(Head(escaped))), 0u);
    EXPECT_EQ(host.events.back(), "status:Done.  Searched " + f + "\n and found 0 Shortcut files.")
        << "the status text is not markup";
}

// The page says it is UTF-8 before any other byte above 127, and is: names in UTF-8 as they
// are, a name or address in code page 1252 read as such; anchors and order stay on the bytes.
TEST(ConversionRunTest, ThePageIsUtf8AndSaysSoWhateverTheNamesBytes) {
    TempFolder t;
    t.WriteFile("Fav/Caf\xe9/\xc5ngstr\xf6m.url", ClassicShortcut("http://q/caf\xe9?a=1&b=2"));
    t.WriteFile("Fav/Caf\xe9/R\u00e5d.url", ClassicShortcut("http://r/\u00e5"));
    const std::string f = t.Path("Fav");
    RecordingHost host;
    int32_t count = 0;
    ASSERT_EQ(GuardedRun(f, t.Path("page.htm"), host, count), ConversionResult::Done);
    EXPECT_EQ(count, 2);
    std::string anchor = f + "/Caf_";
    for (char& c : anchor) {
        if (!isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    EXPECT_EQ(t.ReadFile("page.htm"),
              Crlf(Head(f) + "Sub-Folders in " + f + "<ul>\n<li><A HREF=\"#" + anchor + "\">" + f +
                   "/Caf\u00e9</A>\n</ul>\n<p>The folder " + f + " has no shortcuts.<p>\n<A NAME=\"" +
                   anchor + "\"></A><p>Shortcuts in " + f + "/Caf\u00e9:\n<ul>\n"
                   // In the order of the bytes: 0xC5 before 'R', as in every page before.
                   "<li><A HREF=\"http://q/caf\u00e9?a=1&amp;b=2\">\u00c5ngstr\u00f6m</A>\n\n"
                   "<li><A HREF=\"http://r/\u00e5\">R\u00e5d</A>\n\n"
                   "</ul>\n</body>\n</html>\n"));
}

TEST(ConversionRunTest, DeclinedOverwriteWritesNothing) {
    TempFolder t;
    t.MakeFolder("Fav");
    t.WriteFile("page.htm", "old page");
    RecordingHost host(false);
    int32_t count = 5;
    EXPECT_EQ(GuardedRun(t.Path("Fav"), t.Path("page.htm"), host, count),
              ConversionResult::Declined);
    EXPECT_EQ(host.events, (std::vector<std::string>{kStart, "ask"}));
    EXPECT_EQ(t.ReadFile("page.htm"), "old page");
    EXPECT_EQ(count, 0);
}

TEST(ConversionRunTest, TheQuestionComesBeforeTheFolderCheck) {
    TempFolder t;
    t.WriteFile("page.htm", "old page");
    RecordingHost host(true);
    int32_t count = 0;
    const std::string missing = t.Path("missing");
    EXPECT_EQ(GuardedRun(missing, t.Path("page.htm"), host, count),
              ConversionResult::NoFolder);
    EXPECT_EQ(host.events, (std::vector<std::string>{
                               kStart, "ask", "status:Unable to find directory\n " + missing}));
    EXPECT_EQ(t.ReadFile("page.htm"), "old page");
}

// A folder given with trailing separators (a shell's completion adds one) is that folder: the
// head shows it as given, and the paths below it get no doubled separator. On POSIX '?' and '*'
// are characters of names like any other.
TEST(ConversionRunTest, FolderFormsWithTrailingSeparatorsOrWildcardCharactersAreFolders) {
    TempFolder t;
    t.WriteFile("Fav/Sub/a.url", ClassicShortcut("http://a/"));
    t.WriteFile("fa?/b.url", ClassicShortcut("http://b/"));
    // Names may hold '"' here: quotes around a path are part of it, unlike on Windows.
    t.WriteFile("\"q\"/c.url", ClassicShortcut("http://c/"));
    const std::string fav = t.Path("Fav");
    for (const std::string& given : {fav + "/", fav + "//", t.Path("fa?"), t.Path("\"q\"")}) {
        SCOPED_TRACE(given);
        RecordingHost host;
        int32_t count = 0;
        ASSERT_EQ(GuardedRun(given, t.Path("page.htm"), host, count), ConversionResult::Done);
        EXPECT_EQ(count, 1);
        const std::string page = t.ReadFile("page.htm");
        std::string shown;  // as the page escapes it
        for (const char c : given) shown += c == '"' ? std::string("&quot;") : std::string(1, c);
        const std::string head = Crlf(Head(shown));
        EXPECT_EQ(page.rfind(head, 0), 0u);
        if (given.back() == '/') {
            EXPECT_NE(page.find(">" + fav + "/Sub</A>"), std::string::npos) << page;
            EXPECT_EQ(page.find("//Sub"), std::string::npos) << page;
        }
    }
}

// A folder path that names something else than a folder is no folder: the run ends as for a
// missing one, and neither asks nor writes, whatever the page.
TEST(ConversionRunTest, FolderPathsNamingAnythingButAFolderEndWithoutAskingOrWriting) {
    TempFolder t;
    t.WriteFile("page.htm", "old page");
    t.WriteFile("notes.txt", "not a folder");
    t.WriteFile("Fav/a.url", ClassicShortcut("http://a/"));
    ASSERT_EQ(mkfifo(t.Native("fifo").c_str(), 0600), 0);
    std::filesystem::create_symlink(t.Native("notes.txt"), t.Native("link"));
    for (const std::string& folder : {t.Path("notes.txt"), t.Path("Fav/a.url"), t.Path("fifo"),
                                      t.Path("link"), std::string("/dev/null")}) {
        SCOPED_TRACE(folder);
        for (const bool answer : {true, false}) {
            RecordingHost host(answer);
            int32_t count = 7;
            EXPECT_EQ(GuardedRun(folder, t.Path("page.htm"), host, count),
                      ConversionResult::NoFolder);
            EXPECT_EQ(host.events, (std::vector<std::string>{
                                       kStart, "status:Unable to find directory\n " + folder}));
            EXPECT_EQ(count, 0);
            EXPECT_EQ(t.ReadFile("page.htm"), "old page");
        }
    }
}

TEST(ConversionRunTest, OutputsThatCannotBeWrittenAreRefusedBeforeAnythingIsWritten) {
    TempFolder t;
    t.MakeFolder("Fav");
    t.MakeFolder("dir.htm");
    t.WriteFile(".hidden.htm", "hidden page");
    struct Case {
        std::string output;
        bool asked;
    };
    const Case cases[] = {
        {t.Path("dir.htm"), false},          // folders are not found by the overwrite check
        {t.Path(".hidden.htm"), false},      // nor are hidden files
        {t.Path("nofolder/page.htm"), false},
    };
    for (const Case& c : cases) {
        RecordingHost host;
        int32_t count = 0;
        EXPECT_EQ(GuardedRun(t.Path("Fav"), c.output, host, count),
                  ConversionResult::CannotOpen);
        std::vector<std::string> expected{kStart};
        if (c.asked) expected.push_back("ask");
        expected.push_back("status:Unable to open " + c.output);
        EXPECT_EQ(host.events, expected) << "no clock is read before the open succeeds";
    }
    EXPECT_TRUE(std::filesystem::is_directory(t.Native("dir.htm")));
    EXPECT_EQ(t.ReadFile(".hidden.htm"), "hidden page");
    EXPECT_FALSE(std::filesystem::exists(t.Native("nofolder")));
}

// The user's own read-only page. Root may write any file, so the run is made as an ordinary user.
TEST(ConversionRunTest, ReadOnlyPageIsAskedAboutThenRefusedUntouched) {
    TempFolder t;
    t.MakeFolder("Fav");
    t.WriteFile("ro.htm", "old");
    std::filesystem::permissions(t.Native("ro.htm"), std::filesystem::perms::owner_read);
    InputGuard guard(t.Path("Fav"));
    const auto code = RunWithoutRootRights(
        [&] { (void)!chown(t.Native("ro.htm").c_str(), 65534, 65534); },
        [&] {
            RecordingHost host;
            int32_t count = 0;
            const ConversionResult r = RunConversion(t.Path("Fav"), t.Path("ro.htm"), host, count);
            const std::vector<std::string> expected{kStart, "ask",
                                                    "status:Unable to open " + t.Path("ro.htm")};
            return r == ConversionResult::CannotOpen && host.events == expected ? 0 : 1;
        });
    if (!code) GTEST_SKIP() << "cannot drop root rights here";
    EXPECT_EQ(*code, 0);
    EXPECT_EQ(t.ReadFile("ro.htm"), "old");
}

TEST(ConversionRunTest, TwoRunsInARowCountSeparately) {
    TempFolder t;
    t.WriteFile("Fav/a.url", ClassicShortcut("a"));
    t.WriteFile("Fav/b.url", ClassicShortcut("b"));
    int32_t count = 0;
    for (int run = 0; run < 2; ++run) {
        RecordingHost host;
        ASSERT_EQ(GuardedRun(t.Path("Fav"), t.Path("page.htm"), host, count),
                  ConversionResult::Done);
        EXPECT_EQ(count, 2);
        EXPECT_EQ(host.events.back(),
                  "status:Done.  Searched " + t.Path("Fav") + "\n and found 2 Shortcut files.");
        EXPECT_EQ(host.events[1], run == 0 ? "clock" : "ask") << "the second run finds the page";
    }
}

TEST(ConversionRunTest, WriteFailurePartWayLeavesTheExistingPage) {
    TempFolder t;
    for (int i = 0; i < 400; ++i) {
        t.WriteFile("Fav/link" + std::to_string(i) + ".url",
                    ClassicShortcut("http://example.com/" + std::string(200, 'p')));
    }
    t.WriteFile("page.htm", "the old page\r\n");
    const std::string folder = t.Path("Fav");
    const std::string output = t.Path("page.htm");
    InputGuard guard(folder);
    // The page needs about 100 kB.
    const std::optional<int> code = RunWithFileSizeLimit(20000, [&] {
        RecordingHost host;
        int32_t count = 0;
        const ConversionResult r = RunConversion(folder, output, host, count);
        const bool reported = host.events.back() == "status:Unable to write " + output;
        return r == ConversionResult::CannotWrite && reported ? 0 : 1;
    });
    ASSERT_TRUE(code);
    EXPECT_EQ(*code, 0) << "the run must end with \"Unable to write\"";
    EXPECT_EQ(t.ReadFile("page.htm"), "the old page\r\n");
    EXPECT_EQ(t.EntryCount(), 2u) << "only Fav and the page: no temporary file left";
}

}  // namespace
}  // namespace favpage
