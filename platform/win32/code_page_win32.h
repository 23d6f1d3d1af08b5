// platform/win32/code_page_win32.h: the conversion to code-page text for any code page, which
// tests call without switching the system's.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "platform/code_page.h"

namespace favpage::win32 {

// ToCodePage for `codePage` instead of the system's: the exact conversion, never a best fit. A
// code page without a web label (code_page_labels.h) holds ASCII only: every other character is
// reported unfit.
bool ToCodePageOf(unsigned codePage, std::string_view name, std::string& text,
                  std::vector<Unfit>& unfit);

}  // namespace favpage::win32
