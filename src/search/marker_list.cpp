// The marker list: binary search for the place of a line number, insertion and removal by
// moving the entries after it.
#include "search/marker_list.h"

#include <cstring>

namespace {
constexpr size_t kMarkerGrowth = 10000;
constexpr int32_t kMaxMarkers = 0x7fffffff;
}  // namespace

int32_t CMarkerList::LowerBound(CLineNumber lineNumber) const {
    const CMarker* entries = m_entries.Data();
    int32_t low = 0;
    int32_t high = m_count;
    while (low < high) {
        int32_t mid = low + (high - low) / 2;
        if (entries[mid].lineNumber < lineNumber) {
            low = mid + 1;
        } else {
            high = mid;
        }
    }
    return low;
}

int32_t CMarkerList::Find(CLineNumber lineNumber) const {
    int32_t at = LowerBound(lineNumber);
    return at < m_count && m_entries.Data()[at].lineNumber == lineNumber ? at : -1;
}

int CMarkerList::Toggle(CRow row, CLineNumber lineNumber, CFileOffset offset) {
    int32_t at = LowerBound(lineNumber);
    CMarker* entries = m_entries.Data();
    if (at < m_count && entries[at].lineNumber == lineNumber) {
        std::memmove(&entries[at], &entries[at + 1], static_cast<size_t>(m_count - at - 1) * sizeof(CMarker));
        --m_count;
        return 0;
    }
    if (m_count == kMaxMarkers) return 0;
    if (static_cast<size_t>(m_count) == m_entries.Capacity() &&
        !m_entries.Reserve(m_entries.Capacity() + kMarkerGrowth))
        return 0;
    entries = m_entries.Data();
    std::memmove(&entries[at + 1], &entries[at], static_cast<size_t>(m_count - at) * sizeof(CMarker));
    entries[at] = CMarker{row, lineNumber, offset};
    ++m_count;
    return 1;
}
