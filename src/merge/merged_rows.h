// CMergedRows: several logs (up to 64) as one row source, ordered by time on a common clock
// (merge/merge_keys.h), built by MergeLogs (merge/log_merge.h). It refers to the logs' own
// indexes and keeps no entry of its own.
//
// Layout: one byte a row, the log it comes from; and for every block of rows (128, or 8 per
// log when there are more than 16 logs) each log's row at the block's first row. A row's
// entry is its log's row at its block's start plus the rows of that log before it in the
// block: at most 2 bytes a row beyond the logs' indexes, a fetch anywhere within a block's
// byte count and one entry decode. Every 256 rows of each log the key state is kept (1/8
// byte a row), so that keys can be made again from anywhere (ReadKeys) after a short walk.
// Threads: read-only once built; any number of threads may read it at once.
#pragma once

#include <cstdint>
#include <memory>

#include "document/log_file.h"
#include "document/log_line.h"
#include "document/row_source.h"
#include "foundation/buffer.h"
#include "merge/merge_keys.h"

constexpr int kMaxMergedLogs = 64;

// One log of a merge: its index (shared with its own view), its file and how its keys are made.
struct CMergedLog {
    std::shared_ptr<const CLogLineList> index;
    CLogFile* file = nullptr;  // borrowed: outlives the merged rows
    CStampClock clock;
    int64_t offsetMs = 0;
    unsigned codePage = 0;                     // what its bytes are decoded with
    int64_t writtenDay = CStampClock::kNoDay;  // the day its file was written, as the merge knew it
    bool ownDay = false;                       // dated by something of its own (merge/merge_keys.h)
};

class CMergedRows : public CRowSource {
public:
    static constexpr int kKeyStateShift = 8;  // a key state every 256 rows of a log

    CMergedRows() = default;
    CMergedRows(const CMergedRows&) = delete;
    CMergedRows& operator=(const CMergedRows&) = delete;

    int64_t Count() const override { return m_count; }
    bool Entry(CRow row, CLogLine* line) const override;
    int64_t ReadRows(CRow first, int64_t n, CLogLine* out) const override;
    CLogFile* FileOf(CRow row) const override;
    // The first log's file.
    CLogFile* File() const override { return m_logCount > 0 ? m_logs[0].file : nullptr; }

    int LogCount() const { return m_logCount; }
    const CMergedLog& Log(int log) const { return m_logs[log]; }
    // A log's code page, chosen again (the encoding box). UI thread: a scan reads a copy.
    void SetCodePage(int log, unsigned codePage) {
        if (log >= 0 && log < m_logCount) m_logs[log].codePage = codePage;
    }
    // The log a row comes from (row within the rows).
    int LogOf(CRow row) const { return m_ids.Data()[row.Value()]; }
    // The rows of a log in the merged order (its index may hold more: a followed log's rows
    // until they are merged in, ExtendMerge).
    int64_t LogRows(int log) const { return m_logRows[log]; }
    // Which log a row comes from and its row in that log's index; false outside the rows.
    bool Origin(CRow row, int* log, CRow* logRow) const;
    // The merged row of a log's row; -1 outside that log's rows. A binary search over the
    // blocks, then one block's bytes.
    int64_t RowOf(int log, CRow logRow) const;
    // The same for n rising rows of one log, into out (CMergedRowCursor): many rows cost
    // about one pass over the bytes they lie in.
    void RowsOf(int log, const int64_t* logRows, int64_t n, int64_t* out) const;
    // Each log's rows before row (0 <= row <= Count()): its block's table and the block's bytes.
    void RowsBefore(CRow row, int64_t* before) const;
    // The keys (merge/merge_keys.h) of up to n rows from first on: how many.
    int64_t ReadKeys(CRow first, int64_t n, int64_t* keys) const;
    // The key state of log at its row logRow (its keys' walk brought there).
    CMergeKeys KeysAt(int log, int64_t logRow) const;
    // Walks *keys (at log's row from) on to its row to.
    void WalkKeys(int log, int64_t from, int64_t to, CMergeKeys* keys) const;
    // The key state kept before log's row logRow >> kKeyStateShift << kKeyStateShift.
    const CMergeKeyState& KeyStateOf(int log, int64_t logRow) const {
        return m_keyStates[log].Data()[logRow >> kKeyStateShift];
    }
    // The bytes the merged order takes besides the logs' indexes.
    uint64_t MemoryBytes() const;
    int64_t BlockRows() const { return int64_t{1} << m_blockShift; }
    // Exchanges everything with other (a merge made again, put in force where the views
    // read it). UI thread, while nothing else reads either.
    void Swap(CMergedRows& other);

private:
    friend class CMergeBuilder;
    friend class CMergedRowCursor;

    CMergedLog m_logs[kMaxMergedLogs];
    int m_logCount = 0;
    int64_t m_count = 0;
    int m_blockShift = 7;
    int64_t m_logRows[kMaxMergedLogs] = {};
    // Grown as followed logs are merged in; exact after a merge.
    CGrowBuffer<uint8_t> m_ids;
    CGrowBuffer<int64_t> m_starts;  // block b, log i: m_starts[b * m_logCount + i]
    CGrowBuffer<CMergeKeyState> m_keyStates[kMaxMergedLogs];
};

// The merged rows of one log's rows asked in rising order (a lower row starts again): the
// bytes of the merged order are taken 64 at a time as a mask of the log's rows, so that a
// row costs the bytes since the last one asked, or, farther than its block, a search over
// the blocks' tables from there. One thread; the rows stay unchanged meanwhile.
class CMergedRowCursor {
public:
    CMergedRowCursor(const CMergedRows& rows, int log) : m_rows(rows), m_log(log) {}

    // The merged row of the log's row logRow; -1 outside the log's rows.
    int64_t RowOf(int64_t logRow);

private:
    // The window of the 64 rows from window on (fewer at the end), before of the log's rows
    // lying before it.
    void Load(int64_t window, int64_t before);

    const CMergedRows& m_rows;
    int m_log;
    int64_t m_window = -1;  // the window's first row; -1: none yet
    int64_t m_before = 0;
    uint64_t m_mask = 0;  // a bit for each of its rows that is the log's
    int64_t m_inWindow = 0;
};
