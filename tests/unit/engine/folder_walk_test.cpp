// Tests of the page body: the worked layout of a small tree, the empty cases, anchors, escaping,
// and the walk's behaviour on vanished, unreadable, looping and over-long entries; each with the
// files read by the walk itself and with the whole tree read ahead on threads.
#include <gtest/gtest.h>

#include <chrono>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "engine/html_text.h"
#include "tests/unit/engine/page_test_support.h"

namespace favpage {
namespace {

using testing::ClassicShortcut;
using testing::Crlf;
using testing::TempFolder;
using testing::WalkWithoutRootRights;

class FolderWalkTest : public testing::BothReadsTest {};
FAVPAGE_BOTH_READS(FolderWalkTest);

TEST_P(FolderWalkTest, SmallTreeByteForByte) {
    TempFolder t;
    t.MakeFolder("Fav/News");
    t.WriteFile("Fav/Cars/Fast Car.url", ClassicShortcut("page-c.htm"));
    t.WriteFile("Fav/Alpha.url", ClassicShortcut("page-a.htm"));
    t.WriteFile("Fav/notes.txt", "some notes\r\n");
    const std::string f = t.Path("Fav");
    const std::string a = AnchorName(f);
    int32_t count = 0;
    const std::string expected =
        "Sub-Folders in " + f + "<ul>\n"
        "<li><A HREF=\"#" + a + "_Cars\">" + f + "/Cars</A>\n"
        "<li><A HREF=\"#" + a + "_News\">" + f + "/News</A>\n"
        "</ul>\n"
        "<p>Shortcuts in " + f + ":\n"
        "<ul>\n"
        "<li><A HREF=\"page-a.htm\">Alpha</A>\n"
        "\n"
        "</ul>\n"
        "<A NAME=\"" + a + "_Cars\"></A><p>Shortcuts in " + f + "/Cars:\n"
        "<ul>\n"
        "<li><A HREF=\"page-c.htm\">Fast Car</A>\n"
        "\n"
        "</ul>\n"
        "<A NAME=\"" + a + "_News\"></A><p>The folder " + f + "/News has no shortcuts.<p>\n";
    EXPECT_EQ(Walk(f, count), Crlf(expected));
    EXPECT_EQ(count, 2);
}

TEST_P(FolderWalkTest, FoldersWithoutShortcuts) {
    TempFolder t;
    t.MakeFolder("empty");
    t.WriteFile("others/readme.txt", "x");
    t.WriteFile("others/b.url", "[Other]\r\nURL=x\r\n");
    t.MakeFolder("onlysubs/s");
    int32_t count = 0;
    const std::string e = t.Path("empty");
    EXPECT_EQ(Walk(e, count), Crlf("<p>The folder " + e + " has no shortcuts.<p>\n"));
    const std::string o = t.Path("others");
    EXPECT_EQ(Walk(o, count), Crlf("<p>Shortcuts in " + o + ":\n<ul>\n</ul>\n"));
    const std::string s = t.Path("onlysubs");
    const std::string sub = s + "/s";
    EXPECT_EQ(Walk(s, count),
              Crlf("Sub-Folders in " + s + "<ul>\n<li><A HREF=\"#" + AnchorName(sub) + "\">" + sub +
                   "</A>\n</ul>\n<p>The folder " + s + " has no shortcuts.<p>\n<A NAME=\"" +
                   AnchorName(sub) + "\"></A><p>The folder " + sub + " has no shortcuts.<p>\n"));
    EXPECT_EQ(count, 0);
}

TEST_P(FolderWalkTest, OrderIsTheNameOrderNotTheListingOrder) {
    TempFolder t;
    for (const char* n : {"b.url", "A.url", "a_b.url", "aab.url", "10.url", "9.url"}) {
        t.WriteFile(std::string("f/") + n, ClassicShortcut(n));
    }
    for (const char* n : {"zeta", "Alpha", "beta"}) t.MakeFolder(std::string("f/") + n);
    int32_t count = 0;
    const std::string page = Walk(t.Path("f"), count);
    std::vector<size_t> at;
    for (const char* n : {"/Alpha</A>", "/beta</A>", "/zeta</A>", ">10</A>", ">9</A>",
                          ">A</A>", ">aab</A>", ">a_b</A>", ">b</A>"}) {
        at.push_back(page.find(n));
        ASSERT_NE(at.back(), std::string::npos) << n;
    }
    EXPECT_TRUE(std::is_sorted(at.begin(), at.end()));
    EXPECT_EQ(count, 6);
}

TEST_P(FolderWalkTest, HiddenSubFolderIsWalkedAndAlsoReachesTheFileList) {
    TempFolder t;
    t.WriteFile("f/.private/p.url", ClassicShortcut("p.htm"));
    const std::string f = t.Path("f");
    const std::string p = f + "/.private";
    int32_t count = 0;
    EXPECT_EQ(Walk(f, count),
              Crlf("Sub-Folders in " + f + "<ul>\n<li><A HREF=\"#" + AnchorName(p) + "\">" + p +
                   "</A>\n</ul>\n<p>Shortcuts in " + f + ":\n<ul>\n</ul>\n<A NAME=\"" +
                   AnchorName(p) + "\"></A><p>Shortcuts in " + p +
                   ":\n<ul>\n<li><A HREF=\"p.htm\">p</A>\n\n</ul>\n"));
    EXPECT_EQ(count, 1);
}

TEST_P(FolderWalkTest, CollidingAnchorsGetSuffixesAcrossThePage) {
    TempFolder t;
    t.MakeFolder("x/A B");
    t.MakeFolder("x/A_B");
    t.MakeFolder("x/A-B");
    t.MakeFolder("x/A_B_2");  // its plain anchor is what the second colliding folder gets
    t.MakeFolder("x/m/b");    // x\m\b and x\m_b coincide, one level apart
    t.MakeFolder("x/m_b");
    int32_t count = 0;
    const std::string page = Walk(t.Path("x"), count);
    std::vector<std::string> names;
    std::vector<std::string> targets;
    for (size_t at = page.find("<A NAME=\""); at != std::string::npos;
         at = page.find("<A NAME=\"", at + 1)) {
        names.push_back(page.substr(at + 9, page.find('"', at + 9) - at - 9));
    }
    for (size_t at = page.find("HREF=\"#"); at != std::string::npos;
         at = page.find("HREF=\"#", at + 1)) {
        targets.push_back(page.substr(at + 7, page.find('"', at + 7) - at - 7));
    }
    ASSERT_EQ(names.size(), 7u);
    std::set<std::string> unique(names.begin(), names.end());
    EXPECT_EQ(unique.size(), names.size()) << page;
    EXPECT_EQ(std::set<std::string>(targets.begin(), targets.end()), unique)
        << "every link has its own anchor";
    const std::string base = AnchorName(t.Path("x"));
    // The list order is "A B", "A-B", "A_B", "A_B_2": the first keeps the plain anchor.
    EXPECT_EQ(targets[0], base + "_A_B");
    EXPECT_EQ(targets[1], base + "_A_B_2");
    EXPECT_EQ(targets[2], base + "_A_B_3");
    EXPECT_EQ(targets[3], base + "_A_B_2_2");
    EXPECT_EQ(targets[5], base + "_m_b");
    EXPECT_EQ(targets[6], base + "_m_b_2");  // listed later, inside m
}

TEST_P(FolderWalkTest, MarkupInFolderPathsIsEscapedButAnchorsStayPlain) {
    TempFolder t;
    t.WriteFile("R&D <1>/\"q\" 100%/s.url", ClassicShortcut("s.htm"));
    const std::string f = t.Path("R&D <1>");
    const std::string sub = f + "/\"q\" 100%";
    int32_t count = 0;
    const std::string page = Walk(f, count);
    EXPECT_NE(page.find("Sub-Folders in " + Escaped(f) + "<ul>"), std::string::npos);
    EXPECT_NE(page.find("<li><A HREF=\"#" + AnchorName(sub) + "\">" + Escaped(sub) + "</A>"),
              std::string::npos);
    EXPECT_NE(page.find("<p>Shortcuts in " + Escaped(sub) + ":"), std::string::npos);
    EXPECT_EQ(page.find("<1>"), std::string::npos);
    EXPECT_EQ(page.find("R&D"), std::string::npos);
    EXPECT_NE(Escaped(f).find("R&amp;D &lt;1&gt;"), std::string::npos);
}

TEST_P(FolderWalkTest, FileGoneBeforeItsLookupIsPassedOver) {
    TempFolder t;
    t.WriteFile("f/a.url", ClassicShortcut("a.htm"));
    // A dangling link is listed by the scan but its lookup finds nothing, just like a file
    // deleted between the two.
    ASSERT_EQ(symlink("nowhere", t.Native("f/gone.url").c_str()), 0);
    const std::string f = t.Path("f");
    int32_t count = 0;
    EXPECT_EQ(Walk(f, count),
              Crlf("<p>Shortcuts in " + f + ":\n<ul>\n<li><A HREF=\"a.htm\">a</A>\n\n</ul>\n"));
    EXPECT_EQ(count, 1);
}

TEST_P(FolderWalkTest, PipesAndDevicesDoNotStallTheWalk) {
    TempFolder t;
    t.WriteFile("f/a.url", ClassicShortcut("a.htm"));
    ASSERT_EQ(mkfifo(t.Native("f/pipe.url").c_str(), 0644), 0);  // no writer will ever come
    ASSERT_EQ(symlink("/dev/zero", t.Native("f/zero.url").c_str()), 0);
    const std::string f = t.Path("f");
    int32_t count = 0;
    EXPECT_EQ(Walk(f, count),
              Crlf("<p>Shortcuts in " + f + ":\n<ul>\n<li><A HREF=\"a.htm\">a</A>\n\n</ul>\n"));
    EXPECT_EQ(count, 1);
}

TEST_P(FolderWalkTest, SymbolicLinkLoopsAreNotEntered) {
    TempFolder t;
    t.WriteFile("f/sub/s.url", ClassicShortcut("s.htm"));
    t.MakeFolder("g");
    ASSERT_EQ(symlink("..", t.Native("f/sub/up").c_str()), 0);
    ASSERT_EQ(symlink(".", t.Native("f/self").c_str()), 0);
    ASSERT_EQ(symlink("../g", t.Native("f/other").c_str()), 0);  // no loop: walked like a folder
    const std::string f = t.Path("f");
    int32_t count = 0;
    const std::string page = Walk(f, count);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(page.find("/up"), std::string::npos) << page;
    EXPECT_EQ(page.find("/self"), std::string::npos) << page;
    EXPECT_NE(page.find("<p>The folder " + f + "/other has no shortcuts."), std::string::npos);
    EXPECT_NE(page.find("<p>Shortcuts in " + f + "/sub:"), std::string::npos);
}

TEST_P(FolderWalkTest, EachRealFolderIsWalkedOnceHoweverManyRoutesLeadToIt) {
    // Thirty levels, each holding two links to the next: 2^30 routes to the last level.
    constexpr int kLevels = 30;
    TempFolder t;
    for (int i = 0; i <= kLevels; ++i) {
        t.WriteFile("L" + std::to_string(i) + "/s.url", ClassicShortcut("s" + std::to_string(i)));
        if (i == kLevels) break;
        for (const char* route : {"a", "b"}) {
            const std::string next = t.Native("L" + std::to_string(i + 1)).string();
            const std::string link = "L" + std::to_string(i) + "/" + route;
            ASSERT_EQ(symlink(next.c_str(), t.Native(link).c_str()), 0);
        }
    }
    const std::string f = t.Path("L0");
    int32_t count = 0;
    const auto start = std::chrono::steady_clock::now();
    const std::string page = Walk(f, count);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(count, kLevels + 1);
    EXPECT_EQ(testing::Occurrences(page, "<p>Shortcuts in "), size_t{kLevels + 1});
    // Both routes are listed with their own paths; the second leads to the first one's part.
    const std::string a = AnchorName(f + "/a");
    EXPECT_NE(page.find("<li><A HREF=\"#" + a + "\">" + f + "/a</A>\r\n"
                        "<li><A HREF=\"#" + a + "\">" + f + "/b</A>\r\n"),
              std::string::npos) << page.substr(0, 2000);
    size_t links = 0;
    for (size_t at = page.find("HREF=\"#"); at != std::string::npos;
         at = page.find("HREF=\"#", at + 1)) {
        const std::string anchor = page.substr(at + 7, page.find('"', at + 7) - at - 7);
        EXPECT_EQ(testing::Occurrences(page, "<A NAME=\"" + anchor + "\">"), 1u) << anchor;
        ++links;
    }
    EXPECT_EQ(links, size_t{2 * kLevels});
}

TEST_P(FolderWalkTest, OverLongPathsArePassedOverAndTheWalkEnds) {
    TempFolder t;
    // A chain of 250-byte folder names, deeper than the path limit allows.
    const std::string name(250, 'd');
    int dir = open(t.Native("").c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(dir, 0);
    for (int level = 0; level < 20; ++level) {
        ASSERT_EQ(mkdirat(dir, name.c_str(), 0755), 0);
        const int next = openat(dir, name.c_str(), O_RDONLY | O_DIRECTORY);
        close(dir);
        ASSERT_GE(next, 0);
        dir = next;
    }
    close(dir);
    int32_t count = 0;
    const std::string page = Walk(t.Path(), count);
    size_t longest = 0;
    size_t anchors = 0;
    for (size_t at = page.find("<A NAME=\""); at != std::string::npos;
         at = page.find("<A NAME=\"", at + 1)) {
        longest = std::max(longest, page.find('"', at + 9) - at - 9);
        ++anchors;
    }
    EXPECT_LE(longest, kMaxPathLength);
    EXPECT_EQ(anchors, (kMaxPathLength - t.Path().size()) / 251);
    // The chain is too deep for path-based removal; take it down level by level.
    std::vector<int> fds{open(t.Native("").c_str(), O_RDONLY | O_DIRECTORY)};
    for (int level = 0; level < 19; ++level) {
        fds.push_back(openat(fds.back(), name.c_str(), O_RDONLY | O_DIRECTORY));
    }
    for (int level = 19; level >= 0; --level) {
        EXPECT_EQ(unlinkat(fds[level], name.c_str(), AT_REMOVEDIR), 0);
        close(fds[level]);
    }
}

TEST_P(FolderWalkTest, UnreadableFileAndFolderAreSilentlyPassedOver) {
    TempFolder t;
    t.WriteFile("f/a.url", ClassicShortcut("a.htm"));
    t.WriteFile("f/locked.url", ClassicShortcut("locked.htm"));
    t.WriteFile("f/closed/c.url", ClassicShortcut("c.htm"));
    ASSERT_EQ(chmod(t.Native("f/locked.url").c_str(), 0), 0);
    ASSERT_EQ(chmod(t.Native("f/closed").c_str(), 0), 0);
    const std::string f = t.Path("f");
    const std::string c = f + "/closed";
    int32_t count = 0;
    auto page = WalkWithoutRootRights(f, count, GetParam());
    if (!page) GTEST_SKIP() << "cannot drop root rights here, and root reads everything";
    EXPECT_EQ(*page, Crlf("Sub-Folders in " + f + "<ul>\n<li><A HREF=\"#" + AnchorName(c) +
                          "\">" + c + "</A>\n</ul>\n<p>Shortcuts in " + f +
                          ":\n<ul>\n<li><A HREF=\"a.htm\">a</A>\n\n</ul>\n<A NAME=\"" +
                          AnchorName(c) + "\"></A><p>The folder " + c + " has no shortcuts.<p>\n"));
    EXPECT_EQ(count, 1);
}

}  // namespace
}  // namespace favpage
