// Reading the merged rows: a row's log from its byte, its row in that log from the block's
// table and the bytes before it in the block.
#include "merge/merged_rows.h"

#include <optional>

namespace {

// How many of the bytes [from, to) are id; the compiler makes it a vector loop.
int64_t CountOf(const uint8_t* ids, int64_t from, int64_t to, uint8_t id) {
    int64_t n = 0;
    for (int64_t j = from; j < to; ++j) n += ids[j] == id ? 1 : 0;
    return n;
}

}  // namespace

void CMergedRows::RowsBefore(CRow at, int64_t* before) const {
    int64_t row = at.Value();
    if (row >= m_count) {
        for (int i = 0; i < m_logCount; ++i) before[i] = m_logs[i].index->Count();
        return;
    }
    int64_t block = row >> m_blockShift;
    const int64_t* starts = m_starts.get() + block * m_logCount;
    for (int i = 0; i < m_logCount; ++i) before[i] = starts[i];
    for (int64_t j = block << m_blockShift; j < row; ++j) ++before[m_ids[j]];
}

bool CMergedRows::Origin(CRow row, int* log, CRow* logRow) const {
    int64_t r = row.Value();
    if (r < 0 || r >= m_count) return false;
    uint8_t id = m_ids[r];
    int64_t block = r >> m_blockShift;
    *log = id;
    *logRow = CRow(m_starts[block * m_logCount + id] + CountOf(m_ids.get(), block << m_blockShift, r, id));
    return true;
}

bool CMergedRows::Entry(CRow row, CLogLine* line) const {
    int log = 0;
    CRow logRow;
    return Origin(row, &log, &logRow) && m_logs[log].index->Get(logRow.Value(), line);
}

CLogFile* CMergedRows::FileOf(CRow row) const {
    int64_t r = row.Value();
    return r >= 0 && r < m_count ? m_logs[m_ids[r]].file : nullptr;
}

int64_t CMergedRows::ReadRows(CRow first, int64_t n, CLogLine* out) const {
    int64_t from = first.Value();
    if (from < 0 || from >= m_count || n <= 0) return 0;
    if (n > m_count - from) n = m_count - from;
    int64_t before[kMaxMergedLogs];
    RowsBefore(first, before);
    // A reader for each log met, from its first row in the range on: each walks its own
    // index in order, the cheap way.
    std::optional<CLogLineReader> readers[kMaxMergedLogs];
    for (int64_t k = 0; k < n; ++k) {
        uint8_t id = m_ids[from + k];
        if (!readers[id]) readers[id].emplace(*m_logs[id].index, before[id]);
        if (!readers[id]->Next(out + k)) return k;
    }
    return n;
}

int64_t CMergedRows::RowOf(int log, CRow logRow) const {
    if (log < 0 || log >= m_logCount) return -1;
    int64_t want = logRow.Value();
    if (want < 0 || want >= m_logs[log].index->Count()) return -1;
    // The last block whose table has the log at or before the row holds it.
    int64_t low = 0;
    int64_t high = ((m_count - 1) >> m_blockShift) + 1;
    while (high - low > 1) {
        int64_t mid = low + (high - low) / 2;
        if (m_starts[mid * m_logCount + log] <= want) {
            low = mid;
        } else {
            high = mid;
        }
    }
    int64_t at = m_starts[low * m_logCount + log];
    auto id = static_cast<uint8_t>(log);
    int64_t end = (low + 1) << m_blockShift;
    if (end > m_count) end = m_count;
    for (int64_t j = low << m_blockShift; j < end; ++j) {
        if (m_ids[j] != id) continue;
        if (at == want) return j;
        ++at;
    }
    return -1;
}

CMergeKeys CMergedRows::KeysAt(int log, int64_t logRow) const {
    const CMergedLog& l = m_logs[log];
    CMergeKeys keys(l.clock, l.offsetMs);
    int64_t from = logRow >> kKeyStateShift << kKeyStateShift;
    keys.Restore(m_keyStates[log][logRow >> kKeyStateShift]);
    CLogLine line;
    CLogLineReader reader(*l.index, from);
    for (int64_t r = from; r < logRow && reader.Next(&line); ++r) keys.Next(line.timeStamp);
    return keys;
}

int64_t CMergedRows::ReadKeys(CRow first, int64_t n, int64_t* keys) const {
    int64_t from = first.Value();
    if (from < 0 || from >= m_count || n <= 0) return 0;
    if (n > m_count - from) n = m_count - from;
    int64_t before[kMaxMergedLogs];
    RowsBefore(first, before);
    std::optional<CLogLineReader> readers[kMaxMergedLogs];
    std::optional<CMergeKeys> walks[kMaxMergedLogs];
    CLogLine line;
    for (int64_t k = 0; k < n; ++k) {
        uint8_t id = m_ids[from + k];
        if (!readers[id]) {
            readers[id].emplace(*m_logs[id].index, before[id]);
            walks[id].emplace(KeysAt(id, before[id]));
        }
        if (!readers[id]->Next(&line)) return k;
        keys[k] = walks[id]->Next(line.timeStamp);
    }
    return n;
}

uint64_t CMergedRows::MemoryBytes() const {
    int64_t blocks = m_count == 0 ? 1 : ((m_count - 1) >> m_blockShift) + 1;
    uint64_t bytes = static_cast<uint64_t>(m_count) + static_cast<uint64_t>(blocks * m_logCount) * sizeof(int64_t);
    for (int i = 0; i < m_logCount; ++i) {
        int64_t states = (m_logs[i].index->Count() >> kKeyStateShift) + 1;
        bytes += static_cast<uint64_t>(states) * sizeof(CMergeKeyState);
    }
    return bytes;
}
