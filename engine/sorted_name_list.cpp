// engine/sorted_name_list.cpp: the byte comparison of names and the list's ordering.
#include "engine/sorted_name_list.h"

#include <algorithm>
#include <cstring>

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

namespace {
// A signed value v orders like the unsigned byte v + 128; the end of a text (0) becomes 0x80,
// which no folded byte of a name (never 0) maps to.
void AppendSortKey(std::string& out, const std::string& name) {
    for (unsigned char c : name) out += static_cast<char>(Folded(c) + 128);
    out += '\x80';
}
}  // namespace

std::string SortKey(const std::string& name) {
    std::string key;
    key.reserve(name.size() + 1);
    AppendSortKey(key, name);
    return key;
}

int TSListImp<std::string>::Add(std::string value) {
    const uint32_t keyAt = static_cast<uint32_t>(m_keys.size());
    AppendSortKey(m_keys, value);
    const uint32_t keyLength = static_cast<uint32_t>(m_keys.size()) - keyAt;
    m_elements.push_back(Element{std::move(value), keyAt, keyLength, Count()});
    m_ordered = false;
    return 1;
}

void TSListImp<std::string>::Order() const {
    if (m_ordered) return;
    m_order.clear();
    m_order.reserve(m_elements.size());
    for (const Element& e : m_elements) m_order.push_back(&e);
    const char* keys = m_keys.data();
    std::sort(m_order.begin(), m_order.end(), [keys](const Element* a, const Element* b) {
        // Keys end in a mark no other key byte equals, so they differ within the shorter one
        // unless the names compare equal.
        const int c = std::memcmp(keys + a->keyAt, keys + b->keyAt,
                                  std::min(a->keyLength, b->keyLength));
        if (c != 0) return c < 0;
        if (a->keyLength != b->keyLength) return a->keyLength < b->keyLength;
        return a->added > b->added;  // equal names: newest first
    });
    m_ordered = true;
}

}  // namespace favpage
