// engine/sorted_name_list.h: the order of names on the page: NameOrder and TSListImp<std::string>.
#pragma once
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "engine/pod_buffer.h"

namespace favpage {

// The one ordering of names: letters a-z folded to A-Z and nothing else, then bytes compared as
// signed 8-bit values, so bytes 0x80-0xFF order before every ASCII byte and before the end of a
// text. No locale or code page takes part. Only the sign of the result counts.
int CompareNames(const std::string& a, const std::string& b);

// A text whose plain byte order (as std::string compares) is the order of CompareNames: every
// byte folded and flipped to unsigned order, then an end mark that sorts where the end of a
// text does. Names hold no 0 byte, so two keys are equal exactly when the names compare equal.
std::string SortKey(const std::string& name);

// The order of a collection of names, kept apart from whatever the caller stores with them:
// each name comes with a 32-bit value of the caller's (an index, an offset), and Order() puts
// the values in the order of their names, equal names newest first. Sorting compares the first
// 16 bytes of two sort keys held in the records themselves, so it seldom reaches for the rest
// of a key and stays fast when the names no longer fit in the processor's caches.
class NameOrder {
public:
    void Add(std::string_view name, uint32_t value) { Add(name, value, {}); }
    // The same, where names that compare equal are put in the order of their `tieBreak` bytes
    // (no 0 byte in them) instead of newest first; a name without one comes before those with.
    void Add(std::string_view name, uint32_t value, std::string_view tieBreak);
    // Puts the names added so far in order; cheap when nothing was added since the last call.
    void Order();
    uint32_t Count() const { return static_cast<uint32_t>(m_records.size()); }
    // The value of the name at `position` of the order; valid after Order().
    uint32_t ValueAt(uint32_t position) const { return m_records[position].value; }
    bool IsOrdered() const { return m_ordered; }
    void Clear();

private:
    struct Record {
        uint64_t head[2];    // the first 16 bytes of the key, big-endian, zero-padded
        uint32_t keyAt;      // the whole key in m_keys
        uint32_t keyLength;
        uint32_t added;      // order of addition, for the tie-break
        uint32_t value;
    };
    static bool BeforeWithEqualHeads(const Record& a, const Record& b, const unsigned char* keys);

    PodBuffer<Record> m_records;
    PodBuffer<unsigned char> m_keys;  // every name's sort key, back to back
    bool m_ordered = true;
};

template <class T>
class TSListImp;

// A sorted list of names. A name goes in front of every name that compares equal to it (a lower
// bound), so equal names come out newest first. Names are collected as they are added and put
// in order once, when the list is first traversed after an add: n names cost O(n log n).
template <>
class TSListImp<std::string> {
public:
    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = std::string;
        using difference_type = std::ptrdiff_t;
        using pointer = const std::string*;
        using reference = const std::string&;

        const_iterator(const TSListImp* list, uint32_t position)
            : m_list(list), m_position(position) {}
        reference operator*() const {
            return m_list->m_values[m_list->m_order.ValueAt(m_position)];
        }
        pointer operator->() const { return &**this; }
        const_iterator& operator++() {
            ++m_position;
            return *this;
        }
        bool operator==(const const_iterator& o) const { return m_position == o.m_position; }
        bool operator!=(const const_iterator& o) const { return m_position != o.m_position; }

    private:
        const TSListImp* m_list;
        uint32_t m_position;
    };

    // Inserts a copy of `value` at its sorted place; never refuses a value. Returns 1.
    int Add(std::string value);

    bool IsEmpty() const { return m_values.empty(); }
    uint32_t Count() const { return static_cast<uint32_t>(m_values.size()); }
    const_iterator begin() const {
        m_order.Order();
        return const_iterator(this, 0);
    }
    const_iterator end() const {
        m_order.Order();
        return const_iterator(this, Count());
    }

private:
    std::vector<std::string> m_values;  // in order of addition
    // Ordering on first traversal changes no value a caller can see, hence mutable.
    mutable NameOrder m_order;
};

}  // namespace favpage
