// The merged rows on the common clock, and their error rows.
#include "merge/merged_time_rows.h"

#include <optional>

int64_t CMergedTimeRows::ReadRows(CRow first, int64_t n, CLogLine* out) const {
    int64_t got = m_rows.ReadRows(first, n, out);
    constexpr int64_t kChunk = 4096;  // the keys of a scan's whole batch: each call walks from a key state
    int64_t keys[kChunk];
    for (int64_t done = 0; done < got;) {
        int64_t want = got - done < kChunk ? got - done : kChunk;
        int64_t k = m_rows.ReadKeys(first + done, want, keys);
        if (k == 0) return done;
        for (int64_t i = 0; i < k; ++i) {
            out[done + i].timeStamp = StampOfKey(keys[i]);
            out[done + i].lineNumber = first.Value() + done + i;
        }
        done += k;
    }
    return got;
}

int MergedErrorRows(const CMergedRows& rows, const CLogLineList* const* errors, CLogLineList* out) {
    out->Free();
    // Each log's error lines are met in rising order as the merged rows walk its rows.
    std::optional<CLogLineReader> readers[kMaxMergedLogs];
    int64_t nextLine[kMaxMergedLogs];
    CLogLine line;
    for (int i = 0; i < rows.LogCount(); ++i) {
        if (errors[i] != nullptr) readers[i].emplace(*errors[i], 0);
        nextLine[i] = readers[i] && readers[i]->Next(&line) ? line.lineNumber : -1;
    }
    CRowWalker walker(rows, CRow(0));
    for (int64_t row = 0; walker.Next(&line); ++row) {
        int log = rows.LogOf(CRow(row));
        CLogLine next;
        while (nextLine[log] >= 0 && nextLine[log] < line.lineNumber) {
            nextLine[log] = readers[log]->Next(&next) ? next.lineNumber : -1;
        }
        if (nextLine[log] != line.lineNumber) continue;
        CLogLine error = line;
        error.lineNumber = row;
        if (!out->Append(error)) return 0;
    }
    return 1;
}
