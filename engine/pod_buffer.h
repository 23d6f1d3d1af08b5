// engine/pod_buffer.h: PodBuffer, a growing array of plain values that grows by reallocation.
#pragma once
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

namespace favpage {

// An array of trivially copyable values that grows with std::realloc. Where the C library can,
// a big array grows by remapping its pages instead of copying them into fresh memory, so an
// array that ends with n values has touched about n values' worth of memory, not twice that:
// with 50,000 names, a thousand fewer page faults than a std::vector costs.
template <class T>
class PodBuffer {
    static_assert(std::is_trivially_copyable_v<T>, "PodBuffer holds plain values only");

public:
    PodBuffer() = default;
    ~PodBuffer() { std::free(m_data); }
    PodBuffer(const PodBuffer& o) { Assign(o); }
    PodBuffer& operator=(const PodBuffer& o) {
        if (this != &o) {
            clear();
            Assign(o);
        }
        return *this;
    }
    PodBuffer(PodBuffer&& o) noexcept
        : m_data(std::exchange(o.m_data, nullptr)),
          m_size(std::exchange(o.m_size, 0)),
          m_capacity(std::exchange(o.m_capacity, 0)) {}
    PodBuffer& operator=(PodBuffer&& o) noexcept {
        std::swap(m_data, o.m_data);
        std::swap(m_size, o.m_size);
        std::swap(m_capacity, o.m_capacity);
        return *this;
    }

    T* data() { return m_data; }
    const T* data() const { return m_data; }
    size_t size() const { return m_size; }
    T& operator[](size_t i) { return m_data[i]; }
    const T& operator[](size_t i) const { return m_data[i]; }

    void push_back(const T& value) { *Extend(1) = value; }
    // Appends `count` values, left for the caller to set, and returns the first of them.
    T* Extend(size_t count) {
        if (count > m_capacity - m_size) Grow(count);
        T* first = m_data + m_size;
        m_size += count;
        return first;
    }
    // Empties the array and keeps its memory for the values to come.
    void clear() { m_size = 0; }

private:
    void Grow(size_t count) {
        constexpr size_t kMax = static_cast<size_t>(-1) / sizeof(T);
        if (count > kMax - m_size) throw std::bad_alloc();
        size_t capacity = m_capacity < 64 ? 64 : m_capacity;
        while (capacity < m_size + count) capacity = capacity > kMax / 2 ? kMax : capacity * 2;
        void* grown = std::realloc(m_data, capacity * sizeof(T));
        if (!grown) throw std::bad_alloc();
        m_data = static_cast<T*>(grown);
        m_capacity = capacity;
    }
    void Assign(const PodBuffer& o) {
        if (o.m_size == 0) return;
        std::memcpy(Extend(o.m_size), o.m_data, o.m_size * sizeof(T));
    }

    T* m_data = nullptr;
    size_t m_size = 0;
    size_t m_capacity = 0;
};

}  // namespace favpage
