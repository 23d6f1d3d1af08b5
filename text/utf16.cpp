// text/utf16.cpp: UTF-16 to and from UTF-8.
#include "text/utf16.h"

#include "text/utf8.h"

namespace favpage {

void AppendFromUtf16(std::string& out, std::string_view bytes, bool bigEndian) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::u16string units(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<char16_t>(bigEndian ? (p[2 * i] << 8) | p[2 * i + 1]
                                                   : p[2 * i] | (p[2 * i + 1] << 8));
    }
    for (size_t i = 0; i < units.size();) {
        const char32_t cp = NextCodePoint(units.data(), units.size(), i);
        AppendUtf8(out, IsSurrogate(cp) ? 0xFFFD : cp);
    }
}

std::wstring Wide(std::string_view text) {
    std::wstring out;
    out.reserve(text.size());
    if (IsAscii(text)) {
        out.assign(text.begin(), text.end());
        return out;
    }
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* const end = p + text.size();
    while (p != end) {
        const char32_t cp = DecodeUtf8(p, end);
        if (cp >= 0x10000) {
            out += static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10));
            out += static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out += static_cast<wchar_t>(cp);
        }
    }
    return out;
}

void AppendNarrow(std::string& out, const wchar_t* text, size_t length) {
    for (size_t i = 0; i < length;) AppendUtf8(out, NextCodePoint(text, length, i));
}

}  // namespace favpage
