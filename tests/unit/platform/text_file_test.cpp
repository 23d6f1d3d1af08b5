// Tests of TextFile's own text-mode translation, on real files. Portable: built natively and for
// Windows. (The page's writer: tests/unit/engine/page_output_test.cpp.)
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace favpage
