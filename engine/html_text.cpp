// engine/html_text.cpp: escaping and anchor names.
#include "engine/html_text.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/code_page.h"
#include "text/cp1252.h"
#include "text/path.h"
#include "text/utf8.h"

namespace favpage {

namespace {

// The character reference of each byte that needs one; nothing for every other byte. One table
// look-up per byte keeps the common case (nothing to replace) a tight loop.
struct ReferenceTable {
    const char* reference[256];
    constexpr ReferenceTable() : reference() {
        reference[static_cast<unsigned char>('&')] = "&amp;";
        reference[static_cast<unsigned char>('<')] = "&lt;";
        reference[static_cast<unsigned char>('>')] = "&gt;";
        reference[static_cast<unsigned char>('"')] = "&quot;";
    }
};
constexpr ReferenceTable kReferences;

}  // namespace

namespace {

// True when one of the eight bytes of `v` needs a reference: a byte equal to c makes the
// matching byte of v ^ (c * kOnes) zero, which the classic zero-byte test finds.
inline bool AnyNeedsReference(uint64_t v) {
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    constexpr uint64_t kHighs = 0x8080808080808080ull;
    auto zero = [](uint64_t x) { return (x - kOnes) & ~x & kHighs; };
    return (zero(v ^ (kOnes * '&')) | zero(v ^ (kOnes * '<')) | zero(v ^ (kOnes * '>')) |
            zero(v ^ (kOnes * '"'))) != 0;
}

}  // namespace

void AppendEscaped(std::string& out, std::string_view text) {
    const char* run = text.data();
    const char* const end = run + text.size();
    const char* p = run;
    while (p != end) {
        // Eight bytes at a time while there is nothing to replace, which is nearly always.
        if (end - p >= 8) {
            uint64_t v;
            std::memcpy(&v, p, 8);
            if (!AnyNeedsReference(v)) {
                p += 8;
                continue;
            }
        }
        for (const char* stop = end - p >= 8 ? p + 8 : end; p != stop; ++p) {
            const char* ref = kReferences.reference[static_cast<unsigned char>(*p)];
            if (!ref) continue;
            out.append(run, static_cast<size_t>(p - run));
            out += ref;
            run = p + 1;
        }
    }
    out.append(run, static_cast<size_t>(end - run));
}

std::string Escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    AppendEscaped(out, text);
    return out;
}

namespace {

void AppendReference(std::string& out, uint32_t codePoint) {
    char digits[16];
    char* p = digits + sizeof digits;
    do {
        *--p = static_cast<char>('0' + codePoint % 10);
        codePoint /= 10;
    } while (codePoint != 0);
    out += "&#";
    out.append(p, static_cast<size_t>(digits + sizeof digits - p));
    out += ';';
}

// The code-page text of `name` and the characters left out of it. Names are converted one at a
// time on the one thread that walks, so the storage is kept from call to call.
struct CodePageName {
    std::string text;
    std::vector<Unfit> unfit;
    bool fits = true;
};
const CodePageName& Convert(std::string_view name) {
    thread_local CodePageName converted;
    converted.fits = ToCodePage(name, converted.text, converted.unfit);
    return converted;
}

// Calls run(text) for each stretch of code-page text and other(codePoint) for each character
// that did not fit, in order.
template <class Run, class Other>
void ForEachPiece(const CodePageName& c, Run run, Other other) {
    const std::string_view text = c.text;
    size_t from = 0;
    for (const Unfit& u : c.unfit) {
        run(text.substr(from, u.at - from));
        other(u.codePoint);
        from = u.at;
    }
    run(text.substr(from));
}

// Appends `text` escaped, as UTF-8: as it is when it is UTF-8, read as code page 1252 otherwise.
void AppendEscapedUtf8(std::string& out, std::string_view text) {
    if (IsUtf8(text)) {
        AppendEscaped(out, text);
    } else {
        AppendEscaped(out, FromCp1252(text));
    }
}

}  // namespace

void AppendPageText(std::string& out, std::string_view name) {
    if constexpr (kNamesAreCodePageText) {
        if (IsUtf8(name)) {
            AppendEscaped(out, name);
            return;
        }
        // Each name on its own: a UTF-8 folder keeps its letters above a name that is not.
        for (size_t from = 0;;) {
            const size_t separator = name.find(kPathSeparator, from);
            AppendEscapedUtf8(out, name.substr(from, separator - from));
            if (separator == std::string_view::npos) break;
            out += kPathSeparator;
            from = separator + 1;
        }
    } else {
        ForEachPiece(Convert(name), [&](std::string_view run) { AppendEscaped(out, run); },
                     [&](uint32_t codePoint) { AppendReference(out, codePoint); });
    }
}

void AppendPageAddress(std::string& out, std::string_view address) {
    if constexpr (kNamesAreCodePageText) {
        AppendEscapedUtf8(out, address);
    } else if (IsAscii(address)) {
        AppendEscaped(out, address);
    } else {
        // Through Unicode, so that characters the page cannot hold become references.
        AppendPageText(out, NameFromCodePage(address));
    }
}

std::string PageText(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    AppendPageText(out, name);
    return out;
}

std::string AnchorName(std::string_view path) {
    std::string anchor;
    if constexpr (kNamesAreCodePageText) {
        anchor.assign(path.data(), path.size());
    } else {
        anchor.reserve(path.size());
        ForEachPiece(Convert(path), [&](std::string_view run) { anchor.append(run); },
                     [&](uint32_t) { anchor += '_'; });
    }
    for (char& c : anchor) {
        const bool alnum =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (!alnum) c = '_';
    }
    return anchor;
}

OrderedName OrderName(std::string_view name, std::string& scratch) {
    if constexpr (kNamesAreCodePageText) return OrderedName{name, {}};
    const CodePageName& c = Convert(name);
    if (c.fits) {
        scratch.assign(c.text);
        return OrderedName{scratch, {}};
    }
    scratch.clear();
    ForEachPiece(c, [&](std::string_view run) { scratch.append(run); },
                 [&](uint32_t codePoint) { AppendReference(scratch, codePoint); });
    return OrderedName{scratch, name};
}

}  // namespace favpage
