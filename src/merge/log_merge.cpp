// The k-way merge. Each log's keys are made a batch at a time ahead of the merge; the log
// with the least head key gives rows while its key stays below the next log's head (a run),
// so interleaved logs cost a heap step a run and long runs cost a byte fill.
#include "merge/log_merge.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// Rows of a log keyed at once: small enough that a batch's entries stay in the cache, and a
// whole number of them between two of the key states kept.
constexpr int64_t kKeyBatch = 256;
constexpr int64_t kKeyStateRows = int64_t{1} << CMergedRows::kKeyStateShift;
static_assert(kKeyStateRows == kKeyBatch, "a batch is the block of a key state");
constexpr int64_t kReportRows = int64_t{1} << 20;

// A log's walk: its next rows' keys, kKeyBatch at a time.
struct CCursor {
    const CLogLineList* index = nullptr;
    std::unique_ptr<CLogLineReader> reader;
    std::unique_ptr<CLogLineReader> errors;  // its error lines, when the error rows are made
    int64_t nextError = INT64_MAX;           // the log's row of the next one
    CMergeKeys keys;
    CMergeKeyState* states = nullptr;
    int64_t base = 0;  // the log's row of key[0]
    int64_t at = 0;
    int64_t n = 0;
    int64_t key[kKeyBatch];
    CLogLine lines[kKeyBatch];

    int64_t Consumed() const { return base + at; }
    int64_t Head() const { return key[at]; }
    // The next batch (up to the next key state: a cursor may start within a block); false
    // after the log's last row.
    bool Refill() {
        base += n;
        at = 0;
        n = 0;
        // Also at the end: the state a followed log's next rows start from.
        if (base % kKeyStateRows == 0) {
            states[base / kKeyStateRows] = keys.State();
            keys.StartBlock();
        }
        if (base >= index->Count()) return false;
        n = reader->Next(kKeyBatch - base % kKeyBatch, lines);
        for (int64_t i = 0; i < n; ++i) key[i] = keys.Next(lines[i].timeStamp);
        // A batch is one block of a key state: whether its rows' keys need a walk is known now.
        states[base / kKeyStateRows].simple = keys.Simple();
        return n > 0;
    }
};

}  // namespace

// Builds a CMergedRows, whose layout it fills (a friend).
class CMergeBuilder {
public:
    CMergeBuilder(CMergedRows* rows, CCursor* cursors, int count, int64_t first = 0)
        : m_rows(rows), m_cursors(cursors), m_count(count), m_pos(first) {}

    int Run(CProgressListener* listener, const std::atomic<int>* cancel);
    // The error rows are made on the way into errorRows, from each cursor's error lines.
    void MakeErrorRows(CLogLineList* errorRows) { m_errorRows = errorRows; }
    // Merges in what the logs' indexes hold beyond the merged rows (see ExtendMerge).
    static int Extend(CMergedRows* rows, const int64_t* replacedFrom, CMergeChange* change);

    // The layout for total rows of count logs; false when memory ran out.
    static bool Allocate(CMergedRows* rows, int64_t total);
    // The logs' clocks and offsets and their cursors; false when memory ran out.
    static bool Prepare(const CMergeInput* logs, int count, CMergedRows* rows, CCursor* cursors);

private:
    bool Less(int a, int b) const {
        int64_t ka = m_cursors[a].Head();
        int64_t kb = m_cursors[b].Head();
        return ka < kb || (ka == kb && a < b);
    }
    void Push(int log);
    int Pop();
    // Gives len rows of log from its cursor, filling the row bytes block by block.
    void Emit(int log, int64_t len);
    // The error rows among them.
    void EmitErrors(CCursor& c, int64_t len);
    // The first of rows' first `end` rows that comes after a row of log with key (0..end).
    static int64_t InsertPoint(const CMergedRows& rows, int64_t key, int log, int64_t end);
    // Log's clock found again when it had nothing to date it by (a followed log that was
    // empty): true when it changed, and its rows must all be keyed again.
    static bool DateAgain(CMergedRows* rows, int log);
    // Puts each log's cursor at its row before[log], its key walk there.
    static bool StartCursors(CMergedRows* rows, const int64_t* before, CCursor* cursors);

    CMergedRows* m_rows;
    CCursor* m_cursors;
    int m_count;
    CLogLineList* m_errorRows = nullptr;
    bool m_failed = false;  // an error row could not be appended
    CKeyStamps m_stamps;
    int m_heap[kMaxMergedLogs] = {};
    int m_heapSize = 0;
    int64_t m_pos = 0;
};

