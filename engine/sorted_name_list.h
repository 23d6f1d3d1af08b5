// engine/sorted_name_list.h: TSListImp<std::string>, the sorted list that orders every list on the page.
#pragma once
#include <cstdint>
#include <set>
#include <string>

namespace favpage {

// The one ordering of names: letters a-z folded to A-Z and nothing else, then bytes compared as
// signed 8-bit values, so bytes 0x80-0xFF order before every ASCII byte and before the end of a
// text. No locale or code page takes part. Only the sign of the result counts.
int CompareNames(const std::string& a, const std::string& b);

struct NameLess {
    bool operator()(const std::string& a, const std::string& b) const {
        return CompareNames(a, b) < 0;
    }
};

template <class T>
class TSListImp;

// A sorted list of names. A name is inserted in front of every name that compares equal to it
// (a lower bound), so equal names come out newest first. Adding n names costs O(n log n).
template <>
class TSListImp<std::string> {
public:
    using const_iterator = std::multiset<std::string, NameLess>::const_iterator;

    // Inserts a copy of `value` at its sorted place; never refuses a value. Returns 1.
    int Add(const std::string& value) {
        // With the lower bound as hint, a multiset inserts right before it: in front of the
        // names equal to `value`.
        m_items.insert(m_items.lower_bound(value), value);
        return 1;
    }
    int Add(std::string&& value) {
        const auto hint = m_items.lower_bound(value);
        m_items.insert(hint, std::move(value));
        return 1;
    }

    bool IsEmpty() const { return m_items.empty(); }
    uint32_t Count() const { return static_cast<uint32_t>(m_items.size()); }
    const_iterator begin() const { return m_items.begin(); }
    const_iterator end() const { return m_items.end(); }

private:
    std::multiset<std::string, NameLess> m_items;
};

}  // namespace favpage
