// platform/win32/code_page_win32.cpp: the conversions that need the system's code page tables
// (WideCharToMultiByte, MultiByteToWideChar): names to the ANSI code page and back, exactly.
#include <windows.h>

#include "platform/code_page.h"
#include "platform/win32/code_page_labels.h"
#include "platform/win32/code_page_win32.h"
#include "text/utf16.h"
#include "text/utf8.h"

namespace favpage {

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
    AppendNarrow(out, wide.data(), wide.size());
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
    const std::wstring wide = Wide(name);
    // A page in a code page the web cannot name is plain ASCII, declared UTF-8.
    const bool labeled = !WebLabel(codePage).empty();
    if (labeled && AppendCodePage(text, codePage, wide.data(), static_cast<int>(wide.size()))) {
        return true;
    }
    // Some character has no exact form: convert one character (one or two units) at a time.
    text.clear();
    for (size_t i = 0; i < wide.size();) {
        const size_t at = i;
        const char32_t cp = NextCodePoint(wide.data(), wide.size(), i);
        if (!labeled && cp < 0x80) {
            text += static_cast<char>(cp);
        } else if (!labeled ||
                   !AppendCodePage(text, codePage, wide.data() + at, static_cast<int>(i - at))) {
            unfit.push_back(Unfit{text.size(), static_cast<uint32_t>(cp)});
        }
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

std::string_view PageEncodingLabel() {
    const std::string_view label = win32::WebLabel(GetACP());
    return label.empty() ? "utf-8" : label;
}

}  // namespace favpage
