// The system code pages as the page declares and writes them, each checked without switching
// the system's code page: its web label, and a character of its script in the bytes that the
// web's encoding of that label reads back as that character (from the WHATWG indexes).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/code_page.h"
#include "platform/win32/code_page_labels.h"
#include "platform/win32/code_page_win32.h"

namespace favpage {
namespace {

struct CodePageRow {
    unsigned codePage;
    const char* label;      // "" where the page must be plain ASCII
    const char* character;  // UTF-8, written after an 'x'
    std::string bytes;      // its bytes after the 'x'; "" when it must become a reference
    uint32_t codePoint;
};

TEST(CodePageLabels, EachSystemCodePageIsDeclaredAsTheEncodingItsBytesAreIn) {
    const CodePageRow rows[] = {
        {874, "windows-874", "\u0e01", "\xa1", 0x0E01},
        {932, "shift_jis", "\u672c", "\x96\x7b", 0x672C},
        {936, "gbk", "\u4e2d", "\xd6\xd0", 0x4E2D},
        {949, "euc-kr", "\ud55c", "\xc7\xd1", 0xD55C},
        {950, "big5", "\u4e2d", "\xa4\xa4", 0x4E2D},
        {1250, "windows-1250", "\u015a", "\x8c", 0x015A},
        {1251, "windows-1251", "\u0416", "\xc6", 0x0416},
        {1252, "windows-1252", "\u20ac", "\x80", 0x20AC},
        {1253, "windows-1253", "\u03a9", "\xd9", 0x03A9},
        {1254, "windows-1254", "\u011f", "\xf0", 0x011F},
        {1255, "windows-1255", "\u05d0", "\xe0", 0x05D0},
        {1256, "windows-1256", "\u0639", "\xda", 0x0639},
        {1257, "windows-1257", "\u0105", "\xe0", 0x0105},
        {1258, "windows-1258", "\u0111", "\xf0", 0x0111},
        // UTF-8 holds every character; only an unpaired surrogate (which a Windows name may
        // hold, kept as its three bytes) has no form there.
        {CP_UTF8, "utf-8", "\U0001F525", "\xf0\x9f\x94\xa5", 0x1F525},
        {CP_UTF8, "utf-8", "\xed\xa0\x80", "", 0xD800},
        // A character outside a labeled code page becomes a reference.
        {1252, "windows-1252", "\u672c", "", 0x672C},
        // Code pages without a label: plain ASCII, even for characters they hold. The web's
        // "iso-8859-1" is windows-1252, which reads 0x80-0x9F otherwise than code page 28591.
        {437, "", "\u00c4", "", 0x00C4},
        {850, "", "\u00e9", "", 0x00E9},
        {28591, "", "\u00e9", "", 0x00E9},
    };
    for (const CodePageRow& r : rows) {
        SCOPED_TRACE(r.codePage);
        EXPECT_EQ(win32::WebLabel(r.codePage), r.label);
        std::string text;
        std::vector<Unfit> unfit;
        const bool fits = win32::ToCodePageOf(r.codePage, std::string("x") + r.character + "y",
                                              text, unfit);
        EXPECT_EQ(fits, !r.bytes.empty());
        EXPECT_EQ(text, "x" + r.bytes + "y");
        if (r.bytes.empty()) {
            ASSERT_EQ(unfit.size(), 1u);
            EXPECT_EQ(unfit[0].at, 1u);
            EXPECT_EQ(unfit[0].codePoint, r.codePoint);
        } else {
            EXPECT_TRUE(unfit.empty());
        }
    }
    ASSERT_EQ(GetACP(), 1252u) << "the tests expect the Western code page";
    EXPECT_EQ(PageEncodingLabel(), "windows-1252");
}

}  // namespace
}  // namespace favpage
