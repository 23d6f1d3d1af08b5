// engine/html_text.h: how text from the disk is put into the page.
#pragma once
#include <string>
#include <string_view>

namespace favpage {

// Appends `text` with '&', '<', '>' and '"' written as character references, so a name or a
// link target cannot add markup to the page.
void AppendEscaped(std::string& out, std::string_view text);
std::string Escaped(std::string_view text);

// The anchor name of a folder path: every byte that is not an ASCII letter or digit becomes '_'.
std::string AnchorName(std::string_view path);

}  // namespace favpage
