// CGrowBuffer: a heap array that grows on request and frees itself, for the scratch and
// list buffers that were grown by hand with realloc.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <type_traits>

// Holds Capacity() elements of T at Data() (null while the capacity is 0); the elements
// are uninitialised and survive Grow and Shrink (moved bytewise, hence trivially copyable
// T). Owned by its holder, not copyable, not thread-safe.
template <typename T>
class CGrowBuffer {
    static_assert(std::is_trivially_copyable<T>::value, "elements are moved with realloc");

public:
    CGrowBuffer() = default;
    // An empty buffer frees nothing: a sanitizer's free records a stack trace even for null.
    ~CGrowBuffer() {
        if (m_data != nullptr) std::free(m_data);
    }
    CGrowBuffer(const CGrowBuffer&) = delete;
    CGrowBuffer& operator=(const CGrowBuffer&) = delete;

    // Room for at least atLeast elements: the capacity at least doubles, so that growing
    // one element at a time costs linear time. 1, or 0 with the buffer unchanged.
    int Grow(size_t atLeast) {
        if (atLeast <= m_capacity) return 1;
        if (atLeast > SIZE_MAX / sizeof(T)) return 0;
        size_t capacity = m_capacity <= SIZE_MAX / sizeof(T) / 2 ? m_capacity * 2 : atLeast;
        if (capacity < atLeast) capacity = atLeast;
        return Resize(capacity);
    }
    // Room for exactly capacity elements when it holds fewer, for callers that pace growth
    // themselves. 1, or 0 with the buffer unchanged.
    int Reserve(size_t capacity) {
        if (capacity <= m_capacity) return 1;
        if (capacity > SIZE_MAX / sizeof(T)) return 0;
        return Resize(capacity);
    }
    // Gives memory back down to capacity elements; nothing when it holds no more, or when
    // the system refuses (the buffer stays as it was).
    void Shrink(size_t capacity) {
        if (capacity < m_capacity && capacity > 0) Resize(capacity);
    }

    // Exchanges the elements and capacities of two buffers.
    void Swap(CGrowBuffer& other) {
        T* data = m_data;
        size_t capacity = m_capacity;
        m_data = other.m_data;
        m_capacity = other.m_capacity;
        other.m_data = data;
        other.m_capacity = capacity;
    }

    // Frees the elements; the capacity becomes 0.
    void Free() {
        if (m_data != nullptr) std::free(m_data);
        m_data = nullptr;
        m_capacity = 0;
    }

    T* Data() { return m_data; }
    const T* Data() const { return m_data; }
    size_t Capacity() const { return m_capacity; }

private:
    int Resize(size_t capacity) {
        T* data = static_cast<T*>(std::realloc(m_data, capacity * sizeof(T)));
        if (data == nullptr) return 0;
        m_data = data;
        m_capacity = capacity;
        return 1;
    }

    T* m_data = nullptr;
    size_t m_capacity = 0;
};
