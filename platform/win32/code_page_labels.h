// platform/win32/code_page_labels.h: the web's names for the Windows code pages, and the
// conversion to code-page text for any code page, which tests call without switching the system's.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "platform/code_page.h"

namespace favpage::win32 {

// The label (WHATWG Encoding Standard) of the web's encoding that reads every byte `codePage`
// writes as the same character, in lower case ("windows-1252", "shift_jis", "utf-8"); empty for
// a code page the table does not hold. It holds the code pages Windows takes as the system code
// page; any other is written as plain ASCII, which is right under any label.
std::string_view WebLabel(unsigned codePage);

// ToCodePage for `codePage` instead of the system's: the exact conversion, never a best fit. A
// code page without a web label holds ASCII only: every other character is reported unfit.
bool ToCodePageOf(unsigned codePage, std::string_view name, std::string& text,
                  std::vector<Unfit>& unfit);

}  // namespace favpage::win32
