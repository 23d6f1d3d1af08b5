// platform/win32/wide_text.h: the platform's UTF-8 names to and from the system's UTF-16.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace favpage::win32 {

// UTF-16 of a platform name. A three-byte form of a surrogate is taken back as that surrogate,
// so an unpaired one survives the round trip; bytes that are not UTF-8 become U+FFFD, which no
// name the system delivered holds.
std::wstring Wide(std::string_view text);

// Appends the platform form (UTF-8, unpaired surrogates kept) of `length` UTF-16 units.
void AppendNarrow(std::string& out, const wchar_t* text, size_t length);
inline std::string Narrow(const wchar_t* text, size_t length) {
    std::string out;
    AppendNarrow(out, text, length);
    return out;
}

}  // namespace favpage::win32
