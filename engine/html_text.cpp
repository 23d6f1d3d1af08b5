// engine/html_text.cpp: escaping, the page's text of names and addresses, anchor names and
// the order of names.
#include "engine/html_text.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/page_encoding.h"

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

// Calls run(text) for each stretch of the text and other(codePoint) for each character that
// was left out of it, in order.
template <class Run, class Other>
void ForEachPiece(const EncodedName& name, Run run, Other other) {
    if (name.Fits()) {  // nearly every name
        run(name.text);
        return;
    }
    const std::string_view text = name.text;
    size_t from = 0;
    for (const Unfit& u : name.unfit) {
        run(text.substr(from, u.at - from));
        other(u.codePoint);
        from = u.at;
    }
    run(text.substr(from));
}

}  // namespace

void AppendPageText(std::string& out, std::string_view name) {
    ForEachPiece(NameInPage(name), [&](std::string_view run) { AppendEscaped(out, run); },
                 [&](uint32_t codePoint) { AppendReference(out, codePoint); });
}

void AppendPageAddress(std::string& out, std::string_view address) {
    ForEachPiece(AddressInPage(address), [&](std::string_view run) { AppendEscaped(out, run); },
                 [&](uint32_t codePoint) { AppendReference(out, codePoint); });
}

std::string PageText(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    AppendPageText(out, name);
    return out;
}

std::string AnchorName(std::string_view path) {
    std::string anchor;
    anchor.reserve(path.size());
    ForEachPiece(CodePageTextOf(path), [&](std::string_view run) { anchor.append(run); },
                 [&](uint32_t) { anchor += '_'; });
    for (char& c : anchor) {
        const bool alnum =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (!alnum) c = '_';
    }
    return anchor;
}

OrderedName OrderName(std::string_view name, std::string& scratch) {
    const EncodedName c = CodePageTextOf(name);
    if (c.Fits()) {
        // Where the name is its own code-page text, the name itself.
        if (c.text.data() == name.data()) return OrderedName{name, {}};
        scratch.assign(c.text.data(), c.text.size());
        return OrderedName{scratch, {}};
    }
    scratch.clear();
    ForEachPiece(c, [&](std::string_view run) { scratch.append(run); },
                 [&](uint32_t codePoint) { AppendReference(scratch, codePoint); });
    return OrderedName{scratch, name};
}

}  // namespace favpage
