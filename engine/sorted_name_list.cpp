// engine/sorted_name_list.cpp: the byte comparison of names.
#include "engine/sorted_name_list.h"

namespace favpage {

namespace {

// Every byte folded (a-z to A-Z) and read as a signed 8-bit value, whatever the signedness of
// char on this compiler. A table, because sorting a large folder compares a great many bytes.
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

}  // namespace favpage
