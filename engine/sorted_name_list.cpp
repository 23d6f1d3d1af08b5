// engine/sorted_name_list.cpp: the byte comparison of names and the list's ordering.
#include "engine/sorted_name_list.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

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
inline unsigned char KeyByte(unsigned char c) {
    return static_cast<unsigned char>(Folded(c) + 128);
}

// Writes the key of `name`, name.size() + 1 bytes, to `out`.
void WriteSortKey(unsigned char* out, std::string_view name) {
    for (unsigned char c : name) *out++ = KeyByte(c);
    *out = 0x80;
}

// Up to 8 key bytes as one number whose order is their byte order. Missing bytes count as 0;
// they never decide, as two keys differ within the shorter one (see BeforeWithEqualHeads).
uint64_t HeadOf(const unsigned char* key, size_t length) {
    if (length >= 8) {
        // Compilers turn this into one load and a byte swap.
        return (uint64_t{key[0]} << 56) | (uint64_t{key[1]} << 48) | (uint64_t{key[2]} << 40) |
               (uint64_t{key[3]} << 32) | (uint64_t{key[4]} << 24) | (uint64_t{key[5]} << 16) |
               (uint64_t{key[6]} << 8) | uint64_t{key[7]};
    }
    uint64_t head = 0;
    for (size_t i = 0; i < 8; ++i) head = (head << 8) | (i < length ? key[i] : 0);
    return head;
}

}  // namespace

std::string SortKey(const std::string& name) {
    std::string key(name.size() + 1, '\0');
    WriteSortKey(reinterpret_cast<unsigned char*>(&key[0]), name);
    return key;
}

void NameOrder::Add(std::string_view name, uint32_t value, std::string_view tieBreak) {
    const size_t at = m_keys.size();
    const size_t length = name.size() + 1 + tieBreak.size();
    // Records place keys with 32 bits: more than 4 GiB of names cannot be ordered.
    if (length > UINT32_MAX - at) throw std::length_error("NameOrder full");
    unsigned char* key = m_keys.Extend(length);
    WriteSortKey(key, name);
    // After the end mark, so it decides only between names that compare equal.
    if (!tieBreak.empty()) std::memcpy(key + name.size() + 1, tieBreak.data(), tieBreak.size());
    Record r;
    r.head[0] = HeadOf(key, length);
    r.head[1] = length > 8 ? HeadOf(key + 8, length - 8) : 0;
    r.keyAt = static_cast<uint32_t>(at);
    r.keyLength = static_cast<uint32_t>(length);
    r.added = Count();
    r.value = value;
    m_records.push_back(r);
    m_ordered = false;
}

// A name's part of a key ends in a mark that no other key byte equals, so two keys differ within
// the shorter one unless the names compare equal; then only a tie-break may follow, and a key
// without one is a prefix of one with. So equal heads leave the bytes after them to compare, and
// then the lengths. Sorting calls this only for equal heads, which is rare, so it stays out of
// the sorting loop.
bool NameOrder::BeforeWithEqualHeads(const Record& a, const Record& b, const unsigned char* keys) {
    const uint32_t common = std::min(a.keyLength, b.keyLength);
    if (common > 16) {
        const int c = std::memcmp(keys + a.keyAt + 16, keys + b.keyAt + 16, common - 16);
        if (c != 0) return c < 0;
    }
    if (a.keyLength != b.keyLength) return a.keyLength < b.keyLength;
    return a.added > b.added;  // equal names: newest first
}

void NameOrder::Order() {
    if (m_ordered) return;
    const unsigned char* keys = m_keys.data();
    const auto before = [keys](const Record& a, const Record& b) {
#if defined(__SIZEOF_INT128__)
        // The two heads compared as one number, which compilers do without a branch; a branch
        // on the first half alone goes the unpredicted way about every other time.
        using Head = unsigned __int128;
        const Head ha = (Head{a.head[0]} << 64) | a.head[1];
        const Head hb = (Head{b.head[0]} << 64) | b.head[1];
        if (ha != hb) return ha < hb;
#else
        if (a.head[0] != b.head[0]) return a.head[0] < b.head[0];
        if (a.head[1] != b.head[1]) return a.head[1] < b.head[1];
#endif
        return BeforeWithEqualHeads(a, b, keys);
    };
    std::sort(m_records.data(), m_records.data() + m_records.size(), before);
    m_ordered = true;
}

void NameOrder::Clear() {
    m_records.clear();
    m_keys.clear();
    m_ordered = true;
}

int TSListImp<std::string>::Add(std::string value) {
    m_order.Add(value, Count());
    m_values.push_back(std::move(value));
    return 1;
}

}  // namespace favpage