bool CMergeBuilder::Allocate(CMergedRows* rows, int64_t total) {
    int logs = rows->m_logCount;
    // Each log's row at a block's start costs at most a byte a row: blocks of 8 rows a log.
    int shift = 7;
    while ((int64_t{1} << shift) < int64_t{8} * logs) ++shift;
    rows->m_blockShift = shift;
    rows->m_count = total;
    int64_t blocks = total == 0 ? 1 : ((total - 1) >> shift) + 1;
    if (!rows->m_ids.Reserve(static_cast<size_t>(total > 0 ? total : 1)) ||
        !rows->m_starts.Reserve(static_cast<size_t>(blocks * logs))) {
        return false;
    }
    for (int i = 0; i < logs; ++i) {
        int64_t states = (rows->m_logs[i].index->Count() >> CMergedRows::kKeyStateShift) + 1;
        if (!rows->m_keyStates[i].Reserve(static_cast<size_t>(states))) return false;
        rows->m_logRows[i] = rows->m_logs[i].index->Count();
    }
    return true;
}

void CMergeBuilder::Push(int log) {
    int i = m_heapSize++;
    while (i > 0) {
        int parent = (i - 1) / 2;
        if (!Less(log, m_heap[parent])) break;
        m_heap[i] = m_heap[parent];
        i = parent;
    }
    m_heap[i] = log;
}

int CMergeBuilder::Pop() {
    int top = m_heap[0];
    int last = m_heap[--m_heapSize];
    int i = 0;
    for (;;) {
        int child = 2 * i + 1;
        if (child >= m_heapSize) break;
        if (child + 1 < m_heapSize && Less(m_heap[child + 1], m_heap[child])) ++child;
        if (!Less(m_heap[child], last)) break;
        m_heap[i] = m_heap[child];
        i = child;
    }
    if (m_heapSize > 0) m_heap[i] = last;
    return top;
}

void CMergeBuilder::EmitErrors(CCursor& c, int64_t len) {
    int64_t first = c.Consumed();
    CLogLine next;
    while (c.nextError < first + len) {
        if (c.nextError >= first) {
            int64_t i = c.nextError - c.base;
            CLogLine row = c.lines[i];
            row.timeStamp = m_stamps.Stamp(c.key[i]);
            row.lineNumber = m_pos + (c.nextError - first);
            if (!m_errorRows->Append(row)) m_failed = true;
        }
        c.nextError = c.errors->Next(&next) ? next.lineNumber : INT64_MAX;
    }
}

void CMergeBuilder::Emit(int log, int64_t len) {
    int64_t mask = m_rows->BlockRows() - 1;
    uint8_t* ids = m_rows->m_ids.Data();
    CCursor& c = m_cursors[log];
    if (c.nextError < c.Consumed() + len) EmitErrors(c, len);
    while (len > 0) {
        if ((m_pos & mask) == 0) {
            int64_t* starts = m_rows->m_starts.Data() + (m_pos >> m_rows->m_blockShift) * m_count;
            for (int i = 0; i < m_count; ++i) starts[i] = m_cursors[i].Consumed();
        }
        int64_t take = mask + 1 - (m_pos & mask);
        if (take > len) take = len;
        // Interleaved logs give runs of a row or two: a call would cost more than the bytes.
        if (take <= 8) {
            for (int64_t j = 0; j < take; ++j) ids[m_pos + j] = static_cast<uint8_t>(log);
        } else {
            std::memset(ids + m_pos, log, static_cast<size_t>(take));
        }
        m_pos += take;
        c.at += take;
        len -= take;
    }
}

int CMergeBuilder::Run(CProgressListener* listener, const std::atomic<int>* cancel) {
    for (int i = 0; i < m_count; ++i) {
        if (m_cursors[i].Refill()) Push(i);
    }
    int64_t report = 0;  // a merge already cancelled does nothing
    while (m_heapSize > 0) {
        if (m_pos >= report) {
            if (cancel != nullptr && cancel->load(std::memory_order_relaxed) != 0) return kMergeCancelled;
            if (listener != nullptr)
                listener->OnProgress(static_cast<uint64_t>(m_pos), static_cast<uint64_t>(m_rows->m_count));
            report = m_pos + kReportRows;
        }
        int log = Pop();
        CCursor& c = m_cursors[log];
        bool more = true;
        if (m_heapSize == 0) {
            // The last log left gives all its rows.
            do Emit(log, c.n - c.at);
            while (c.Refill());
            continue;
        }
        int next = m_heap[0];
        int64_t bound = m_cursors[next].Head();
        bool tieFirst = log < next;  // an equal key goes first when its log comes first
        for (;;) {
            int64_t end = c.at;
            while (end < c.n && (c.key[end] < bound || (tieFirst && c.key[end] == bound))) ++end;
            Emit(log, end - c.at);
            if (c.at < c.n) break;
            if (!c.Refill()) {
                more = false;
                break;
            }
        }
        if (more) Push(log);
    }
    return m_failed ? 0 : 1;
}

