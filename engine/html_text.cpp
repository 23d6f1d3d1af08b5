// engine/html_text.cpp: escaping and anchor names.
#include "engine/html_text.h"

#include <cstdint>
#include <cstring>

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

std::string AnchorName(std::string_view path) {
    std::string anchor(path);
    for (char& c : anchor) {
        const bool alnum = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (!alnum) c = '_';
    }
    return anchor;
}

}  // namespace favpage
