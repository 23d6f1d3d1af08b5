// engine/sorted_name_list.h: TSListImp<std::string>, the sorted list that orders every list on the page.
#pragma once
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>
#include <cstddef>

namespace favpage {

// The one ordering of names: letters a-z folded to A-Z and nothing else, then bytes compared as
// signed 8-bit values, so bytes 0x80-0xFF order before every ASCII byte and before the end of a
// text. No locale or code page takes part. Only the sign of the result counts.
int CompareNames(const std::string& a, const std::string& b);

// A text whose plain byte order (as std::string compares) is the order of CompareNames: every
// byte folded and flipped to unsigned order, then an end mark that sorts where the end of a
// text does. Names hold no 0 byte, so two keys are equal exactly when the names compare equal.
std::string SortKey(const std::string& name);

template <class T>
class TSListImp;

// A sorted list of names. A name goes in front of every name that compares equal to it (a lower
// bound), so equal names come out newest first. Names are collected as they are added and put
// in order once, when the list is first traversed after an add: n names cost O(n log n), with
// one cheap byte comparison per step.
template <>
class TSListImp<std::string> {
    struct Element {
        std::string name;
        uint32_t keyAt;      // the name's sort key in m_keys
        uint32_t keyLength;
        uint32_t added;      // order of addition, for the tie-break
    };

public:
    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = std::string;
        using difference_type = std::ptrdiff_t;
        using pointer = const std::string*;
        using reference = const std::string&;

        explicit const_iterator(std::vector<const Element*>::const_iterator it) : m_it(it) {}
        reference operator*() const { return (*m_it)->name; }
        pointer operator->() const { return &(*m_it)->name; }
        const_iterator& operator++() {
            ++m_it;
            return *this;
        }
        bool operator==(const const_iterator& o) const { return m_it == o.m_it; }
        bool operator!=(const const_iterator& o) const { return m_it != o.m_it; }

    private:
        std::vector<const Element*>::const_iterator m_it;
    };

    // Inserts a copy of `value` at its sorted place; never refuses a value. Returns 1.
    int Add(std::string value);

    bool IsEmpty() const { return m_elements.empty(); }
    uint32_t Count() const { return static_cast<uint32_t>(m_elements.size()); }
    const_iterator begin() const {
        Order();
        return const_iterator(m_order.begin());
    }
    const_iterator end() const {
        Order();
        return const_iterator(m_order.end());
    }

private:
    void Order() const;

    std::vector<Element> m_elements;  // in order of addition
    std::string m_keys;               // every element's sort key, back to back
    // Ordering on first traversal changes no value a caller can see, hence mutable.
    mutable std::vector<const Element*> m_order;
    mutable bool m_ordered = true;
};

}  // namespace favpage
