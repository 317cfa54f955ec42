// CMarkerList: a view's markers, sorted by line number without duplicates, and CMarker,
// one marked line. Grows by 10,000 entries; the view owns its list. UI thread only.
#pragma once

#include <cstdint>

struct CMarker {
    int32_t index = 0;       // position of the marked line in the view's line list
    int32_t lineNumber = 0;  // its CLogLine line number (0-based)
    uint64_t offset = 0;     // its file offset
};

class CMarkerList {
public:
    CMarkerList() = default;
    ~CMarkerList();
    CMarkerList(const CMarkerList&) = delete;
    CMarkerList& operator=(const CMarkerList&) = delete;

    // Removes the marker with this line number if there is one (1 -> 0 returned), otherwise
    // inserts one in line-number order. Returns 1 when the line is marked afterwards, 0 when
    // it is not (removed, or the list could not grow).
    int Toggle(int32_t index, int32_t lineNumber, uint64_t offset);
    // Frees the array; capacity and count 0.
    void Clear();
    // Position of the marker with this line number, or -1.
    int32_t Find(int32_t lineNumber) const;

    const CMarker* Entries() const { return m_entries; }
    int32_t Count() const { return m_count; }
    int32_t Capacity() const { return m_capacity; }
    const CMarker* At(int32_t i) const { return i >= 0 && i < m_count ? &m_entries[i] : nullptr; }

private:
    // Position of the first marker whose line number is at least lineNumber (Count() if none).
    int32_t LowerBound(int32_t lineNumber) const;

    CMarker* m_entries = nullptr;
    int32_t m_capacity = 0;
    int32_t m_count = 0;
};
