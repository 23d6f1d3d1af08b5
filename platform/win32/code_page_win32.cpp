// platform/win32/code_page_win32.cpp: UTF-8 names, UTF-16 calls and the ANSI code page.
#include <windows.h>

#include "platform/code_page.h"
#include "platform/win32/code_page_labels.h"
#include "platform/win32/wide_text.h"

namespace favpage {

namespace {

// ASCII is the same in UTF-8 and in every ANSI code page, and it is what nearly every name is.
bool IsAscii(std::string_view text) {
    for (unsigned char c : text) {
        if (c >= 0x80) return false;
    }
    return true;
}

}  // namespace

namespace win32 {

namespace {

// The code point of the UTF-8 sequence at `p` (before `end`), advancing `p` past it; U+FFFD
// (one byte consumed) for a byte that starts no complete sequence.
char32_t DecodeOne(const unsigned char*& p, const unsigned char* end) {
    const unsigned char c = *p++;
    if (c < 0x80) return c;
    const int extra = c >= 0xF5 ? -1 : c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 ? 1 : -1;
    if (extra < 0 || end - p < extra) return 0xFFFD;
    char32_t cp = c & (0x3F >> extra);
    for (int i = 0; i < extra; ++i) {
        if ((p[i] & 0xC0) != 0x80) return 0xFFFD;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    // Overlong forms and values past U+10FFFF are no UTF-8.
    static constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kLeast[extra] || cp > 0x10FFFF) return 0xFFFD;
    p += extra;
    return cp;
}

}  // namespace

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
        const char32_t cp = DecodeOne(p, end);
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
    for (size_t i = 0; i < length; ++i) {
        char32_t cp = static_cast<char16_t>(text[i]);
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < length && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<char16_t>(text[++i]) - 0xDC00);
        }
        AppendUtf8(out, cp);
    }
}

}  // namespace win32

namespace {

// Appends the text of `length` UTF-16 units in `codePage`; false when any of them has no exact
// form there. No best-fit look-alike is ever taken: "Ā" must not become "A". UTF-8 holds every
// character but an unpaired surrogate, and Windows refuses the best-fit flag and the question
// for a default character with it: there the exact conversion is the one that fails on an
// invalid character.
bool AppendCodePage(std::string& out, UINT codePage, const wchar_t* text, int length) {
    if (length == 0) return true;
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    const int need = WideCharToMultiByte(codePage, flags, text, length, nullptr, 0, nullptr,
                                         utf8 ? nullptr : &usedDefault);
    if (need <= 0 || usedDefault) return false;
    const size_t at = out.size();
    out.resize(at + static_cast<size_t>(need));
    WideCharToMultiByte(codePage, flags, text, length, &out[at], need, nullptr, nullptr);
    return true;
}

}  // namespace

std::string NameFromCodePage(std::string_view text) {
    if (IsAscii(text)) return std::string(text);
    std::string out;
    const int length = static_cast<int>(text.size());
    const int units = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    if (units <= 0) return std::string(text);
    std::wstring wide(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), length, &wide[0], units);
    win32::AppendNarrow(out, wide.data(), wide.size());
    return out;
}

bool win32::ToCodePageOf(unsigned codePage, std::string_view name, std::string& text,
                         std::vector<Unfit>& unfit) {
    unfit.clear();
    if (IsAscii(name)) {
        text.assign(name.data(), name.size());
        return true;
    }
    text.clear();
    const std::wstring wide = win32::Wide(name);
    // A page in a code page the web cannot name is plain ASCII, declared UTF-8.
    const bool labeled = !WebLabel(codePage).empty();
    if (labeled && AppendCodePage(text, codePage, wide.data(), static_cast<int>(wide.size()))) {
        return true;
    }
    // Some character has no exact form: convert one character (one or two units) at a time.
    text.clear();
    for (size_t i = 0; i < wide.size();) {
        const bool pair = wide[i] >= 0xD800 && wide[i] < 0xDC00 && i + 1 < wide.size() &&
                          wide[i + 1] >= 0xDC00 && wide[i + 1] < 0xE000;
        const int units = pair ? 2 : 1;
        if (!labeled && wide[i] < 0x80) {
            text += static_cast<char>(wide[i]);
        } else if (!labeled || !AppendCodePage(text, codePage, wide.data() + i, units)) {
            const char32_t cp =
                pair ? 0x10000 + ((static_cast<char32_t>(wide[i]) - 0xD800) << 10) +
                           (static_cast<char32_t>(wide[i + 1]) - 0xDC00)
                     : static_cast<char16_t>(wide[i]);
            unfit.push_back(Unfit{text.size(), static_cast<uint32_t>(cp)});
        }
        i += static_cast<size_t>(units);
    }
    return unfit.empty();
}

bool ToCodePage(std::string_view name, std::string& text, std::vector<Unfit>& unfit) {
    return win32::ToCodePageOf(GetACP(), name, text, unfit);
}

std::string CodePageTextOrQuestionMarks(std::string_view name) {
    std::string text;
    std::vector<Unfit> unfit;
    ToCodePage(name, text, unfit);
    for (auto u = unfit.rbegin(); u != unfit.rend(); ++u) text.insert(u->at, 1, '?');
    return text;
}

}  // namespace favpage