bool CMergeBuilder::Prepare(const CMergeInput* logs, int count, CMergedRows* merged, CCursor* cursors) {
    int64_t total = 0;
    bool ownDay[kMaxMergedLogs] = {};
    int64_t earliest = INT64_MAX;
    for (int i = 0; i < count; ++i) {
        int64_t day = logs[i].writtenDay;
        if (day == CStampClock::kNoDay && (logs[i].file == nullptr || !logs[i].file->LastWriteDay(&day))) {
            day = CStampClock::kNoDay;
        }
        CMergedLog& log = merged->m_logs[i];
        log.index = logs[i].index;
        log.file = logs[i].file;
        log.offsetMs = int64_t{logs[i].offsetMinutes} * 60000;
        log.codePage = logs[i].codePage;
        log.writtenDay = day;
        log.clock = MergeClockOf(*log.index, day, 0, &ownDay[i]);
        log.ownDay = ownDay[i];
        if (ownDay[i] && log.clock.Dated() && log.clock.FirstDay() < earliest) earliest = log.clock.FirstDay();
        total += log.index->Count();
    }
    // A log that could be dated by nothing of its own is put on the others' first day.
    for (int i = 0; i < count; ++i) {
        if (ownDay[i] || earliest == INT64_MAX) continue;
        bool own = false;
        merged->m_logs[i].clock =
            MergeClockOf(*merged->m_logs[i].index, CStampClock::kNoDay, earliest / kMillisecondsPerDay, &own);
        merged->m_logs[i].ownDay = own;
    }
    merged->m_logCount = count;
    if (!Allocate(merged, total)) return false;
    for (int i = 0; i < count; ++i) {
        CCursor& c = cursors[i];
        c.index = merged->m_logs[i].index.get();
        c.reader.reset(new (std::nothrow) CLogLineReader(*c.index, 0));
        if (c.reader == nullptr) return false;
        c.keys = CMergeKeys(merged->m_logs[i].clock, merged->m_logs[i].offsetMs);
        c.states = merged->m_keyStates[i].Data();
    }
    return true;
}

int64_t CMergeBuilder::InsertPoint(const CMergedRows& rows, int64_t key, int log, int64_t end) {
    // The merged rows rise by key, then by log: halving over them.
    auto after = [&](int64_t row) {
        int64_t k = 0;
        rows.ReadKeys(CRow(row), 1, &k);
        return k > key || (k == key && rows.LogOf(CRow(row)) > log);
    };
    if (end == 0 || !after(end - 1)) return end;  // after every row: the common case
    int64_t low = 0;
    int64_t high = end - 1;
    while (low < high) {
        int64_t mid = low + (high - low) / 2;
        if (after(mid)) {
            high = mid;
        } else {
            low = mid + 1;
        }
    }
    return low;
}

bool CMergeBuilder::DateAgain(CMergedRows* rows, int log) {
    CMergedLog& l = rows->m_logs[log];
    if (l.clock.Dated() || l.index->Count() == 0) return false;
    // As Prepare dates it: by its own, else on the earliest first day of the logs dated so.
    int64_t earliest = INT64_MAX;
    for (int i = 0; i < rows->m_logCount; ++i) {
        const CMergedLog& other = rows->m_logs[i];
        if (i != log && other.ownDay && other.clock.Dated() && other.clock.FirstDay() < earliest)
            earliest = other.clock.FirstDay();
    }
    bool own = false;
    CStampClock clock = MergeClockOf(*l.index, l.writtenDay, 0, &own);
    if (!own && earliest != INT64_MAX)
        clock = MergeClockOf(*l.index, CStampClock::kNoDay, earliest / kMillisecondsPerDay, &own);
    if (!clock.Dated()) return false;
    l.clock = clock;
    l.ownDay = own;
    return true;
}

bool CMergeBuilder::StartCursors(CMergedRows* rows, const int64_t* before, CCursor* cursors) {
    constexpr int kShift = CMergedRows::kKeyStateShift;
    for (int i = 0; i < rows->m_logCount; ++i) {
        CCursor& c = cursors[i];
        const CMergedLog& log = rows->m_logs[i];
        c.index = log.index.get();
        c.states = rows->m_keyStates[i].Data();
        c.base = before[i];
        c.reader.reset(new (std::nothrow) CLogLineReader(*c.index, before[i]));
        if (c.reader == nullptr) return false;
        // The walk from the block's key state, so that the block's simple mark is made again.
        int64_t block = before[i] >> kShift << kShift;
        c.keys = CMergeKeys(log.clock, log.offsetMs);
        c.keys.Restore(c.states[block >> kShift]);
        c.keys.StartBlock();
        rows->WalkKeys(i, block, before[i], &c.keys);
    }
    return true;
}

