// The walk with its files read ahead on threads: the same page and bookmark file as a walk that
// reads each file itself, whatever the timing, also while the tree changes under it; when it
// switches to reading ahead; and the read-ahead's window and end. Run again under
// ThreadSanitizer by the test run.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <random>
#include <set>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

#include "engine/bookmark_writer.h"
#include "engine/folder_walk.h"
#include "engine/read_ahead.h"
#include "engine/shortcut_source.h"
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

// Whether the walk starts reading ahead, for files that take these times to look up and read,
// sixteen to a sample: at the file that ends the second slow sample in a row, never otherwise.
TEST(ReadAheadTest, PaceSwitchesAfterTwoSlowSamplesInARow) {
    using std::chrono::microseconds;
    const struct {
        const char* what;
        std::vector<int> sampleMicros;  // each file's time, per sample of sixteen files
        int slowAtFile;                 // the first file after which Slow is true; -1: never
    } rows[] = {
        {"fast samples stay sequential", {2, 3, 5, 2, 8, 39}, -1},
        {"two slow samples switch", {100, 100}, 32},
        {"one slow sample does not", {100, 2, 100, 2, 100, 2}, -1},
        {"slow after fast switches at its second slow sample", {2, 2, 41, 90, 3}, 64},
        {"40 microseconds a file is slow", {40, 40}, 32},
        {"a slow first sample then a fast one does not", {500, 1}, -1},
    };
    for (const auto& row : rows) {
        Pace pace;
        int slowAt = -1;
        int file = 0;
        for (const int micros : row.sampleMicros) {
            for (int i = 0; i < Pace::kSample; ++i) {
                ++file;
                if (pace.Slow(microseconds(micros)) && slowAt < 0) slowAt = file;
            }
        }
        EXPECT_EQ(slowAt, row.slowAtFile) << row.what;
    }
}

// A reader for the read-ahead's own tests: it records which files it was asked for and how many
// readers are busy, and holds every reader at a gate until the test opens it.
struct GatedReads {
    std::mutex mutex;
    std::condition_variable changed;
    bool open = true;
    int busy = 0;
    int highestIndex = -1;  // the highest file number read
    int overWindow = 0;     // reads of a file further than the window ahead of those taken
    std::atomic<int> taken{0};
    size_t window = 0;
};
GatedReads* g_reads = nullptr;

TextKind GatedReader(const FolderHandle& folder, const DirEntry& entry, std::string& text) {
    const int index = std::stoi(entry.name);
    {
        std::unique_lock<std::mutex> lock(g_reads->mutex);
        ++g_reads->busy;
        g_reads->highestIndex = std::max(g_reads->highestIndex, index);
        if (static_cast<size_t>(index) >= g_reads->taken + g_reads->window) ++g_reads->overWindow;
        g_reads->changed.notify_all();
        g_reads->changed.wait(lock, [] { return g_reads->open; });
    }
    const TextKind kind = ReadShortcutFile(folder, entry, text);
    std::lock_guard<std::mutex> lock(g_reads->mutex);
    --g_reads->busy;
    g_reads->changed.notify_all();
    return kind;
}

// Files numbered 0 to count - 1 in `folder` of `t`.
void NumberedShortcuts(TempFolder& t, const std::string& folder, int count) {
    for (int i = 0; i < count; ++i) {
        t.WriteFile(folder + "/" + std::to_string(i) + ".url",
                    ClassicShortcut("http://" + folder + "/" + std::to_string(i)));
    }
}

// Readers run at most the window ahead of the files taken, and the records come in the order
// the files were named, whoever read them.
TEST(ReadAheadTest, ReadersStayWithinTheWindowAndRecordsComeInTheOrderNamed) {
    TempFolder t;
    NumberedShortcuts(t, "F", 40);
    GatedReads reads;
    reads.window = 8;
    g_reads = &reads;
    {
        ReadAhead ahead(ReadAheadLimits{4, reads.window, 1 << 20}, &GatedReader);
        const FolderHandle folder(t.Path("F"));
        ahead.Begin(folder);
        // The readers fill the window before anything is taken, also when they have read what
        // there was (but for at most one file, fewer than they are woken for) and wait when the
        // file that fills it is named.
        const auto readUpTo = [&](int index) {
            std::unique_lock<std::mutex> lock(reads.mutex);
            return reads.changed.wait_for(lock, std::chrono::seconds(60), [&] {
                return reads.highestIndex >= index && reads.busy == 0;
            });
        };
        for (int i = 0; i < 7; ++i) ahead.Add(std::to_string(i) + ".url", false);
        ASSERT_TRUE(readUpTo(5));
        for (int i = 7; i < 40; ++i) ahead.Add(std::to_string(i) + ".url", false);
        EXPECT_TRUE(ahead.Ready());
        ASSERT_TRUE(readUpTo(7)) << "the file that fills the window is not read ahead";
        for (int i = 0; i < 40; ++i) {
            EXPECT_EQ(ahead.Pending(), static_cast<size_t>(40 - i));
            ++reads.taken;
            const ShortcutRecord& record = ahead.Take();
            EXPECT_EQ(record.name, std::to_string(i) + ".url");
            EXPECT_EQ(record.kind, TextKind::Plain);
            // Read in text mode, as the walk reads every file.
            EXPECT_EQ(record.text, "[InternetShortcut]\nURL=http://F/" + std::to_string(i) + "\n");
        }
        EXPECT_FALSE(ahead.Ready());
        ahead.End();
        EXPECT_EQ(ahead.Delivered(), 40u);
        EXPECT_GE(ahead.ReadOnThreads(), 8u);
    }
    EXPECT_EQ(reads.overWindow, 0);
    g_reads = nullptr;
}

