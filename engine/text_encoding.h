// engine/text_encoding.h: UTF-8 checks and the conversions to UTF-8 that the page, the bookmark
// file and the shortcut reader share.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace favpage {

// The length of the UTF-8 sequence at `p` (before `end`), or 0 when none starts there: no
// overlong form, nothing past U+10FFFF. A surrogate's three-byte form, which the platform's
// Windows names may hold, sets `surrogate` and gives 3.
size_t Utf8SequenceLength(const unsigned char* p, const unsigned char* end, bool& surrogate);

// True when `text` is UTF-8 (no surrogate's form in it). ASCII is checked eight bytes at a
// time, so a name or address that is plain ASCII costs one quick pass.
bool IsUtf8(std::string_view text);

// Appends the UTF-8 of `text` read as code page 1252 does; the five bytes it leaves undefined
// stay the control characters of the same value, as Windows reads them.
void AppendFromCp1252(std::string& out, std::string_view text);
std::string FromCp1252(std::string_view text);

// Appends the UTF-8 of UTF-16 text (`bigEndian` or little-endian byte pairs; an odd last byte is
// left out); an unpaired surrogate becomes U+FFFD.
void AppendFromUtf16(std::string& out, std::string_view bytes, bool bigEndian);

}  // namespace favpage
