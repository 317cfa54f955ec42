// The marker list: binary search for the place of a line number, insertion and removal by
// moving the entries after it.
#include "search/marker_list.h"

#include <cstdlib>
#include <cstring>

namespace {
constexpr int32_t kMarkerGrowth = 10000;
}

CMarkerList::~CMarkerList() { Clear(); }

void CMarkerList::Clear() {
    std::free(m_entries);
    m_entries = nullptr;
    m_capacity = 0;
    m_count = 0;
}

int32_t CMarkerList::LowerBound(int32_t lineNumber) const {
    int32_t low = 0;
    int32_t high = m_count;
    while (low < high) {
        int32_t mid = low + (high - low) / 2;
        if (m_entries[mid].lineNumber < lineNumber) {
            low = mid + 1;
        } else {
            high = mid;
        }
    }
    return low;
}

int32_t CMarkerList::Find(int32_t lineNumber) const {
    int32_t at = LowerBound(lineNumber);
    return at < m_count && m_entries[at].lineNumber == lineNumber ? at : -1;
}

int CMarkerList::Toggle(int32_t index, int32_t lineNumber, uint64_t offset) {
    int32_t at = LowerBound(lineNumber);
    if (at < m_count && m_entries[at].lineNumber == lineNumber) {
        std::memmove(&m_entries[at], &m_entries[at + 1], static_cast<size_t>(m_count - at - 1) * sizeof(CMarker));
        --m_count;
        return 0;
    }
    if (m_count == m_capacity) {
        int64_t capacity = static_cast<int64_t>(m_capacity) + kMarkerGrowth;
        if (capacity > 0x7fffffff) return 0;
        auto* grown = static_cast<CMarker*>(std::calloc(static_cast<size_t>(capacity), sizeof(CMarker)));
        if (grown == nullptr) return 0;
        if (m_count > 0) std::memcpy(grown, m_entries, static_cast<size_t>(m_count) * sizeof(CMarker));
        std::free(m_entries);
        m_entries = grown;
        m_capacity = static_cast<int32_t>(capacity);
    }
    std::memmove(&m_entries[at + 1], &m_entries[at], static_cast<size_t>(m_count - at) * sizeof(CMarker));
    m_entries[at].index = index;
    m_entries[at].lineNumber = lineNumber;
    m_entries[at].offset = offset;
    ++m_count;
    return 1;
}
