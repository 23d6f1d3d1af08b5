// text/address.cpp: UTF-7 decoding and percent-encoding of addresses.
#include "text/address.h"

#include <cstdint>

#include "text/utf16.h"
#include "text/utf8.h"

namespace favpage {

namespace {

// The value of a base64 character, or -1.
int Base64Value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

}  // namespace

bool DecodeUtf7(std::string_view utf7, std::string& utf8) {
    utf8.clear();
    size_t i = 0;
    while (i < utf7.size()) {
        const char c = utf7[i++];
        if (static_cast<unsigned char>(c) >= 0x80 || c == '\0') return false;
        if (c != '+') {
            utf8 += c;
            continue;
        }
        if (i < utf7.size() && utf7[i] == '-') {  // "+-" is the plus sign itself
            ++i;
            utf8 += '+';
            continue;
        }
        // A run of base64: 16 bits to a UTF-16 unit.
        uint32_t bits = 0;
        int bitCount = 0;
        char16_t high = 0;  // a high surrogate waiting for its pair
        size_t units = 0;
        for (int v; i < utf7.size() && (v = Base64Value(utf7[i])) >= 0; ++i) {
            bits = (bits << 6) | static_cast<uint32_t>(v);
            bitCount += 6;
            if (bitCount < 16) continue;
            bitCount -= 16;
            const auto unit = static_cast<char16_t>(bits >> bitCount);
            bits &= (1u << bitCount) - 1;
            ++units;
            if (high) {
                if (!IsLowSurrogate(unit)) return false;
                AppendUtf8(utf8, FromSurrogates(high, unit));
                high = 0;
            } else if (IsHighSurrogate(unit)) {
                high = unit;
            } else if (IsLowSurrogate(unit)) {
                return false;
            } else if (unit == 0) {
                return false;
            } else {
                AppendUtf8(utf8, unit);
            }
        }
        // Clean means: something was encoded, nothing left half-done.
        if (units == 0 || high || bitCount >= 6 || bits != 0) return false;
        if (i < utf7.size() && utf7[i] == '-') ++i;  // the run's end mark is taken away
    }
    return true;
}

void AppendPercentEncoded(std::string& out, std::string_view address) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char c : address) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b < 0x7F) {
            out += c;
        } else {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 0xF];
        }
    }
}

}  // namespace favpage
