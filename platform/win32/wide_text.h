// platform/win32/wide_text.h: the wide strings' conversions under their old names, for the
// writer's files until they include text/utf16.h themselves. Nothing else includes this.
#pragma once
#include "text/utf16.h"

namespace favpage::win32 {

using favpage::AppendNarrow;
using favpage::Narrow;
using favpage::Wide;

}  // namespace favpage::win32