int CMergeBuilder::Extend(CMergedRows* rows, const int64_t* replacedFrom, CMergeChange* change) {
    int count = rows->m_logCount;
    int64_t from[kMaxMergedLogs];
    int64_t total = 0;
    for (int i = 0; i < count; ++i) {
        int64_t had = rows->m_logRows[i];
        from[i] = replacedFrom[i] < 0 ? 0 : replacedFrom[i] < had ? replacedFrom[i] : had;
        if (DateAgain(rows, i)) from[i] = 0;
        total += rows->m_logs[i].index->Count();
    }
    // The first row that moves: a replaced row's, or where a log's first new row goes.
    int64_t first = rows->m_count;
    for (int i = 0; i < count; ++i) {
        if (from[i] < rows->m_logRows[i]) first = std::min(first, rows->RowOf(i, CRow(from[i])));
    }
    for (int i = 0; i < count; ++i) {
        const CLogLineList& index = *rows->m_logs[i].index;
        CLogLine line;
        if (from[i] >= index.Count() || !index.Get(from[i], &line)) continue;
        CMergeKeys keys = rows->KeysAt(i, from[i]);
        first = InsertPoint(*rows, keys.Next(line.timeStamp), i, first);
    }
    if (!change->Keep(*rows, first)) return 0;
    // Room for the new order before anything changes: a failure leaves the merge as it was.
    int64_t blocks = total == 0 ? 1 : ((total - 1) >> rows->m_blockShift) + 1;
    if (!rows->m_ids.Grow(static_cast<size_t>(total > 0 ? total : 1)) ||
        !rows->m_starts.Grow(static_cast<size_t>(blocks * count))) {
        return 0;
    }
    for (int i = 0; i < count; ++i) {
        int64_t states = (rows->m_logs[i].index->Count() >> CMergedRows::kKeyStateShift) + 1;
        if (!rows->m_keyStates[i].Grow(static_cast<size_t>(states))) return 0;
    }
    std::unique_ptr<CCursor[]> cursors(new (std::nothrow) CCursor[count]);
    int64_t before[kMaxMergedLogs];
    rows->RowsBefore(CRow(first), before);
    if (cursors == nullptr || !StartCursors(rows, before, cursors.get())) return 0;
    rows->m_count = total;
    CMergeBuilder builder(rows, cursors.get(), count, first);
    builder.Run(nullptr, nullptr);
    for (int i = 0; i < count; ++i) rows->m_logRows[i] = rows->m_logs[i].index->Count();
    return 1;
}

int ExtendMerge(CMergedRows* rows, const int64_t* replacedFrom, CMergeChange* change) {
    return CMergeBuilder::Extend(rows, replacedFrom, change);
}

int MergeLogs(const CMergeInput* logs, int count, std::unique_ptr<CMergedRows>* rows, CProgressListener* listener,
              const std::atomic<int>* cancel, CLogLineList* errorRows) {
    if (count < 1 || count > kMaxMergedLogs) return 0;
    for (int i = 0; i < count; ++i) {
        if (logs[i].index == nullptr) return 0;
    }
    std::unique_ptr<CMergedRows> merged(new (std::nothrow) CMergedRows);
    std::unique_ptr<CCursor[]> cursors(new (std::nothrow) CCursor[count]);
    if (merged == nullptr || cursors == nullptr) return 0;
    if (!CMergeBuilder::Prepare(logs, count, merged.get(), cursors.get())) return 0;
    CMergeBuilder builder(merged.get(), cursors.get(), count);
    if (errorRows != nullptr) {
        for (int i = 0; i < count; ++i) {
            if (logs[i].errors == nullptr) continue;
            CCursor& c = cursors[i];
            c.errors.reset(new (std::nothrow) CLogLineReader(*logs[i].errors, 0));
            CLogLine first;
            if (c.errors == nullptr) return 0;
            c.nextError = c.errors->Next(&first) ? first.lineNumber : INT64_MAX;
        }
        builder.MakeErrorRows(errorRows);
    }
    int done = builder.Run(listener, cancel);
    if (done != 1) return done;
    if (errorRows != nullptr) errorRows->ShrinkToFit();
    uint64_t total = static_cast<uint64_t>(merged->Count());
    if (listener != nullptr) listener->OnProgress(total, total);
    *rows = std::move(merged);
    return 1;
}