// End forgets the files no reader has started on and waits for the reads in progress, which
// still use the folder; the next folder's records are its own.
TEST(ReadAheadTest, EndForgetsFilesNotTakenAndWaitsForReadsInProgress) {
    TempFolder t;
    NumberedShortcuts(t, "F", 40);
    NumberedShortcuts(t, "G", 3);
    GatedReads reads;
    // As wide as the readers are many: none claims another file until one is taken, whenever
    // the gate opens.
    reads.window = 4;
    reads.open = false;
    g_reads = &reads;
    ReadAhead ahead(ReadAheadLimits{4, reads.window, 1 << 20}, &GatedReader);
    {
        const FolderHandle folder(t.Path("F"));
        ahead.Begin(folder);
        for (int i = 0; i < 40; ++i) ahead.Add(std::to_string(i) + ".url", false);
        {
            // Every reader busy with one of the first four files, held at the gate.
            std::unique_lock<std::mutex> lock(reads.mutex);
            reads.changed.wait(lock, [&] { return reads.busy == 4; });
        }
        int busyAtEnd = -1;
        std::thread ender([&] {
            ahead.End();
            std::lock_guard<std::mutex> lock(reads.mutex);
            busyAtEnd = reads.busy;
        });
        {
            std::lock_guard<std::mutex> lock(reads.mutex);
            reads.open = true;
        }
        reads.changed.notify_all();
        ender.join();
        EXPECT_EQ(busyAtEnd, 0);
        EXPECT_EQ(ahead.Pending(), 0u);
    }
    EXPECT_EQ(ahead.ReadOnThreads(), 4u);
    EXPECT_EQ(reads.highestIndex, 3) << "no file past those in progress was read";
    EXPECT_EQ(ahead.Delivered(), 0u);
    const FolderHandle next(t.Path("G"));
    ahead.Begin(next);
    for (int i = 0; i < 3; ++i) ahead.Add(std::to_string(i) + ".url", false);
    for (int i = 0; i < 3; ++i) {
        const ShortcutRecord& record = ahead.Take();
        EXPECT_EQ(record.name, std::to_string(i) + ".url");
        EXPECT_EQ(record.text, "[InternetShortcut]\nURL=http://G/" + std::to_string(i) + "\n");
    }
    ahead.End();
    EXPECT_EQ(ahead.Delivered(), 3u);
    g_reads = nullptr;
}

