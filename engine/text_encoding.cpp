// engine/text_encoding.cpp: UTF-8 checks, code page 1252 and UTF-16 to UTF-8.
#include "engine/text_encoding.h"

#include <cstdint>
#include <cstring>

#include "platform/code_page.h"

namespace favpage {

size_t Utf8SequenceLength(const unsigned char* p, const unsigned char* end, bool& surrogate) {
    surrogate = false;
    const unsigned char c = p[0];
    if (c < 0x80) return 1;
    size_t n;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;  // the range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        if (c == 0xE0) low = 0xA0;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        if (c == 0xF0) low = 0x90;
        if (c == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (static_cast<size_t>(end - p) < n) return 0;
    if (p[1] < low || p[1] > high) return 0;
    for (size_t i = 2; i < n; ++i) {
        if ((p[i] & 0xC0) != 0x80) return 0;
    }
    surrogate = c == 0xED && p[1] >= 0xA0;
    return n;
}

bool IsUtf8(std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* const end = p + text.size();
    while (p != end) {
        // Eight ASCII bytes at a time, which is nearly every name and address.
        if (end - p >= 8) {
            uint64_t v;
            std::memcpy(&v, p, 8);
            if ((v & 0x8080808080808080ull) == 0) {
                p += 8;
                continue;
            }
        }
        if (*p < 0x80) {
            ++p;
            continue;
        }
        bool surrogate;
        const size_t n = Utf8SequenceLength(p, end, surrogate);
        if (n == 0 || surrogate) return false;
        p += n;
    }
    return true;
}

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

void AppendFromUtf16(std::string& out, std::string_view bytes, bool bigEndian) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t units = bytes.size() / 2;
    auto unit = [&](size_t i) -> char32_t {
        return bigEndian ? (p[2 * i] << 8) | p[2 * i + 1] : p[2 * i] | (p[2 * i + 1] << 8);
    };
    for (size_t i = 0; i < units; ++i) {
        char32_t cp = unit(i);
        if (cp >= 0xD800 && cp < 0xE000) {
            const bool pair = cp < 0xDC00 && i + 1 < units && unit(i + 1) >= 0xDC00 &&
                              unit(i + 1) < 0xE000;
            cp = pair ? 0x10000 + ((cp - 0xD800) << 10) + (unit(++i) - 0xDC00) : 0xFFFD;
        }
        AppendUtf8(out, cp);
    }
}

}  // namespace favpage
