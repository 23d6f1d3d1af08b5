// Tests of the page's writer through the TextFile that writes it, on real files: replaced only
// when closed, left as it was otherwise, refused without being touched. Portable: built natively
// and for Windows.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "engine/page_output.h"
#include "tests/unit/platform/temp_folder.h"

namespace favpage {
namespace {

using testing::TempFolder;

TEST(ReplacingWriterTest, ReplacesOnlyWhenClosed) {
    TempFolder dir;
    dir.WriteFile("page.htm", "old page");
    auto f = OpenPageWriter(dir.Path("page.htm"));
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
        auto f = OpenPageWriter(dir.Path("page.htm"));
        ASSERT_TRUE(f);
        f->Write(std::string(1 << 20, 'x'));  // more than one buffer reaches the temporary file
    }
    EXPECT_EQ(dir.ReadFile("page.htm"), "old page\r\n");
    EXPECT_EQ(dir.EntryCount(), 1u);
}

TEST(ReplacingWriterTest, CreatesAMissingPage) {
    TempFolder dir;
    auto f = OpenPageWriter(dir.Path("new.htm"));
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
        run = OpenPageWriter(dir.Path("new.htm"));
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
    EXPECT_FALSE(OpenPageWriter(dir.Path("folder.htm")));
    EXPECT_TRUE(std::filesystem::is_directory(dir.Native("folder.htm")));
    EXPECT_FALSE(OpenPageWriter(dir.Path("missing/page.htm")));
    EXPECT_FALSE(std::filesystem::exists(dir.Native("missing")));
    EXPECT_FALSE(OpenPageWriter(dir.Path("")));  // a path ending in a separator

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
    EXPECT_EQ(OpenPageWriter(dir.Path("ro.htm")) != nullptr, mayWriteAnyFile);
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
        auto f = OpenPageWriter(dir.Path("page.htm"));
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
