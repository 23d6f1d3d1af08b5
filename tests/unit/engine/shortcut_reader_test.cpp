// Tests of shortcut recognition and of the link line WriteShortcut writes.
#include <gtest/gtest.h>

#include "engine/shortcut_reader.h"
#include "tests/unit/engine/page_test_support.h"

namespace favpage {
namespace {

using testing::ClassicShortcut;
using testing::Crlf;
using testing::TempFolder;

struct ParseCase {
    const char* label;
    std::string text;  // after text-mode reading: no CRs
    std::optional<std::string> target;
};

TEST(ParseShortcutTest, RecognisesTheSectionAsWindowsReadsIt) {
    const ParseCase cases[] = {
        {"classic", "[InternetShortcut]\nURL=page-a.htm\n", "page-a.htm"},
        {"no line end", "[InternetShortcut]\nURL=http://a/", "http://a/"},
        {"header only", "[InternetShortcut]", ""},
        {"no URL key", "[InternetShortcut]\nIconIndex=0\n", ""},
        {"empty URL", "[InternetShortcut]\nURL=\n", ""},
        {"URL not second", "[InternetShortcut]\nModified=X\nURL=http://b/\n", "http://b/"},
        {"DEFAULT first",
         "[DEFAULT]\nBASEURL=http://base/\n[InternetShortcut]\nURL=http://c/\nIDList=\n",
         "http://c/"},
        {"property section first",
         "[{000214A0-0000-0000-C000-000000000046}]\nProp3=19,2\n[InternetShortcut]\n"
         "IDList=\nURL=http://d/\n",
         "http://d/"},
        {"byte-order mark", "\xEF\xBB\xBF[InternetShortcut]\nURL=http://e/\n", "http://e/"},
        {"other letter case", "[internetSHORTCUT]\nurl=http://f/\n", "http://f/"},
        {"blanks", "  [ InternetShortcut ]  \n\tURL  =  http://g/ x  \n", "http://g/ x"},
        {"quoted", "[InternetShortcut]\nURL=\"http://h/\"\n", "http://h/"},
        {"one pair of quotes", "[InternetShortcut]\nURL=\"\"h\"\"\n", "\"h\""},
        {"lone quote kept", "[InternetShortcut]\nURL=\"h\n", "\"h"},
        {"first URL wins", "[InternetShortcut]\nURL=one\nURL=two\n", "one"},
        {"URL of another section", "[Other]\nURL=x\n", std::nullopt},
        {"section ends first", "[InternetShortcut]\nIconFile=i\n[Other]\nURL=y\n", ""},
        {"other sections' URLs around it",
         "[Other]\nURL=before\n[InternetShortcut]\nIconFile=i\n[Later]\nURL=after\n", ""},
        // A 0 byte makes the reader look at every line, not only the section headers.
        {"other sections' URLs, with a 0 byte",
         std::string("[Other]\nURL=before\n[InternetShortcut]\nIcon") + '\0' +
             "File=i\n[Later]\nURL=after\n",
         ""},
        {"key without value sign", "[InternetShortcut]\nURL\nURL=z\n", "z"},
        {"equals in value", "[InternetShortcut]\nURL=http://q/?a=1&b=2\n", "http://q/?a=1&b=2"},
        {"URLs is another key", "[InternetShortcut]\nURLs=n\nURL=y\n", "y"},
        {"not a shortcut", "hello\nURL=x\n", std::nullopt},
        {"ten bytes", "[Internet]", std::nullopt},
        {"empty file", "", std::nullopt},
        {"bracket but other name", "[InternetShortcuts]\nURL=x\n", std::nullopt},
        // Bytes that share the low bits of the letters are not those letters.
        {"near-letters in the header", "[Internet\x13hortcut]\nURL=x\n", std::nullopt},
        {"high byte in the header", "[InternetShortcu\xF4]\nURL=x\n", std::nullopt},
        {"near-letters in the key", "[InternetShortcut]\nUR\x0C=x\n\xD5RL=y\nuRl=z\n", "z"},
        // Windows keeps an address with characters outside the code page in UTF-7 in a .W
        // section, with '?' in their place in the other one.
        {".W after", "[InternetShortcut]\nURL=http://?/\n[InternetShortcut.W]\nURL=http://+A6g-/\n",
         "http://%CE%A8/"},
        {".W before, other case, blanks, quotes",
         " [ internetshortcut.w ]\n url = \"+2D3dJQ-\"\n[InternetShortcut]\nURL=?\n", "%F0%9F%94%A5"},
        {".W with 8-bit bytes falls back", "[InternetShortcut.W]\nURL=\u00e4\n[InternetShortcut]\nURL=?\n",
         "?"},
        {".W before", "[InternetShortcut.W]\nURL=a+AOQ-b\n[InternetShortcut]\nURL=a?b\n", "a%C3%A4b"},
        {".W surrogate pair", "[InternetShortcut]\n[InternetShortcut.w]\nURL=+2D3dJQ\n", "%F0%9F%94%A5"},
        {".W without URL key", "[InternetShortcut]\nURL=x\n[InternetShortcut.W]\nIconFile=i\n", "x"},
        {".W malformed", "[InternetShortcut]\nURL=x\n[InternetShortcut.W]\nURL=+AG\n", "x"},
        {".W empty", "[InternetShortcut]\nURL=x\n[InternetShortcut.W]\nURL=\n", "x"},
        {".W only", "[InternetShortcut.W]\nURL=http://w/\n", std::nullopt},
        {"first .W wins", "[InternetShortcut]\n[InternetShortcut.W]\nURL=a\nURL=b\n", "a"},
        {"not .W: near-stop", "[InternetShortcut]\nURL=x\n[InternetShortcut\x0EW]\nURL=+A6g-\n", "x"},
        {".W control characters", "[InternetShortcut]\nURL=?\n[InternetShortcut.W]\nURL=http://c/+AAkAAQ-x\x7f\n",
         "http://c/%09%01x%7F"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseShortcut(c.text), c.target) << c.label;
    }
}

TEST(ParseShortcutTest, LinkTextDropsOnlyTheLastExtension) {
    EXPECT_EQ(LinkText("Alpha.url"), "Alpha");
    EXPECT_EQ(LinkText("My.Site.url"), "My.Site");
    EXPECT_EQ(LinkText("noext"), "noext");
    EXPECT_EQ(LinkText(".url"), "");
    EXPECT_EQ(LinkText("trailing."), "trailing");
}

class WriteShortcutTest : public ::testing::Test {
protected:
    // Writes `bytes` as `name`, runs the reader on it and returns what reached the page.
    std::string Link(const std::string& name, const std::string& bytes, int32_t& count) {
        m_files.WriteFile(name, bytes);
        return Run(name, count);
    }
    std::string Run(const std::string& name, int32_t& count) {
        auto entry = FindEntry(m_files.Path(name), kFileMask);
        EXPECT_TRUE(entry) << name;
        if (!entry) return {};
        testing::InputGuard guard(m_files.Path());
        auto page = TextFile::Open(m_out.Path("page.htm"), "wt");
        WriteShortcut(count, m_files.Path(), *page, *entry);
        EXPECT_TRUE(page->Close());
        return m_out.ReadFile("page.htm");
    }
    TempFolder m_files;
    TempFolder m_out;
};

TEST_F(WriteShortcutTest, ClassicFileWithEitherLineEnd) {
    int32_t count = 0;
    const std::string expected = Crlf("<li><A HREF=\"page-a.htm\">Alpha</A>\n\n");
    EXPECT_EQ(Link("Alpha.url", ClassicShortcut("page-a.htm"), count), expected);
    EXPECT_EQ(Link("Alpha.url", "[InternetShortcut]\nURL=page-a.htm\n", count), expected);
    EXPECT_EQ(Link("Alpha.url", "[InternetShortcut]\r\nURL=page\r-a.htm\r\nModified=1\r\n", count),
              expected) << "a CR anywhere is dropped";
    EXPECT_EQ(count, 3);
}

TEST_F(WriteShortcutTest, TheNameDoesNotDecide) {
    int32_t count = 0;
    EXPECT_EQ(Link("notes.txt", ClassicShortcut("n.htm"), count),
              Crlf("<li><A HREF=\"n.htm\">notes</A>\n\n"));
    EXPECT_EQ(Link("fake.url", "just some text\r\n", count), "");
    EXPECT_EQ(Link("short.url", "[Internet]", count), "");
    EXPECT_EQ(count, 1);
}

TEST_F(WriteShortcutTest, ShortcutWithoutUrlIsCountedWithAnEmptyTarget) {
    int32_t count = 0;
    EXPECT_EQ(Link("Empty.url", "[InternetShortcut]", count),
              Crlf("<li><A HREF=\"\">Empty</A>\n\n"));
    EXPECT_EQ(Link("Empty.url", "[InternetShortcut]\r\nURL=", count),
              Crlf("<li><A HREF=\"\">Empty</A>\n\n"));
    EXPECT_EQ(count, 2);
}

TEST_F(WriteShortcutTest, CtrlZEndsTheText) {
    int32_t count = 0;
    EXPECT_EQ(Link("z.url", "[InternetShortcut]\r\nURL=ab\x1A" "cd\r\n", count),
              Crlf("<li><A HREF=\"ab\">z</A>\n\n"));
    EXPECT_EQ(Link("z.url", "\x1A[InternetShortcut]\r\nURL=ab\r\n", count), "");
    EXPECT_EQ(count, 1);
}

TEST_F(WriteShortcutTest, OnlyTheFirst64KiBAreExamined) {
    int32_t count = 0;
    const std::string filler(kShortcutExamineLimit - 100, 'x');
    EXPECT_EQ(Link("near.url", filler + "\n[InternetShortcut]\nURL=in\n", count),
              Crlf("<li><A HREF=\"in\">near</A>\n\n"));
    // The limit is 65,536 characters of text: the offsets are written out, not derived from it.
    const struct {
        size_t headerAt;
        const char* page;
    } edges[] = {
        {65'000, "<li><A HREF=\"in\">edge</A>\r\n\r\n"},  // "URL=in" ends at 65,024
        {65'511, "<li><A HREF=\"in\">edge</A>\r\n\r\n"},  // the value's last byte is 65,535
        {65'512, "<li><A HREF=\"i\">edge</A>\r\n\r\n"},   // its last byte is cut off
        {65'518, "<li><A HREF=\"\">edge</A>\r\n\r\n"},    // the header ends at 65,535
        {65'520, ""},  // the header's last letter is past the limit
    };
    for (const auto& e : edges) {
        const std::string text = std::string(e.headerAt - 1, 'x') + "\n[InternetShortcut]\nURL=in\n";
        EXPECT_EQ(Link("edge.url", text, count), e.page) << e.headerAt;
    }
    count = 1;
    const std::string big(4 * 1024 * 1024, 'y');
    EXPECT_EQ(Link("big.url", big + "\n[InternetShortcut]\nURL=late\n", count), "");
    EXPECT_EQ(count, 1);
}

// `text` as a UTF-16 file with its byte-order mark.
std::string Utf16File(const std::u16string& text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

TEST_F(WriteShortcutTest, Utf16FilesAreReadByTheSameRulesAndLinkTheirUnicodeAddress) {
    const struct {
        const char* label;
        std::u16string text;
        const char* target;  // nullptr: no shortcut
    } cases[] = {
        {"classic", u"[InternetShortcut]\r\nURL=http://u/\r\n", "http://u/"},
        {"Unicode address", u"[InternetShortcut]\r\nURL=http://\u03a8/\U0001F525\r\n",
         "http://%CE%A8/%F0%9F%94%A5"},
        // Characters whose bytes are those of CR (0x0D) and Ctrl-Z (0x1A) in one byte order or
        // the other: text mode must not see them.
        {"CR and Ctrl-Z bytes inside characters",
         u"[InternetShortcut]\r\nURL=http://x/\u0d0a\u1a1a\u011a\u0d00\r\n",
         "http://x/%E0%B4%8A%E1%A8%9A%C4%9A%E0%B4%80"},
        {"CR characters dropped, a Ctrl-Z character ends the text",
         u"[InternetShortcut]\r\nURL=a\rb\x1a" u"c\r\n", "ab"},
        {"sections and keys as ever",
         u"[Other]\r\nURL=no\r\n [ internetshortcut ] \r\n url = \"q\" \r\n[Later]\r\nURL=no\r\n",
         "q"},
        {".W wins", u"[InternetShortcut]\r\nURL=?\r\n[InternetShortcut.W]\r\nURL=+A6g-\r\n",
         "%CE%A8"},
        {"unpaired surrogate", u"[InternetShortcut]\r\nURL=a\xd800" u"b\r\n", "a%EF%BF%BDb"},
        {"control character", u"[InternetShortcut]\r\nURL=a\tb\x7f\r\n", "a%09b%7F"},
        {"no shortcut", u"hello\r\nURL=x\r\n", nullptr},
    };
    int32_t count = 0;
    int32_t shortcuts = 0;
    for (const auto& c : cases) {
        for (const bool bigEndian : {false, true}) {
            SCOPED_TRACE(std::string(c.label) + (bigEndian ? " (big-endian)" : ""));
            const std::string expected =
                c.target ? Crlf("<li><A HREF=\"" + std::string(c.target) + "\">u</A>\n\n") : "";
            EXPECT_EQ(Link("u.url", Utf16File(c.text, bigEndian), count), expected);
            if (c.target) ++shortcuts;
        }
    }
    EXPECT_EQ(count, shortcuts);
    // A mark that only comes about where text mode drops a CR makes no UTF-16 file.
    EXPECT_EQ(Link("u.url", "\xFF\r\xFE\r\n[InternetShortcut]\r\nURL=x\r\n", count),
              Crlf("<li><A HREF=\"x\">u</A>\n\n"));
    // The limit counts the file's bytes: 2 for the mark, 2 for each character.
    const struct {
        size_t filler;
        const char* page;
    } edges[] = {
        {32'700, "<li><A HREF=\"in\">u</A>\r\n\r\n"},  // "in" ends at byte 65,453
        {32'748, "<li><A HREF=\"\">u</A>\r\n\r\n"},    // the header ends at byte 65,535
        {32'750, ""},  // its last letter takes bytes 65,536 and 65,537
    };
    for (const auto& e : edges) {
        const std::u16string text = std::u16string(e.filler, u'x') + u"\n[InternetShortcut]\nURL=in\n";
        EXPECT_EQ(Link("u.url", Utf16File(text, false), count), e.page) << e.filler;
    }
}

// A file with a UTF-8 byte-order mark holds its address in UTF-8. A page whose code page is
// UTF-8, as every POSIX page is, takes those bytes as they are; a .W address is still
// percent-encoded. (On a Windows page in another code page the address is percent-encoded: the
// path table under Wine shows it.)
TEST_F(WriteShortcutTest, Utf8FilesKeepTheirAddressOnAUtf8Page) {
    const struct {
        const char* text;
        const char* target;
    } cases[] = {
        {"\xEF\xBB\xBF[InternetShortcut]\r\nURL=http://e/caf\xC3\xA9\r\n", "http://e/caf\xC3\xA9"},
        {"\xEF\xBB\xBF[InternetShortcut]\r\nURL=http://e/?\r\n[InternetShortcut.W]\r\nURL=+A6g-\r\n",
         "%CE%A8"},
        {"\xEF\xBB\xBF[InternetShortcut]\r\nURL=\"a&b\"\r\n", "a&amp;b"},
    };
    int32_t count = 0;
    for (const auto& c : cases) {
        EXPECT_EQ(Link("u.url", c.text, count),
                  Crlf("<li><A HREF=\"" + std::string(c.target) + "\">u</A>\n\n"))
            << c.text;
    }
    EXPECT_EQ(count, 3);
}

TEST_F(WriteShortcutTest, MarkupInNamesAndTargetsIsEscaped) {
    int32_t count = 0;
    EXPECT_EQ(Link("R&D <new> \"x\".url", ClassicShortcut("http://s/?a=1&b=<2>\"'"), count),
              Crlf("<li><A HREF=\"http://s/?a=1&amp;b=&lt;2&gt;&quot;'\">"
                   "R&amp;D &lt;new&gt; &quot;x&quot;</A>\n\n"));
    EXPECT_EQ(Link("100%s.url", ClassicShortcut("%n%s"), count),
              Crlf("<li><A HREF=\"%n%s\">100%s</A>\n\n"));
    EXPECT_EQ(Link("w.url", "[InternetShortcut.W]\r\nURL=?a=+AOQ-&b=\"\r\n[InternetShortcut]\r\n", count),
              Crlf("<li><A HREF=\"?a=%C3%A4&amp;b=&quot;\">w</A>\n\n"));
}

TEST_F(WriteShortcutTest, FoldersAndMissingFilesWriteNothing) {
    int32_t count = 0;
    m_files.MakeFolder("plain");
    m_files.MakeFolder(".hidden");  // a hidden folder reaches the reader, whose open fails
    testing::InputGuard guard(m_files.Path());
    auto page = TextFile::Open(m_out.Path("page.htm"), "wt");
    WriteShortcut(count, m_files.Path(), *page, DirEntry{"plain", 0, kAttrDirectory});
    WriteShortcut(count, m_files.Path(), *page,
                  DirEntry{".hidden", 0, kAttrDirectory | kAttrHidden});
    WriteShortcut(count, m_files.Path(), *page, DirEntry{"missing.url", 10, 0});
    ASSERT_TRUE(page->Close());
    EXPECT_EQ(m_out.ReadFile("page.htm"), "");
    EXPECT_EQ(count, 0);
}

}  // namespace
}  // namespace favpage
