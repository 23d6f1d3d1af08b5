// text/utf8.cpp: UTF-8 sequences, checks and replacement.
#include "text/utf8.h"

#include <cstdint>
#include <cstring>

namespace favpage {

namespace {

// True when the eight bytes at `p` are all ASCII.
inline bool EightAscii(const unsigned char* p) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    return (v & 0x8080808080808080ull) == 0;
}

}  // namespace

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

char32_t DecodeUtf8(const unsigned char*& p, const unsigned char* end) {
    const unsigned char c = *p++;
    if (c < 0x80) return c;
    const int extra = c >= 0xF5 ? -1 : c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 ? 1 : -1;
    if (extra < 0 || end - p < extra) return 0xFFFD;
    char32_t cp = c & (0x3F >> extra);
    for (int i = 0; i < extra; ++i) {
        if ((p[i] & 0xC0) != 0x80) return 0xFFFD;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    // Overlong forms and values past U+10FFFF are no UTF-8.
    static constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kLeast[extra] || cp > 0x10FFFF) return 0xFFFD;
    p += extra;
    return cp;
}

bool IsAscii(std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* const end = p + text.size();
    for (; end - p >= 8; p += 8) {
        if (!EightAscii(p)) return false;
    }
    for (; p != end; ++p) {
        if (*p >= 0x80) return false;
    }
    return true;
}

bool IsUtf8(std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* const end = p + text.size();
    while (p != end) {
        // Eight ASCII bytes at a time, which is nearly every name and address.
        if (end - p >= 8 && EightAscii(p)) {
            p += 8;
            continue;
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

void AppendUtf8Replacing(std::string& out, std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* const end = p + text.size();
    while (p != end) {
        bool surrogate;
        const size_t n = Utf8SequenceLength(p, end, surrogate);
        if (n == 0 || surrogate) {
            AppendUtf8(out, 0xFFFD);
            p += n == 0 ? 1 : n;
            continue;
        }
        out.append(reinterpret_cast<const char*>(p), n);
        p += n;
    }
}

}  // namespace favpage
