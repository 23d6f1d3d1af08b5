// framework/resource_strings.cpp: string resources with built-in fallbacks.
#include "framework/resource_strings.h"

#include <windows.h>

std::wstring LoadText(unsigned id, const wchar_t* fallback) {
    wchar_t text[256];
    const int length = LoadStringW(GetModuleHandleW(nullptr), id, text, 256);
    return length > 0 ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring(fallback);
}
