// POSIX-only tests of TextFile's own: a write error reported by Close(), and a reader that stops
// where the file ended when it was opened. (The page's writer:
// tests/unit/engine/page_output_posix_test.cpp.)
#include <gtest/gtest.h>

#include <fstream>

#include "platform/text_file.h"
#include "tests/unit/platform/temp_folder.h"

namespace favpage {
namespace {

using testing::TempFolder;

TEST(TextFilePosixTest, CloseReportsAWriteThatFailed) {
    auto f = TextFile::Open("/dev/full", "wt");
    ASSERT_TRUE(f);
    f->Write("page\n");
    EXPECT_FALSE(f->Close());
    EXPECT_FALSE(f->Close()) << "the answer does not change";
}

TEST(TextFilePosixTest, ReadingStopsAtTheLengthTheFileHadWhenOpened) {
    TempFolder dir;
    dir.WriteFile("grow.txt", "abc");
    auto f = TextFile::Open(dir.Path("grow.txt"), "r");
    ASSERT_TRUE(f);
    {
        std::ofstream more(dir.Native("grow.txt"), std::ios::binary | std::ios::app);
        more << "defg";
    }
    char buf[16];
    EXPECT_EQ(f->Read(buf, sizeof buf), 3u);
    EXPECT_EQ(f->Read(buf, sizeof buf), 0u);
}

}  // namespace
}  // namespace favpage
