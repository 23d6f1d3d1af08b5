// The walk with its files read ahead on threads: the same page and bookmark file as a walk that
// reads each file itself, whatever the timing, also while the tree changes under it. Run again
// under ThreadSanitizer by the test run.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <random>
#include <set>
#include <thread>

#include "engine/bookmark_writer.h"
#include "engine/folder_walk.h"
#include "tests/unit/engine/page_test_support.h"

namespace favpage {
namespace {

using testing::ClassicShortcut;
using testing::TempFolder;
using testing::WalkToBytes;

std::string BookmarksOf(const std::string& folder, int32_t& count, ReadAheadMode readAhead,
                        WalkCounts& counts) {
    TempFolder out;
    auto file = TextFile::Open(out.Path("b.html"), "wt");
    counts = WriteBookmarks(count, folder, *file, readAhead);
    EXPECT_TRUE(file->Close());
    return out.ReadFile("b.html");
}

// The bytes of `text` (ASCII) as UTF-16LE with its byte-order mark.
std::string Utf16(const std::string& text) {
    std::string bytes = "\xFF\xFE";
    for (char c : text) bytes += std::string{c, '\0'};
    return bytes;
}

// A tree of every kind of entry the reader meets: both shortcut forms, UTF-16 shortcuts, files
// that are none, empty and hidden files, a shortcut past the 64 KiB the reader looks at, names
// that differ only in letter case, names in other scripts, folders of one file and of many.
TEST(ReadAheadTest, ThreadsReadingAheadGiveExactlyTheSequentialPageAndBookmarks) {
    TempFolder t;
    for (int f = 0; f < 24; ++f) {
        const std::string folder = "Fav/f" + std::to_string(f % 6) + "/g" + std::to_string(f);
        for (int i = 0; i < (f == 5 ? 2200 : 1 + f * 7); ++i) {
            const std::string n = folder + "/" + (i % 3 ? "Site " : "site ") + std::to_string(i / 2);
            switch (i % 8) {
                case 0: t.WriteFile(n + ".url", ClassicShortcut("http://c/" + n)); break;
                case 1: t.WriteFile(n + ".url", "[DEFAULT]\r\nBASEURL=x\r\n[InternetShortcut]\r\n"
                                                "IDList=\r\nURL=http://m/" + n + "\r\n"); break;
                case 2: t.WriteFile(n + ".txt", "no shortcut"); break;
                case 3: t.WriteFile(n + ".url", ""); break;
                case 4: t.WriteFile(folder + "/.h" + std::to_string(i) + ".url", ClassicShortcut("h")); break;
                case 5: t.WriteFile(n + " Ψ本😀.url", ClassicShortcut("http://u/" + std::to_string(i))); break;
                case 6: t.WriteFile(n + ".url", Utf16(ClassicShortcut("http://w/" + std::to_string(i)))); break;
                default: t.WriteFile(n + ".url", std::string(70000, ' ') + ClassicShortcut("far")); break;
            }
        }
    }
    int32_t sequentialCount = 0, aheadCount = 0, marks = 0, aheadMarks = 0;
    WalkCounts walked, walkedAhead;
    const std::string page =
        WalkToBytes(t.Path("Fav"), sequentialCount, ReadAheadMode::Never, &walked);
    EXPECT_EQ(walked.filesReadAhead, 0u);
    const std::string bookmarks = BookmarksOf(t.Path("Fav"), marks, ReadAheadMode::Never, walked);
    EXPECT_EQ(walked.filesReadAhead, 0u);
    // Every file of the tree comes through the read-ahead.
    size_t listed = 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(t.Native("Fav"))) {
        listed += e.is_regular_file();
    }
    for (int round = 0; round < 3; ++round) {
        aheadCount = aheadMarks = 0;
        EXPECT_EQ(WalkToBytes(t.Path("Fav"), aheadCount, ReadAheadMode::Always, &walkedAhead),
                  page);
        EXPECT_EQ(aheadCount, sequentialCount);
        EXPECT_EQ(walkedAhead.filesReadAhead, listed);
        EXPECT_GT(walkedAhead.filesReadOnThreads, 0u);
        EXPECT_EQ(BookmarksOf(t.Path("Fav"), aheadMarks, ReadAheadMode::Always, walkedAhead),
                  bookmarks);
        EXPECT_EQ(aheadMarks, marks);
        EXPECT_EQ(walkedAhead.filesReadAhead, listed);
    }
    EXPECT_GT(sequentialCount, 1000);
}

// Files removed, added and replaced by folders while the walk reads ahead: it ends, the page is
// whole, and every link is of a file that existed at some moment of the run.
TEST(ReadAheadTest, AWalkOverATreeThatChangesEndsWithAWholePageOfFilesThatExisted) {
    TempFolder t;
    std::set<std::string> existed;
    for (int f = 0; f < 8; ++f) {
        for (int i = 0; i < 120; ++i) {
            const std::string name = "f" + std::to_string(f) + "-" + std::to_string(i);
            t.WriteFile("Fav/f" + std::to_string(f) + "/" + name + ".url", ClassicShortcut("http://x/" + name));
            existed.insert(name);
        }
    }
    for (int round = 0; round < 3; ++round) {
        std::mutex mutex;
        std::atomic<bool> done{false};
        std::thread changer([&] {
            std::mt19937 random(static_cast<unsigned>(round));
            for (int n = 0; !done.load(); ++n) {
                const std::string f = "Fav/f" + std::to_string(random() % 8) + "/";
                const std::string old = f + "f" + std::to_string(random() % 8) + "-" +
                                        std::to_string(random() % 120) + ".url";
                const std::string name = "new" + std::to_string(round) + "-" + std::to_string(n);
                {
                    std::lock_guard<std::mutex> lock(mutex);
                    existed.insert(name);
                }
                std::error_code ignored;
                switch (n % 3) {
                    case 0: std::filesystem::remove(t.Native(old), ignored); break;
                    case 1: t.WriteFile(f + name + ".url", ClassicShortcut("http://x/" + name)); break;
                    default:
                        std::filesystem::remove(t.Native(old), ignored);
                        std::filesystem::create_directory(t.Native(old), ignored);
                        break;
                }
            }
        });
        int32_t count = 0;
        TempFolder out;
        auto file = TextFile::Open(out.Path("page.htm"), "wt");
        const WalkCounts walked = WriteFolder(count, t.Path("Fav"), *file, ReadAheadMode::Always);
        done = true;
        changer.join();
        ASSERT_TRUE(file->Close());
        const std::string page = out.ReadFile("page.htm");
        // Whole: every list closed, the last part ended (a folder made meanwhile may be empty).
        EXPECT_EQ(testing::Occurrences(page, "<ul>"), testing::Occurrences(page, "</ul>"));
        const auto endsWith = [&](const std::string& end) {
            return page.size() >= end.size() && page.compare(page.size() - end.size(), end.size(), end) == 0;
        };
        EXPECT_TRUE(endsWith("</ul>\r\n") || endsWith(" has no shortcuts.<p>\r\n"));
        size_t links = 0;
        for (size_t at = 0; (at = page.find("HREF=\"http://x/", at)) != std::string::npos; ++links) {
            at += 15;
            const std::string name = page.substr(at, page.find('"', at) - at);
            std::lock_guard<std::mutex> lock(mutex);
            EXPECT_TRUE(existed.count(name)) << name;
        }
        EXPECT_EQ(links, static_cast<size_t>(count));
        EXPECT_GE(walked.filesReadAhead, links);
    }
}

}  // namespace
}  // namespace favpage
