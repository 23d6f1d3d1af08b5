// text/address.h: the addresses Windows keeps in UTF-7 for characters outside the
// code page ([InternetShortcut.W]), and how the page writes them.
#pragma once
#include <string>
#include <string_view>

namespace favpage {

// Decodes UTF-7 (RFC 2152) into UTF-8, replacing `utf8`. False, with `utf8` unspecified, unless
// the text decodes cleanly: only 7-bit bytes; every '+' opens a run of base64 characters ended by
// '-' (taken away), by any other character (kept) or by the end of the text; "+-" is '+'; a run
// holds whole UTF-16 units whose left-over bits are zero, surrogates only in pairs, and no U+0000.
bool DecodeUtf7(std::string_view utf7, std::string& utf8);

// Appends `address` with every byte outside ASCII written as '%' and two upper-case hex digits,
// so a UTF-8 address becomes the form every browser takes ("http://%CE%A8..."); so is every
// control character (below 0x20, and 0x7F), which has no place in an address ("%09").
void AppendPercentEncoded(std::string& out, std::string_view address);

}  // namespace favpage
