// engine/html_text.h: how text from the disk is put into the page.
#pragma once
#include <string>
#include <string_view>

namespace favpage {

// Appends `text` with '&', '<', '>' and '"' written as character references, so a name or a
// link target cannot add markup to the page.
void AppendEscaped(std::string& out, std::string_view text);
std::string Escaped(std::string_view text);

// Appends a name or path as the platform delivers it (platform/code_page.h) as the page shows it,
// escaped as above, in the encoding the page declares (PageEncodingLabel): its text in that
// encoding (NameInPage, engine/page_encoding.h), with every character the encoding cannot hold
// written as a numeric character reference to its code point ("&#26412;", one reference for a
// character beyond U+FFFF), which every browser shows as that character.
void AppendPageText(std::string& out, std::string_view name);
std::string PageText(std::string_view name);

// Appends a link target as the page shows it (AddressInPage, engine/page_encoding.h), escaped
// and with references as above. A percent-encoded address is ASCII and only escaped.
void AppendPageAddress(std::string& out, std::string_view address);

// The anchor name of a folder path: its code-page text (CodePageTextOf) with every byte that is
// not an ASCII letter or digit replaced by '_', and one '_' for each character the code page
// cannot hold.
std::string AnchorName(std::string_view path);

// What a name is put in order by. A name whose characters all fit the code page is ordered by its
// code-page text, as ever; any other by its text as the page shows it before escaping (code-page
// text with "&#N;" for each character that does not fit), and then, should two such texts compare
// equal, by the name's own bytes: so its place never depends on the order in which the folder
// lists it.
struct OrderedName {
    std::string_view text;
    std::string_view tieBreak;  // empty for a name that fits
};
// `scratch` holds the text where it differs from `name`.
OrderedName OrderName(std::string_view name, std::string& scratch);

}  // namespace favpage
