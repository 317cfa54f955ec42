// The k-way merge. Each log's keys are made a batch at a time ahead of the merge; the log
// with the least head key gives rows while its key stays below the next log's head (a run),
// so interleaved logs cost a heap step a run and long runs cost a byte fill.
#include "merge/log_merge.h"

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
    CMergeKeys keys;
    CMergeKeyState* states = nullptr;
    int64_t base = 0;  // the log's row of key[0]
    int64_t at = 0;
    int64_t n = 0;
    int64_t key[kKeyBatch];
    CLogLine lines[kKeyBatch];

    int64_t Consumed() const { return base + at; }
    int64_t Head() const { return key[at]; }
    // The next batch; false after the log's last row.
    bool Refill() {
        base += n;
        at = 0;
        n = 0;
        if (base >= index->Count()) return false;
        if (base % kKeyStateRows == 0) {
            states[base / kKeyStateRows] = keys.State();
            keys.StartBlock();
        }
        n = reader->Next(kKeyBatch, lines);
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
    CMergeBuilder(CMergedRows* rows, CCursor* cursors, int count) : m_rows(rows), m_cursors(cursors), m_count(count) {}

    int Run(CProgressListener* listener, const std::atomic<int>* cancel);

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

    CMergedRows* m_rows;
    CCursor* m_cursors;
    int m_count;
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
    rows->m_ids.reset(new (std::nothrow) uint8_t[total > 0 ? total : 1]);
    rows->m_starts.reset(new (std::nothrow) int64_t[blocks * logs]);
    if (rows->m_ids == nullptr || rows->m_starts == nullptr) return false;
    for (int i = 0; i < logs; ++i) {
        int64_t states = (rows->m_logs[i].index->Count() >> CMergedRows::kKeyStateShift) + 1;
        rows->m_keyStates[i].reset(new (std::nothrow) CMergeKeyState[states]);
        if (rows->m_keyStates[i] == nullptr) return false;
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

void CMergeBuilder::Emit(int log, int64_t len) {
    int64_t mask = m_rows->BlockRows() - 1;
    uint8_t* ids = m_rows->m_ids.get();
    CCursor& c = m_cursors[log];
    while (len > 0) {
        if ((m_pos & mask) == 0) {
            int64_t* starts = m_rows->m_starts.get() + (m_pos >> m_rows->m_blockShift) * m_count;
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
    return 1;
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
        log.clock = MergeClockOf(*log.index, day, 0, &ownDay[i]);
        if (ownDay[i] && log.clock.Dated() && log.clock.FirstDay() < earliest) earliest = log.clock.FirstDay();
        total += log.index->Count();
    }
    // A log that could be dated by nothing of its own is put on the others' first day.
    for (int i = 0; i < count; ++i) {
        if (ownDay[i] || earliest == INT64_MAX) continue;
        bool own = false;
        merged->m_logs[i].clock =
            MergeClockOf(*merged->m_logs[i].index, CStampClock::kNoDay, earliest / kMillisecondsPerDay, &own);
    }
    merged->m_logCount = count;
    if (!Allocate(merged, total)) return false;
    for (int i = 0; i < count; ++i) {
        CCursor& c = cursors[i];
        c.index = merged->m_logs[i].index.get();
        c.reader.reset(new (std::nothrow) CLogLineReader(*c.index, 0));
        if (c.reader == nullptr) return false;
        c.keys = CMergeKeys(merged->m_logs[i].clock, merged->m_logs[i].offsetMs);
        c.states = merged->m_keyStates[i].get();
    }
    return true;
}

int MergeLogs(const CMergeInput* logs, int count, std::unique_ptr<CMergedRows>* rows, CProgressListener* listener,
              const std::atomic<int>* cancel) {
    if (count < 1 || count > kMaxMergedLogs) return 0;
    for (int i = 0; i < count; ++i) {
        if (logs[i].index == nullptr) return 0;
    }
    std::unique_ptr<CMergedRows> merged(new (std::nothrow) CMergedRows);
    std::unique_ptr<CCursor[]> cursors(new (std::nothrow) CCursor[count]);
    if (merged == nullptr || cursors == nullptr) return 0;
    if (!CMergeBuilder::Prepare(logs, count, merged.get(), cursors.get())) return 0;
    CMergeBuilder builder(merged.get(), cursors.get(), count);
    int done = builder.Run(listener, cancel);
    if (done != 1) return done;
    uint64_t total = static_cast<uint64_t>(merged->Count());
    if (listener != nullptr) listener->OnProgress(total, total);
    *rows = std::move(merged);
    return 1;
}
