// Batches of rows, forward or backward.
#include "search/row_batches.h"

#include <algorithm>
#include <new>

CRowBatches::CRowBatches(const CRowSource& rows, CRow first, CRow end, bool backward)
    : m_rows(rows),
      m_low(std::max<int64_t>(first.Value(), 0)),
      m_high(std::min(end.Value(), rows.Count())),
      m_backward(backward),
      m_buffer(new (std::nothrow) CLogLine[kBatchRows]) {}

bool CRowBatches::Next(const CLogLine** lines, int64_t* n, CRow* firstRow) {
    if (m_buffer == nullptr || m_low >= m_high) return false;
    int64_t count = std::min(kBatchRows, m_high - m_low);
    int64_t from = m_backward ? m_high - count : m_low;
    count = m_rows.ReadRows(CRow(from), count, m_buffer.get());
    if (count <= 0) return false;
    if (m_backward) {
        m_high = from;
    } else {
        m_low = from + count;
    }
    *lines = m_buffer.get();
    *n = count;
    *firstRow = CRow(from);
    return true;
}
