// Tests of TextFile's own text-mode translation and of the replacing writer, on real files.
// Portable: built natively and for Windows.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "platform/page_output.h"
#include "platform/text_file.h"
#include "tests/unit/platform/temp_folder.h"

namespace favpage {
namespace {

using testing::TempFolder;

std::string ReadAll(TextFile& f, size_t chunk) {
    std::string text;
    std::string buf(chunk, '\0');
    for (;;) {
        const size_t n = f.Read(buf.data(), chunk);
        if (n == 0) break;
        text.append(buf.data(), n);
    }
    return text;
}

struct ReadCase {
    const char* label;
    std::string bytes;
    std::string text;
};

TEST(TextFileReadTest, DropsEveryCrAndStopsAtCtrlZ) {
    const ReadCase cases[] = {
        {"crlf", "a\r\nb\r\n", "a\nb\n"},
        {"lone cr", "a\rb\r", "ab"},
        {"cr before cr lf", "x\r\r\ny", "x\ny"},
        {"ctrl-z ends the file", "one\r\ntwo\x1Athree\r\n", "one\ntwo"},
        {"ctrl-z first", std::string("\x1A" "abc", 4), ""},
        {"only crs", "\r\r\r", ""},
        {"zero bytes pass", std::string("a\0b", 3), std::string("a\0b", 3)},
        {"empty", "", ""},
    };
    TempFolder dir;
    for (const auto& c : cases) {
        dir.WriteFile("f.txt", c.bytes);
        for (size_t chunk : {1u, 2u, 3u, 4096u}) {
            auto f = TextFile::Open(dir.Path("f.txt"), "r");
            ASSERT_TRUE(f) << c.label;
            EXPECT_EQ(ReadAll(*f, chunk), c.text) << c.label << " chunk " << chunk;
            char more;
            EXPECT_EQ(f->Read(&more, 1), 0u) << c.label << ": the end stays the end";
        }
    }
}

TEST(TextFileReadTest, TwentyThreeCharactersOfAClassicHeaderDeliverTwentyTwo) {
    TempFolder dir;
    dir.WriteFile("a.url", "[InternetShortcut]\r\nURL");
    auto f = TextFile::Open(dir.Path("a.url"), "r");
    ASSERT_TRUE(f);
    char buf[32];
    ASSERT_EQ(f->Read(buf, 23), 22u);
    EXPECT_EQ(std::string(buf, 22), "[InternetShortcut]\nURL");
    EXPECT_EQ(f->Read(buf, 23), 0u);
}

TEST(TextFileReadTest, CountIsAnUpperBoundAfterTranslation) {
    TempFolder dir;
    dir.WriteFile("f.txt", "ab\r\ncd\r\nef");
    auto f = TextFile::Open(dir.Path("f.txt"), "r");
    ASSERT_TRUE(f);
    char buf[8];
    ASSERT_EQ(f->Read(buf, 4), 4u);  // "ab\nc": the CR does not count
    EXPECT_EQ(std::string(buf, 4), "ab\nc");
    ASSERT_EQ(f->Read(buf, 8), 4u);
    EXPECT_EQ(std::string(buf, 4), "d\nef");
}

TEST(TextFileReadTest, ReadingALookedUpFileKeepsToTheSizeSeenAndTheCount) {
    TempFolder dir;
    dir.WriteFile("f.txt", "ab\r\ncd\x1A" "ef");
    char buf[16];
    const std::string path = dir.Path("f.txt");
    ASSERT_EQ(TextFile::ReadLookedUp(path, 9, buf, sizeof buf), std::optional<size_t>(5));
    EXPECT_EQ(std::string(buf, 5), "ab\ncd");
    EXPECT_EQ(TextFile::ReadLookedUp(path, 3, buf, sizeof buf), std::optional<size_t>(2))
        << "only the bytes the lookup saw";
    ASSERT_EQ(TextFile::ReadLookedUp(path, 9, buf, 3), std::optional<size_t>(3));
    EXPECT_EQ(std::string(buf, 3), "ab\n");
    EXPECT_FALSE(TextFile::ReadLookedUp(dir.Path("missing.txt"), 5, buf, sizeof buf));
    dir.MakeFolder("sub");
    EXPECT_EQ(TextFile::ReadLookedUp(dir.Path("sub"), 5, buf, sizeof buf).value_or(0), 0u)
        << "a folder delivers nothing";
}

TEST(TextFileOpenTest, FolderMissingFileAndBadModeFail) {
    TempFolder dir;
    dir.MakeFolder("sub");
    EXPECT_FALSE(TextFile::Open(dir.Path("sub"), "r"));
    EXPECT_FALSE(TextFile::Open(dir.Path("missing.txt"), "r"));
    EXPECT_FALSE(TextFile::Open(dir.Path("sub"), "wt"));
    EXPECT_FALSE(TextFile::Open(dir.Path("nofolder/x.txt"), "wt"));
    dir.WriteFile("f.txt", "x");
    EXPECT_FALSE(TextFile::Open(dir.Path("f.txt"), "a"));
}

TEST(TextFileWriteTest, LfBecomesCrLfAndNothingElseChanges) {
    const std::pair<std::string, std::string> cases[] = {
        {"<ul>\n", "<ul>\r\n"},
        {"a\rb", "a\rb"},
        {"\n\n", "\r\n\r\n"},
        {"100% %s\x1A", "100% %s\x1A"},
        {"", ""},
    };
    TempFolder dir;
    for (const auto& [text, bytes] : cases) {
        auto f = TextFile::Open(dir.Path("out.htm"), "wt");
        ASSERT_TRUE(f);
        f->Write(text);
        EXPECT_TRUE(f->Close());
        EXPECT_EQ(dir.ReadFile("out.htm"), bytes);
    }
    EXPECT_EQ(dir.ReadFile("out.htm").size(), 0u);
    auto f = TextFile::Open(dir.Path("out.htm"), "wt");
    f->Write("<ul>\n");
    f.reset();  // destruction closes and flushes too
    EXPECT_EQ(dir.ReadFile("out.htm"), "<ul>\r\n");
    EXPECT_EQ(dir.ReadFile("out.htm").size(), 6u);
}

TEST(TextFileWriteTest, LargeWritesArriveWhole) {
    TempFolder dir;
    std::string text;
    for (int i = 0; i < 200000; ++i) text += "line " + std::to_string(i) + "\n";
    auto f = TextFile::Open(dir.Path("big.htm"), "wt");
    ASSERT_TRUE(f);
    for (size_t i = 0; i < text.size(); i += 1000) f->Write(text.substr(i, 1000));
    ASSERT_TRUE(f->Close());
    std::string expected;
    for (char c : text) {
        if (c == '\n') expected += '\r';
        expected += c;
    }
    EXPECT_EQ(dir.ReadFile("big.htm"), expected);
}

TEST(ReplacingWriterTest, ReplacesOnlyWhenClosed) {
    TempFolder dir;
    dir.WriteFile("page.htm", "old page");
    auto f = TextFile::OpenReplacing(dir.Path("page.htm"));
    ASSERT_TRUE(f);
    f->Write("new\n");
    EXPECT_EQ(dir.ReadFile("page.htm"), "old page");  // untouched while being written
    ASSERT_TRUE(f->Close());
    EXPECT_EQ(dir.ReadFile("page.htm"), "new\r\n");
    f.reset();
    EXPECT_EQ(dir.EntryCount(), 1u) << "no temporary file is left behind";
}

TEST(ReplacingWriterTest, AbandonedWriterLeavesTheOldPageAndNoTemporaryFile) {
    TempFolder dir;
    dir.WriteFile("page.htm", "old page\r\n");
    {
        auto f = TextFile::OpenReplacing(dir.Path("page.htm"));
        ASSERT_TRUE(f);
        f->Write(std::string(1 << 20, 'x'));  // more than one buffer reaches the temporary file
    }
    EXPECT_EQ(dir.ReadFile("page.htm"), "old page\r\n");
    EXPECT_EQ(dir.EntryCount(), 1u);
}

TEST(ReplacingWriterTest, CreatesAMissingPage) {
    TempFolder dir;
    auto f = TextFile::OpenReplacing(dir.Path("new.htm"));
    ASSERT_TRUE(f);
    f->Write("<html>\n");
    ASSERT_TRUE(f->Close());
    EXPECT_EQ(dir.ReadFile("new.htm"), "<html>\r\n");
}

// Runs that began while the page did not exist: each finds it made by the one before when it
// finishes, and replaces it. The last one wins.
TEST(ReplacingWriterTest, APageMadeMeanwhileByAnotherRunIsReplaced) {
    TempFolder dir;
    std::unique_ptr<TextFile> runs[3];
    for (auto& run : runs) {
        run = TextFile::OpenReplacing(dir.Path("new.htm"));
        ASSERT_TRUE(run);
    }
    for (int i = 0; i < 3; ++i) {
        runs[i]->Write("run " + std::to_string(i) + "\n");
        EXPECT_TRUE(runs[i]->Close()) << i;
    }
    EXPECT_EQ(dir.ReadFile("new.htm"), "run 2\r\n");
    EXPECT_EQ(dir.EntryCount(), 1u);
}

TEST(ReplacingWriterTest, RefusesTargetsThatCannotBeWrittenWithoutTouchingThem) {
    TempFolder dir;
    dir.MakeFolder("folder.htm");
    EXPECT_FALSE(TextFile::OpenReplacing(dir.Path("folder.htm")));
    EXPECT_TRUE(std::filesystem::is_directory(dir.Native("folder.htm")));
    EXPECT_FALSE(TextFile::OpenReplacing(dir.Path("missing/page.htm")));
    EXPECT_FALSE(std::filesystem::exists(dir.Native("missing")));
    EXPECT_FALSE(TextFile::OpenReplacing(dir.Path("")));  // a path ending in a separator

    dir.WriteFile("ro.htm", "read-only page");
    std::filesystem::permissions(dir.Native("ro.htm"),
                                 std::filesystem::perms::owner_write |
                                     std::filesystem::perms::group_write |
                                     std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
    // Whether the system lets this user open it for writing decides, not the bits: Windows
    // refuses everyone, POSIX everyone but root (an ordinary user's tests are with the faults).
#ifdef _WIN32
    const bool mayWriteAnyFile = false;
#else
    const bool mayWriteAnyFile = geteuid() == 0;
#endif
    EXPECT_EQ(TextFile::OpenReplacing(dir.Path("ro.htm")) != nullptr, mayWriteAnyFile);
    EXPECT_EQ(dir.ReadFile("ro.htm"), "read-only page") << "a writer never closed changes nothing";
}

// A run that fails at any step of the writer, as a failing or full disk would make it fail:
// the page is left as it was, to its last byte and its length, and nothing beside it. Written in
// place (a page with a second name) its old bytes are put back, whether the new text is shorter
// (the page was cut to its length before the flush failed) or longer than the old one.
TEST(ReplacingWriterTest, ARunThatFailsAtAnyStepLeavesEveryByteOfThePage) {
    using Step = PageOutput::Step;
    struct Case {
        const char* label;
        Step failing;
        bool inPlace;
        size_t newSize;
    };
    const Case cases[] = {
        {"in place, the flush fails, the page shrinks", Step::Flush, true, 675},
        {"in place, the flush fails, the page grows", Step::Flush, true, 300 * 1024},
        {"in place, cutting fails, the page shrinks", Step::Truncate, true, 675},
        {"in place, a write fails past the buffer", Step::Write, true, 300 * 1024},
        {"in place, the last write fails", Step::Write, true, 675},
        {"replaced, the flush fails", Step::Flush, false, 675},
        {"replaced, a write fails", Step::Write, false, 300 * 1024},
    };
    std::string old(200000, '\0');
    for (size_t i = 0; i < old.size(); ++i) old[i] = static_cast<char>('a' + i * 7919 % 26);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder dir;
        dir.WriteFile("page.htm", old);
        if (c.inPlace) {
            std::filesystem::create_hard_link(dir.Native("page.htm"), dir.Native("other.htm"));
        }
        const size_t entries = dir.EntryCount();
        auto f = TextFile::OpenReplacing(dir.Path("page.htm"));
        ASSERT_TRUE(f);
        PageOutput::FailInTests(c.failing);
        f->Write(std::string(c.newSize, 'x'));
        const bool closed = f->Close();
        PageOutput::FailInTests(Step::None);
        EXPECT_FALSE(closed);
        EXPECT_EQ(std::filesystem::file_size(dir.Native("page.htm")), old.size());
        EXPECT_TRUE(dir.ReadFile("page.htm") == old) << "the old bytes are not all back";
        EXPECT_EQ(dir.EntryCount(), entries) << "nothing left beside the page";
    }
}

}  // namespace
}  // namespace favpage
