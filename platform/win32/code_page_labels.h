// platform/win32/code_page_labels.h: the web's names for the Windows code pages.
#pragma once
#include <string_view>

namespace favpage::win32 {

// The label (WHATWG Encoding Standard) of the web's encoding that reads every byte `codePage`
// writes as the same character, in lower case ("windows-1252", "shift_jis", "utf-8"); empty for
// a code page the table does not hold. It holds the code pages Windows takes as the system code
// page; any other is written as plain ASCII, which is right under any label.
std::string_view WebLabel(unsigned codePage);

}  // namespace favpage::win32
