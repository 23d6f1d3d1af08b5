// text/cp1252.cpp: code page 1252 to UTF-8.
#include "text/cp1252.h"

#include <cstdint>

#include "text/utf8.h"

namespace favpage {

namespace {

// What code page 1252 makes of the bytes 0x80 to 0x9F; the bytes it leaves undefined stay the
// control characters of the same value, as Windows reads them. From 0xA0 on it is Latin-1.
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

void AppendFromCp1252(std::string& out, std::string_view text) {
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        AppendUtf8(out, c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : c);
    }
}

std::string FromCp1252(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    AppendFromCp1252(out, text);
    return out;
}

}  // namespace favpage
