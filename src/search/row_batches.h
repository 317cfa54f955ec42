// CRowBatches: a walk over a row source in batches of entries (ReadRows), forward or
// backward, with one buffer for the walk; the cheap way for a scan to see many rows.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "document/log_line.h"
#include "document/row_source.h"

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
