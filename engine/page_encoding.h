// engine/page_encoding.h: how a name's bytes, as the platform delivers them, become the page's
// text and the bookmark file's UTF-8: the one place that says, per platform.
// - POSIX: a name is the bytes the system delivers, and the page is UTF-8. A name that is UTF-8
//   (nearly every one) is its own page text; the bytes of one that is not are read as code page
//   1252. Anchors and the order are built from the bytes themselves.
// - Windows: a name is the UTF-8 of the system's UTF-16 name (platform/code_page.h), and the page
//   is in the system code page: its code-page text, with every character the code page cannot
//   hold written as a reference. Anchors and the order are built from that code-page text.
// An address read from a shortcut file is code-page text on either: bytes on POSIX, the system
// code page's on Windows.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "platform/code_page.h"

namespace favpage {

// Text in an 8-bit encoding and the characters left out of it because it cannot hold them, each
// with where it stands (Unfit). The text is the converted name itself where it needed no change;
// otherwise it is kept by the calling thread until its next call of the same function.
struct EncodedName {
    std::string_view text;
    const std::vector<Unfit>& unfit;
    bool Fits() const { return unfit.empty(); }
};

// A name or path as the page's text. POSIX: where it is not UTF-8, each name of the path on its
// own is kept when it is UTF-8 and read as code page 1252 otherwise, so a UTF-8 folder keeps its
// letters above a name that is not. Windows: its code-page text.
EncodedName NameInPage(std::string_view name);

// An address from a shortcut file as the page's text. POSIX: kept when UTF-8, read as code page
// 1252 otherwise (the whole of it). Windows: ASCII as it is; any other through Unicode, so that
// the characters the page's code page cannot hold are reported.
EncodedName AddressInPage(std::string_view address);

// The 8-bit text anchors and the order are built from. POSIX: the name's bytes. Windows: its
// code-page text.
EncodedName CodePageTextOf(std::string_view name);

// UTF-8 for the bookmark file of a name, and of an address, that are not UTF-8. POSIX: the bytes
// read as code page 1252. Windows: a name with each unpaired surrogate (which UTF-8 cannot hold)
// as U+FFFD; an address read in the system code page.
std::string NameAsUtf8(std::string_view name);
std::string AddressAsUtf8(std::string_view address);

// True when the page takes a UTF-8 address's bytes as the characters they are: POSIX always;
// Windows when the system code page is UTF-8. Otherwise an address from a shortcut file saved as
// UTF-8 (with a byte-order mark) goes to the page percent-encoded, as a Unicode address does.
bool PageTakesUtf8Addresses();

}  // namespace favpage
