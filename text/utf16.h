// text/utf16.h: UTF-16, its surrogate pairs, and the Windows side's wide strings (Wide, Narrow).
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace favpage {

constexpr bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit < 0xDC00; }
constexpr bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit < 0xE000; }
constexpr bool IsSurrogate(char32_t unit) { return unit >= 0xD800 && unit < 0xE000; }

// The code point of a high and a low surrogate.
constexpr char32_t FromSurrogates(char32_t high, char32_t low) {
    return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
}

// The code point of the UTF-16 text at `units[i]` (of `count` units), advancing `i` past it:
// a pair's code point, or the unit itself (an unpaired surrogate too). `Unit` is char16_t, or
// wchar_t holding one unit each.
template <class Unit>
char32_t NextCodePoint(const Unit* units, size_t count, size_t& i) {
    const char32_t unit = static_cast<char16_t>(units[i++]);
    if (IsHighSurrogate(unit) && i < count && IsLowSurrogate(static_cast<char16_t>(units[i]))) {
        return FromSurrogates(unit, static_cast<char16_t>(units[i++]));
    }
    return unit;
}

// Appends the UTF-8 of UTF-16 text (`bigEndian` or little-endian byte pairs; an odd last byte is
// left out); an unpaired surrogate becomes U+FFFD.
void AppendFromUtf16(std::string& out, std::string_view bytes, bool bigEndian);

// The wide strings of the Windows calls, UTF-16 (where wchar_t is wider, each holds one unit),
// to and from the platform's form of a Windows name: UTF-8, with an unpaired surrogate, which
// NTFS allows, kept as its own three bytes, so that every name comes back exactly.
//
// UTF-16 of a platform name. A three-byte form of a surrogate is taken back as that surrogate,
// so an unpaired one survives the round trip; bytes that are not UTF-8 become U+FFFD, which no
// name the system delivered holds.
std::wstring Wide(std::string_view text);

// Appends the platform form (UTF-8, unpaired surrogates kept) of `length` UTF-16 units.
void AppendNarrow(std::string& out, const wchar_t* text, size_t length);
inline std::string Narrow(const wchar_t* text, size_t length) {
    std::string out;
    AppendNarrow(out, text, length);
    return out;
}

}  // namespace favpage
