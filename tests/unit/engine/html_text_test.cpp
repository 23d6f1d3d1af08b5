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

TEST(HtmlTextTest, AnchorNamesKeepOnlyAsciiLettersAndDigits) {
    EXPECT_EQ(AnchorName("C:\\Fav\\Cars"), "C__Fav_Cars");
    EXPECT_EQ(AnchorName("a b_c-9\xE9Z"), "a_b_c_9_Z");
    // The edges of the three ranges and the bytes just outside them.
    EXPECT_EQ(AnchorName("@AZ[`az{/09:"), "_AZ__az__09_");
    EXPECT_EQ(AnchorName(""), "");
}

}  // namespace
}  // namespace favpage
