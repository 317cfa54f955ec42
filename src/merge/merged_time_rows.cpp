// The merged rows on the common clock, and their error rows.
#include "merge/merged_time_rows.h"

#include <new>

#include "merge/merged_picks.h"

int64_t CMergedTimeRows::ReadRows(CRow first, int64_t n, CLogLine* out) const {
    CMergedTimeCursor cursor(m_rows);
    return cursor.Read(first.Value(), n, out);
}

int64_t CMergedTimeCursor::KeyOf(int log, int64_t logRow, const CTimeStamp& stamp) {
    CLogWalk& walk = m_walks[log];
    const CMergeKeyState& state = m_rows.KeyStateOf(log, logRow);
    if (!walk.keys) walk.keys.emplace(m_rows.KeysAt(log, 0));
    if (state.simple) return walk.keys->SimpleKey(state.latest, stamp);
    if (walk.keyedAt != logRow) {
        // Going on costs a row a step; starting from the key state its rows and the seek into
        // the index's block (half a block on average).
        int64_t from = logRow >> CMergedRows::kKeyStateShift << CMergedRows::kKeyStateShift;
        if (walk.keyedAt >= 0 && walk.keyedAt < logRow && walk.keyedAt + kLineBlockEntries / 2 >= from) {
            m_rows.WalkKeys(log, walk.keyedAt, logRow, &*walk.keys);
        } else {
            walk.keys.emplace(m_rows.KeysAt(log, logRow));
        }
    }
    walk.keyedAt = logRow + 1;
    return walk.keys->Next(stamp);
}

bool CMergedTimeCursor::ReadAt(int log, int64_t logRow, int64_t row, CLogLine* out) {
    CLogWalk& walk = m_walks[log];
    if (!walk.reader) {
        walk.reader.emplace(*m_rows.Log(log).index, logRow);
    } else if (walk.at != logRow) {
        walk.reader->Seek(logRow);
    }
    walk.at = logRow + 1;
    if (logRow >= m_rows.LogRows(log) || !walk.reader->Next(out)) {
        walk.at = -1;
        return false;
    }
    out->timeStamp = m_stamps.Stamp(KeyOf(log, logRow, out->timeStamp));
    out->lineNumber = row;
    return true;
}

int64_t CMergedTimeCursor::Read(int64_t first, int64_t n, CLogLine* out) {
    int64_t count = m_rows.Count();
    if (first < 0 || first >= count || n <= 0) return 0;
    if (n > count - first) n = count - first;
    int64_t before[kMaxMergedLogs];
    m_rows.RowsBefore(CRow(first), before);
    for (int64_t k = 0; k < n; ++k) {
        int log = m_rows.LogOf(CRow(first + k));
        if (!ReadAt(log, before[log]++, first + k, out + k)) return k;
    }
    return n;
}

int MergedErrorRows(const CMergedRows& rows, const CLogLineList* const* errors, CLogLineList* out) {
    out->Free();
    CMergedPicks picks;
    if (!picks.AddLogRows(rows, errors)) return 0;
    // Each log's rows are read in rising order, by a reader of its own.
    std::optional<CLogLineReader> readers[kMaxMergedLogs];
    for (int64_t k = 0; k < picks.Count(); ++k) {
        const CMergedPick& pick = picks.At(k);
        auto& reader = readers[pick.log];
        if (!reader) reader.emplace(*rows.Log(pick.log).index, pick.logRow);
        if (reader->Index() != pick.logRow) reader->Seek(pick.logRow);
        CLogLine line;
        if (!reader->Next(&line)) return 0;
        line.lineNumber = pick.row;
        if (!out->Append(line)) return 0;
    }
    return 1;
}
