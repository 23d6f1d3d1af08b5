// Tests of escaping: every special byte at every place, including across the eight-byte steps
// the escaping takes, and anchor names.
#include <gtest/gtest.h>

#include <string>

#include "engine/html_text.h"

namespace favpage {
namespace {

std::string ReferenceEscape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

TEST(HtmlTextTest, EverySpecialByteAtEveryPlaceIsReplaced) {
    // Bytes next to the special ones in value, and high bytes, must pass unchanged.
    const std::string others = std::string("%'=;?%\x25\x27\x3B\x3D\x3F\x00\xA6\xBC\xBE\xA2", 16);
    for (size_t length = 0; length <= 26; ++length) {
        std::string plain;
        for (size_t i = 0; i < length; ++i) plain += others[(i * 5 + length) % others.size()];
        EXPECT_EQ(Escaped(plain), plain) << length;
        for (char special : {'&', '<', '>', '"'}) {
            for (size_t at = 0; at < length; ++at) {
                std::string text = plain;
                text[at] = special;
                if (at + 9 < length) text[at + 9] = '&';  // a second one a step later
                EXPECT_EQ(Escaped(text), ReferenceEscape(text)) << length << " " << at;
            }
        }
    }
    std::string appended = "kept&";
    AppendEscaped(appended, "<a href=\"x?a=1&b=2\">");
    EXPECT_EQ(appended, "kept&&lt;a href=&quot;x?a=1&amp;b=2&quot;&gt;");
}

// On POSIX the page is UTF-8: each name that is not is read as code page 1252, and an address
// as one text. Escaping applies as ever.
TEST(HtmlTextTest, PageTextIsUtf8AndEachNameThatIsNotIsReadAsCodePage1252) {
    const struct {
        const char* in;
        const char* name;     // AppendPageText
        const char* address;  // AppendPageAddress
    } cases[] = {
        {"plain & <b>", "plain &amp; &lt;b&gt;", "plain &amp; &lt;b&gt;"},
        {"R\u00e5d/\u672c/\U0001F525", "R\u00e5d/\u672c/\U0001F525", "R\u00e5d/\u672c/\U0001F525"},
        // 0x81 is one of the five bytes 1252 leaves undefined: the control character U+0081.
        {"Caf\xe9/\x80\x81\x9f\xff", "Caf\u00e9/\u20ac\xc2\x81\u0178\u00ff",
         "Caf\u00e9/\u20ac\xc2\x81\u0178\u00ff"},
        {"/home/\u00e5/Caf\xe9 & Co", "/home/\u00e5/Caf\u00e9 &amp; Co",
         "/home/\u00c3\u00a5/Caf\u00e9 &amp; Co"},
        // A surrogate's form and a cut sequence are no UTF-8.
        {"\xed\xa0\x80/\xe6\x9c", "\u00ed\u00a0\u20ac/\u00e6\u0153", "\u00ed\u00a0\u20ac/\u00e6\u0153"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PageText(c.in), c.name) << c.in;
        std::string address = "kept";
        AppendPageAddress(address, c.in);
        EXPECT_EQ(address, std::string("kept") + c.address) << c.in;
    }
}

TEST(HtmlTextTest, AnchorNamesKeepOnlyAsciiLettersAndDigits) {
    EXPECT_EQ(AnchorName("C:\\Fav\\Cars"), "C__Fav_Cars");
    EXPECT_EQ(AnchorName("a b_c-9\xE9Z"), "a_b_c_9_Z");
    // The edges of the three ranges and the bytes just outside them.
    EXPECT_EQ(AnchorName("@AZ[`az{/09:"), "_AZ__az__09_");
    EXPECT_EQ(AnchorName(""), "");
}

}  // namespace
}  // namespace favpage
