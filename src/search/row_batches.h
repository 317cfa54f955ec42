// CRowBatches: a walk over a row source in batches of entries (ReadRows), forward or
// backward, with one buffer for the walk; the cheap way for a scan to see many rows.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "document/log_line.h"
#include "document/row_source.h"
#include "search/line_scan.h"

class CRowBatches {
public:
    static constexpr int64_t kBatchRows = 4096;

    // A walk over [first, end) of rows, from first up, or from end - 1 down when backward.
    CRowBatches(const CRowSource& rows, CRow first, CRow end, bool backward = false);

    // False when the buffer could not be made.
    bool IsValid() const { return m_buffer != nullptr; }
    // The next batch: *lines holds *n entries of the rows from *firstRow up (a backward walk
    // gives the batches in falling order, each still in row order). False at the end.
    bool Next(const CLogLine** lines, int64_t* n, CRow* firstRow);
    // Visits the rows one by one in the walk's order (falling rows when backward) until
    // found(line, row) holds: that row; -1 when none does or the buffer could not be made;
    // kScanCancelled when cancel is set, looked at once a batch.
    template <typename Found>
    int64_t Find(const std::atomic<int>* cancel, Found found);

private:
    const CRowSource& m_rows;
    int64_t m_low;
    int64_t m_high;
    bool m_backward;
    std::unique_ptr<CLogLine[]> m_buffer;
};

// Whether a cancel flag is set.
inline bool IsCancelled(const std::atomic<int>* cancel) {
    return cancel != nullptr && cancel->load(std::memory_order_relaxed) != 0;
}

template <typename Found>
int64_t CRowBatches::Find(const std::atomic<int>* cancel, Found found) {
    const CLogLine* lines = nullptr;
    int64_t n = 0;
    CRow first;
    while (Next(&lines, &n, &first)) {
        if (IsCancelled(cancel)) return kScanCancelled;
        for (int64_t k = 0; k < n; ++k) {
            int64_t i = m_backward ? n - 1 - k : k;
            if (found(lines[i], first.Value() + i)) return first.Value() + i;
        }
    }
    return -1;
}
