// framework/resource_strings.cpp: string resources with built-in fallbacks.
#include "framework/resource_strings.h"

#include <windows.h>

std::string LoadText(unsigned id, const char* fallback) {
    char text[256];
    const int length = LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
    return length > 0 ? std::string(text, static_cast<std::size_t>(length)) : std::string(fallback);
}
