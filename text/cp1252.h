// text/cp1252.h: Windows-1252 to UTF-8.
#pragma once
#include <string>
#include <string_view>

namespace favpage {

// Appends the UTF-8 of `text` read as code page 1252 does; the five bytes it leaves undefined
// stay the control characters of the same value, as Windows reads them.
void AppendFromCp1252(std::string& out, std::string_view text);
std::string FromCp1252(std::string_view text);

}  // namespace favpage
