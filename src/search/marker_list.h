// CMarkerList: a view's markers, sorted by line number without duplicates, and CMarker,
// one marked line. Grows by 10,000 entries; the view owns its list. UI thread only.
#pragma once

#include <cstdint>

#include "document/row_types.h"
#include "foundation/buffer.h"

struct CMarker {
    CRow row;                // the marked line's row in the view
    CLineNumber lineNumber;  // its line number in the file
    CFileOffset offset;      // its file offset
};

class CMarkerList {
public:
    CMarkerList() = default;
    CMarkerList(const CMarkerList&) = delete;
    CMarkerList& operator=(const CMarkerList&) = delete;

    // Removes the marker with this line number if there is one (1 -> 0 returned), otherwise
    // inserts one in line-number order. Returns 1 when the line is marked afterwards, 0 when
    // it is not (removed, or the list could not grow).
    int Toggle(CRow row, CLineNumber lineNumber, CFileOffset offset);
    // Frees the array; capacity and count 0.
    void Clear() {
        m_entries.Free();
        m_count = 0;
    }
    // Position of the marker with this line number, or -1.
    int32_t Find(CLineNumber lineNumber) const;

    const CMarker* Entries() const { return m_entries.Data(); }
    int32_t Count() const { return m_count; }
    int32_t Capacity() const { return static_cast<int32_t>(m_entries.Capacity()); }
    const CMarker* At(int32_t i) const { return i >= 0 && i < m_count ? &m_entries.Data()[i] : nullptr; }

private:
    // Position of the first marker whose line number is at least lineNumber (Count() if none).
    int32_t LowerBound(CLineNumber lineNumber) const;

    CGrowBuffer<CMarker> m_entries;
    int32_t m_count = 0;
};
