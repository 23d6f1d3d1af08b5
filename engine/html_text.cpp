// engine/html_text.cpp: escaping and anchor names.
#include "engine/html_text.h"

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

void AppendEscaped(std::string& out, std::string_view text) {
    const char* run = text.data();
    const char* const end = run + text.size();
    for (const char* p = run; p != end; ++p) {
        const char* ref = kReferences.reference[static_cast<unsigned char>(*p)];
        if (!ref) continue;
        out.append(run, static_cast<size_t>(p - run));
        out += ref;
        run = p + 1;
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
