// text/utf8.h: UTF-8 decoding and encoding, surrogates included, and the ASCII and UTF-8 checks.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace favpage {

// Appends the UTF-8 form of a code point (surrogates included, as three bytes each).
inline void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The length of the UTF-8 sequence at `p` (before `end`), or 0 when none starts there: no
// overlong form, nothing past U+10FFFF. A surrogate's three-byte form, which the platform's
// Windows names may hold, sets `surrogate` and gives 3.
size_t Utf8SequenceLength(const unsigned char* p, const unsigned char* end, bool& surrogate);

// The code point of the UTF-8 sequence at `p` (before `end`), advancing `p` past it; a
// surrogate's three-byte form gives that surrogate. U+FFFD (one byte consumed) for a byte that
// starts no complete sequence.
char32_t DecodeUtf8(const unsigned char*& p, const unsigned char* end);

// True when every byte of `text` is below 0x80: the same text in UTF-8 and in every code page
// the program meets, and what nearly every name and address is. Eight bytes at a time.
bool IsAscii(std::string_view text);

// True when `text` is UTF-8 (no surrogate's form in it). ASCII is checked eight bytes at a
// time, so a name or address that is plain ASCII costs one quick pass.
bool IsUtf8(std::string_view text);

// Appends `text` with each surrogate's form, and each byte that starts no sequence, replaced
// by U+FFFD: UTF-8 that every reader takes.
void AppendUtf8Replacing(std::string& out, std::string_view text);

}  // namespace favpage
