// engine/sorted_name_list.cpp: the byte comparison of names.
#include "engine/sorted_name_list.h"

namespace favpage {

namespace {
// Folds a-z to A-Z and reads the result as a signed 8-bit value, whatever the signedness of
// char on this compiler.
inline int Folded(unsigned char c) {
    if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 0x20);
    return static_cast<int>(static_cast<int8_t>(c));
}
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
