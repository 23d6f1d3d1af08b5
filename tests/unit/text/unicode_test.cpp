// Tests of the conversions every layer shares: the wide strings of the Windows calls to and from
// the platform's UTF-8 names, surrogates included, and the checks that keep ASCII fast.
#include <gtest/gtest.h>

#include <string>

#include "text/utf16.h"
#include "text/utf8.h"

namespace favpage {
namespace {

std::wstring Units(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

TEST(UnicodeTest, WideAndNarrowGiveEveryNameBackExactly) {
    const struct {
        const char* label;
        std::string utf8;
        std::u16string utf16;
        bool both;  // false: only Wide makes `utf16` of `utf8`
    } rows[] = {
        {"nothing", "", u"", true},
        {"ASCII", "C:\\Fav\\a b.url", u"C:\\Fav\\a b.url", true},
        {"two and three bytes", "R\u00e5d \u672c", u"R\u00e5d \u672c", true},
        {"a pair", "x\U0001F525y", u"x\U0001F525y", true},
        {"the last code point", "\U0010FFFF", u"\U0010FFFF", true},
        // NTFS lets a name hold a surrogate without its pair: its three bytes keep it.
        {"a high surrogate alone", "a\xed\xa0\x80", u"a\xd800", true},
        {"a low surrogate alone", "\xed\xbf\xbfz", u"\xdfffz", true},
        {"a pair the wrong way round", "\xed\xb0\x80\xed\xa0\x80", u"\xdc00\xd800", true},
        // Bytes that are no UTF-8 become U+FFFD, one for each byte that starts nothing.
        {"a stray byte", "a\xff" "b", u"a\xfffd" "b", false},
        {"an overlong form", "\xc0\xaf", u"\xfffd\xfffd", false},
        {"a cut sequence", "\xe6\x9c", u"\xfffd\xfffd", false},
        {"past U+10FFFF", "\xf4\x90\x80\x80", u"\xfffd\xfffd\xfffd\xfffd", false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.label);
        EXPECT_EQ(Wide(r.utf8), Units(r.utf16));
        if (r.both) {
            const std::wstring wide = Units(r.utf16);
            std::string out = "kept";
            AppendNarrow(out, wide.data(), wide.size());
            EXPECT_EQ(out, "kept" + r.utf8);
        }
    }
}

TEST(UnicodeTest, TextIsAsciiOnlyWhenNoByteIsAbove127WhereverItStands) {
    // Across the eight-byte steps the check takes.
    for (size_t length = 0; length <= 19; ++length) {
        const std::string plain(length, 'a');
        EXPECT_TRUE(IsAscii(plain)) << length;
        EXPECT_TRUE(IsUtf8(plain)) << length;
        for (size_t at = 0; at < length; ++at) {
            std::string text = plain;
            text[at] = '\x80';
            EXPECT_FALSE(IsAscii(text)) << length << " " << at;
            EXPECT_FALSE(IsUtf8(text)) << length << " " << at;
            text[at] = '\x7f';
            EXPECT_TRUE(IsAscii(text)) << length << " " << at;
        }
    }
}

TEST(UnicodeTest, ReplacingLeavesOnlyUtf8ThatEveryReaderTakes) {
    const struct {
        std::string in;
        std::string out;
    } rows[] = {
        {"R\u00e5d \U0001F525", "R\u00e5d \U0001F525"},
        {"a\xed\xa0\x80" "b", "a\ufffd" "b"},  // a surrogate's form: one replacement
        {"\xff", "\ufffd"},
        {"\xe6\x9c", "\ufffd\ufffd"},          // a cut sequence: one for each byte
    };
    for (const auto& r : rows) {
        std::string out = "kept";
        AppendUtf8Replacing(out, r.in);
        EXPECT_EQ(out, "kept" + r.out) << r.in;
        EXPECT_TRUE(IsUtf8(r.out));
    }
}

}  // namespace
}  // namespace favpage
