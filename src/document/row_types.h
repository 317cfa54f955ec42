// Distinct index types, so that a row of a list, a line number of the file and a byte
// offset in it cannot be mixed silently: each is built explicitly from its number and
// compares and steps only with its own kind.
#pragma once

#include <cstdint>

template <typename Tag, typename T>
class CIndex {
public:
    constexpr CIndex() = default;
    constexpr explicit CIndex(T value) : m_value(value) {}
    constexpr T Value() const { return m_value; }

    // Another index n steps further (or back).
    constexpr CIndex operator+(T n) const { return CIndex(m_value + n); }
    constexpr CIndex operator-(T n) const { return CIndex(m_value - n); }
    // The distance between two indexes of one kind.
    constexpr T operator-(CIndex other) const { return m_value - other.m_value; }
    CIndex& operator++() {
        ++m_value;
        return *this;
    }
    CIndex& operator--() {
        --m_value;
        return *this;
    }

    constexpr bool operator==(CIndex other) const { return m_value == other.m_value; }
    constexpr bool operator!=(CIndex other) const { return m_value != other.m_value; }
    constexpr bool operator<(CIndex other) const { return m_value < other.m_value; }
    constexpr bool operator<=(CIndex other) const { return m_value <= other.m_value; }
    constexpr bool operator>(CIndex other) const { return m_value > other.m_value; }
    constexpr bool operator>=(CIndex other) const { return m_value >= other.m_value; }

private:
    T m_value = 0;
};

// A row of a list: what a view shows, 0-based.
using CRow = CIndex<struct CRowTag, int64_t>;
// A line of the file: 0-based among its non-empty lines, as the loader numbers them.
using CLineNumber = CIndex<struct CLineNumberTag, int64_t>;
// A byte offset in the file.
using CFileOffset = CIndex<struct CFileOffsetTag, uint64_t>;
