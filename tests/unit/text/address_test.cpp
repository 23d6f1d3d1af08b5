// Tests of the addresses' text: UTF-7 as Windows writes [InternetShortcut.W], and percent-encoding.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "text/address.h"

namespace favpage {
namespace {

TEST(AddressTest, Utf7DecodesCleanlyOrNotAtAll) {
    const struct {
        const char* utf7;
        std::optional<std::string> utf8;
    } cases[] = {
        // RFC 2152's examples.
        {"A+ImIDkQ.", "A\u2262\u0391."},
        {"Hi Mom -+Jjo--!", "Hi Mom -\u263a-!"},
        {"+ZeVnLIqe-", "\u65e5\u672c\u8a9e"},
        {"Item 3 is +AKM-1.", "Item 3 is \u00a31."},
        {"+-", "+"},
        {"a+-b+-", "a+b+"},
        {"+ZeVnLIqe", "\u65e5\u672c\u8a9e"},  // ended by the end of the text
        {"+2D3dJQ-", "\U0001F525"},
        {"", ""},
        {"+", std::nullopt},
        {"+!", std::nullopt},          // a run that encodes nothing
        {"+AG-", std::nullopt},        // 12 bits: half a unit
        {"+AGEA-", std::nullopt},      // 6 bits left over
        {"+AGF-", std::nullopt},       // left-over bits not zero
        {"+2D0-", std::nullopt},       // a high surrogate alone
        {"+3SU-", std::nullopt},       // a low surrogate alone
        {"+2D0AYQ-", std::nullopt},    // a high surrogate before a letter
        {"+AAA-", std::nullopt},       // U+0000
        {"caf\xc3\xa9", std::nullopt}, // 8-bit bytes are no UTF-7
    };
    for (const auto& c : cases) {
        std::string out;
        const bool ok = DecodeUtf7(c.utf7, out);
        EXPECT_EQ(ok ? std::optional<std::string>(out) : std::nullopt, c.utf8) << c.utf7;
    }
    std::string encoded = "x";
    AppendPercentEncoded(encoded, "http://\u03a8/\u00e4 b?q=1&\x7f\t\x01~");
    EXPECT_EQ(encoded, "xhttp://%CE%A8/%C3%A4 b?q=1&%7F%09%01~");
}

}  // namespace
}  // namespace favpage
