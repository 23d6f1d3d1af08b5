// engine/sorted_name_list.cpp: the byte comparison of names and the list's ordering.
#include "engine/sorted_name_list.h"

#include <algorithm>

namespace favpage {

namespace {

// Every byte folded (a-z to A-Z) and read as a signed 8-bit value, whatever the signedness of
// char on this compiler.
struct FoldTable {
    int8_t value[256];
    constexpr FoldTable() : value() {
        for (int c = 0; c < 256; ++c) {
            const int folded = c >= 'a' && c <= 'z' ? c - 0x20 : c;
            value[c] = static_cast<int8_t>(folded >= 128 ? folded - 256 : folded);
        }
    }
};
constexpr FoldTable kFold;

inline int Folded(unsigned char c) { return kFold.value[c]; }

}  // namespace

int CompareNames(const std::string& a, const std::string& b) {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const int fa = Folded(static_cast<unsigned char>(a[i]));
        const int fb = Folded(static_cast<unsigned char>(b[i]));
        if (fa != fb || fa == 0) return fa - fb;
    }
    // The end of a text counts as a 0 byte.
    const int fa = n < a.size() ? Folded(static_cast<unsigned char>(a[n])) : 0;
    const int fb = n < b.size() ? Folded(static_cast<unsigned char>(b[n])) : 0;
    return fa - fb;
}

std::string SortKey(const std::string& name) {
    // A signed value v orders like the unsigned byte v + 128; the end of a text (0) becomes
    // 0x80, which no folded byte of a name (never 0) maps to.
    std::string key(name.size() + 1, '\x80');
    for (size_t i = 0; i < name.size(); ++i) {
        key[i] = static_cast<char>(Folded(static_cast<unsigned char>(name[i])) + 128);
    }
    return key;
}

int TSListImp<std::string>::Add(std::string value) {
    std::string key = SortKey(value);
    m_elements.push_back(Element{std::move(key), std::move(value), Count()});
    m_ordered = false;
    return 1;
}

void TSListImp<std::string>::Order() const {
    if (m_ordered) return;
    std::sort(m_elements.begin(), m_elements.end(), [](const Element& a, const Element& b) {
        const int c = a.key.compare(b.key);
        return c != 0 ? c < 0 : a.added > b.added;  // equal names: newest first
    });
    m_ordered = true;
}

}  // namespace favpage
