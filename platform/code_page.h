// platform/code_page.h: names as the platform holds them, and the system code page they are
// written in.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace favpage {

// Every path and name that the platform layer takes or hands over is in the platform's own form:
// - POSIX: the bytes the system delivers; the page shows them as UTF-8 (engine/page_encoding.h).
// - Windows: UTF-8 of the system's UTF-16 names (an unpaired surrogate, which NTFS allows, is
//   kept as its own three bytes), so that every name is found and opened again exactly, never
//   through a best-fit look-alike. The window program's text (fields, registry values, status
//   line) and the command line are UTF-16, converted exactly by text/utf16.h; the page is
//   written in the system's 8-bit code page. Every conversion between these forms that needs the
//   system's tables is here (defined in win32/code_page_win32.cpp and posix/code_page_posix.cpp),
//   and none takes a look-alike: what a form cannot hold is refused or reported.
//
// The most bytes one name of a folder takes in the platform's form: 255 bytes on POSIX; on
// Windows 255 UTF-16 units, up to three bytes each in UTF-8 (a pair of units, four).
#ifdef _WIN32
inline constexpr size_t kLongestNameBytes = 765;
#else
inline constexpr size_t kLongestNameBytes = 255;
#endif

// The platform form of code-page text: an address read from a shortcut file, whose bytes are in
// the system's code page.
std::string NameFromCodePage(std::string_view text);

// A character of a name that the code page cannot hold: its Unicode code point, and where it
// stands in the code-page text (the offset of the byte it would have come before).
struct Unfit {
    size_t at;
    uint32_t codePoint;
};

// Converts a name in the platform form to code-page text in `text`. Each character the code page
// cannot hold is left out of `text` and reported in `unfit`, in order; nothing is ever replaced by
// a look-alike. Returns true when every character fit (`unfit` is then empty). Both outputs are
// overwritten.
bool ToCodePage(std::string_view name, std::string& text, std::vector<Unfit>& unfit);

// Code-page text of a name for a reader that takes no character references (a redirected
// console): each character the code page cannot hold becomes '?'. Where names are code-page text
// already (POSIX), the name itself.
std::string CodePageTextOrQuestionMarks(std::string_view name);

// The label, as the web names encodings, of the encoding the page's bytes are in, which its
// META line declares: "utf-8" on POSIX; on Windows the system code page's ("windows-1252",
// "shift_jis", "utf-8" where that is the code page), or "utf-8" for a code page the web has no
// label for, where ToCodePage holds nothing but ASCII and the page is plain ASCII.
std::string_view PageEncodingLabel();

}  // namespace favpage