// The folders a walk comes to, planned from its first folder: with room enough, the threads list
// every folder below it before the walk comes, and the walk takes their listings, records and
// sub-folders' identities, and begins no folder of its own; with no room (a limit that what is
// planned already passes), they list and read nothing, and the walk lists, looks up and reads
// everything itself. The records are the files', in the order named.
TEST(ReadAheadTest, ThreadsListThePlannedFoldersAheadOfTheWalkWithinTheLimit) {
    const std::vector<std::string> tops{"a", "b", "c"}, subs{"x", "y"};
    std::vector<std::string> order{"Fav"};  // the walk's order of the folders below Fav
    for (const std::string& top : tops) {
        order.push_back("Fav/" + top);
        for (const std::string& sub : subs) order.push_back("Fav/" + top + "/" + sub);
    }
    const struct {
        const char* what;
        size_t maxBytes;
        size_t listedAhead;  // folders the threads list before the walk comes to them
        size_t files;        // in each folder of the lowest level
    } rows[] = {
        {"room for the whole tree", 1 << 20, order.size() - 1, 3},
        {"room, files read one by one", 1 << 20, order.size() - 1,
         ReadAhead::kReadWithListing + 4},
        {"no room", 1, 0, 3},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        TempFolder t;
        for (const std::string& folder : order) {
            if (std::count(folder.begin(), folder.end(), '/') == 2) {
                NumberedShortcuts(t, folder, static_cast<int>(row.files));
            }
        }
        const auto found = [&](const std::string& folder) {
            FoundFolder f;
            f.path = t.Path(folder);
            f.id = GetFolderId(f.path);
            return f;
        };
        ReadAhead ahead(ReadAheadLimits{4, 64, row.maxBytes});
        std::vector<FoundFolder> planned;
        for (const std::string& top : tops) planned.push_back(found("Fav/" + top));
        ahead.Replan(found("Fav"), planned, {}, {});
        // With room, every file is read too before the walk begins.
        const size_t files = tops.size() * subs.size() * row.files;
        const size_t readAhead = row.listedAhead == 0 ? 0 : files;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while ((ahead.FoldersListedAhead() < row.listedAhead || ahead.ReadOnThreads() < readAhead) &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::yield();
        }
        ASSERT_EQ(ahead.FoldersListedAhead(), row.listedAhead);
        ASSERT_EQ(ahead.ReadOnThreads(), readAhead);
        size_t takenListings = 0;
        for (size_t i = 0; i < order.size(); ++i) {
            const FoundFolder folder = found(order[i]);
            FolderListing listing;
            const FolderHandle handle(folder.path);
            if (i > 0 && ahead.TakeListing(folder, listing)) {
                ++takenListings;
            } else {
                ListFolder(handle, listing);
            }
            std::vector<FoundFolder> below, known;
            for (const std::string& sub : listing.subFolders) {
                below.push_back(found(order[i] + "/" + sub));
                known.push_back(below.back());
                known.back().id.reset();
            }
            std::sort(below.begin(), below.end(),
                      [](const FoundFolder& a, const FoundFolder& b) { return a.path < b.path; });
            // (The folders below the first were planned knowing theirs.)
            ahead.KnownIds(known);
            for (size_t s = 0; s < known.size() && i > 0; ++s) {
                EXPECT_EQ(known[s].id.has_value(), row.listedAhead > 0) << known[s].path;
                if (known[s].id) {
                    EXPECT_TRUE(*known[s].id == *GetFolderId(known[s].path)) << known[s].path;
                }
            }
            if (i > 0) {
                EXPECT_TRUE(ahead.Enter(folder, below)) << order[i];
                EXPECT_EQ(ahead.AllRead(), row.listedAhead > 0) << order[i];
            }
            if (i == 0 || !ahead.AllRead()) ahead.Begin(handle);
            for (size_t f = 0; f < listing.FileCount(); ++f) {
                ahead.Add(std::string(listing.File(f)), listing.FilePlain(f));
            }
            for (size_t f = 0; f < listing.FileCount(); ++f) {
                const ShortcutRecord& record = ahead.Take();
                EXPECT_EQ(record.name, listing.File(f)) << "in the order named";
                const std::string number(record.name.substr(0, record.name.find('.')));
                EXPECT_EQ(record.text, "[InternetShortcut]\nURL=http://" + order[i] + "/" + number + "\n");
            }
            ahead.End();
        }
        EXPECT_EQ(takenListings, row.listedAhead);
        EXPECT_EQ(ahead.Delivered(), files);
        EXPECT_EQ(ahead.ReadOnThreads(), readAhead);
        if (row.listedAhead > 0) {
            EXPECT_LE(ahead.MostBytesHeld(), row.maxBytes);
        }
    }
}

// Folders made unreadable, and readable again, while the threads list and read the tree ahead
// (as a user who owns them, since root reads everything): the walk ends with a whole page, and
// every link on it is of a file of the tree.
TEST(ReadAheadTest, FoldersMadeUnreadableMidRunLeaveAWholePage) {
    TempFolder t;
    for (int f = 0; f < 12; ++f) NumberedShortcuts(t, "Fav/f" + std::to_string(f), 40);
    TempFolder out;
    std::unique_ptr<TextFile> page;
    const auto links = testing::RunWithoutRootRights(
        [&] {
            page = TextFile::Open(out.Path("page.htm"), "wt");
            for (const auto& e : std::filesystem::recursive_directory_iterator(t.Native("Fav"))) {
                if (chown(e.path().c_str(), 65534, 65534) != 0) _exit(200);
            }
            if (chown(t.Native("Fav").c_str(), 65534, 65534) != 0) _exit(200);
        },
        [&] {
            std::atomic<bool> done{false};
            std::thread locker([&] {
                for (int n = 0; !done.load(); ++n) {
                    const std::string folder = t.Native("Fav/f" + std::to_string(n % 12)).string();
                    chmod(folder.c_str(), n % 24 < 12 ? 0 : 0755);
                }
            });
            int32_t count = 0;
            WriteFolder(count, t.Path("Fav"), *page, ReadAheadMode::Always);
            done = true;
            locker.join();
            return page->Close() ? static_cast<int>(count % 128) : 255;  // an exit code's room
        });
    if (!links) GTEST_SKIP() << "cannot drop root rights here";
    ASSERT_NE(*links, 200) << "the tree could not be given to the user";
    ASSERT_NE(*links, 255);
    const std::string text = out.ReadFile("page.htm");
    EXPECT_EQ(testing::Occurrences(text, "<ul>"), testing::Occurrences(text, "</ul>"));
    EXPECT_EQ(testing::Occurrences(text, "<A NAME="), 12u) << "every folder has its part";
    size_t found = 0;
    for (size_t at = 0; (at = text.find("HREF=\"http://", at)) != std::string::npos; ++found) {
        at += 13;
        const std::string target = text.substr(at, text.find('"', at) - at);
        EXPECT_EQ(target.rfind("Fav/f", 0), 0u) << target;
    }
    EXPECT_EQ(found % 128, static_cast<size_t>(*links)) << "the count is the links'";
}

}  // namespace
}  // namespace favpage
