// Search and extraction scans: a window over the file and a byte-level matcher, so a scan
// over a large log costs about one pass of reading and one substring search per line.
// The rows are taken in chunks, in scan order, by the calling thread and, for large scans,
// one helper thread. A search keeps the lowest hit position any thread found, and no
// thread goes past it; an extraction collects each thread's hits (ascending, as chunks are
// claimed in order), merges them and appends the rows on the calling thread. So the result
// never depends on how the chunks fell to the threads.
#include "search/line_scan.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

#include "document/helper_thread.h"
#include "foundation/buffer.h"
#include "search/line_matcher.h"
#include "search/line_prefilter.h"

namespace {

constexpr int64_t kProgressRows = 1 << 16;
constexpr int64_t kBlockRows = 512;        // rows between looks at the cancel flag
constexpr int64_t kClaimRows = 16384;      // the most rows a thread takes at once
constexpr uint64_t kRowWeight = 64;        // a row's own cost, in bytes of line
constexpr uint64_t kChunkWork = 1u << 20;  // what a thread takes at once: small enough that a
                                           // search stops soon after a hit

enum StopReason { kRunning, kStopCancelled, kStopTooLarge, kStopNoMemory };

uint64_t Work(const CLogLine& line) { return (line.length > 0 ? static_cast<uint64_t>(line.length) : 0) + kRowWeight; }

// A growing list of ascending row indexes: one thread's hits.
class CHitList {
public:
    int Add(int64_t row) {
        // Starts at 1024 entries, then doubles.
        size_t count = static_cast<size_t>(m_count);
        if (!m_items.Grow(count < 1024 ? 1024 : count + 1)) return 0;
        m_items.Data()[m_count++] = row;
        return 1;
    }
    int64_t Count() const { return m_count; }
    int64_t At(int64_t i) const { return m_items.Data()[i]; }

private:
    CGrowBuffer<int64_t> m_items;
    int64_t m_count = 0;
};

// What the threads of one scan share. Positions count in scan order from 0: position k is
// row first + k, or first - k for a backward search.
struct CScanJob {
    const CLogLineList* lines = nullptr;
    int64_t first = 0;
    int64_t positions = 0;
    bool backward = false;
    bool extract = false;
    // Extraction: context and the row limit.
    int32_t before = 0;
    int32_t after = 0;
    int64_t sourceCount = 0;
    int64_t maxRows = 0;
    uint64_t chunkWork = kChunkWork;
    const std::atomic<int>* cancel = nullptr;

    std::atomic<int64_t> next{0};     // first position not yet claimed
    std::atomic<int64_t> best{0};     // search: lowest position found (positions: none)
    std::atomic<int64_t> done{0};     // positions examined
    std::atomic<int64_t> rows{0};     // extraction: rows the hits found so far append
    std::atomic<int> stop{kRunning};  // a StopReason

    int64_t Row(int64_t k) const { return backward ? first - k : first + k; }
    // The entries of the n positions from k on, in scan order, into out.
    void ReadPositions(int64_t k, int64_t n, CLogLine* out) const {
        if (!backward) {
            lines->Read(Row(k), n, out);
            return;
        }
        lines->Read(Row(k + n - 1), n, out);
        for (int64_t i = 0, j = n - 1; i < j; ++i, --j) std::swap(out[i], out[j]);
    }
    // The rows a hit at row i appends.
    int64_t RowsOf(int64_t i) const {
        int64_t n = 1;
        if (before > 0) n += i < before ? i : before;
        if (after > 0) n += sourceCount - 1 - i < after ? sourceCount - 1 - i : after;
        return n;
    }
    void Stop(StopReason reason) {
        int expected = kRunning;
        stop.compare_exchange_strong(expected, reason);
    }
    bool Stopped() {
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed) != 0) Stop(kStopCancelled);
        return stop.load(std::memory_order_relaxed) != kRunning;
    }
};

// One thread's share: its file handle, window and matcher, and its hits.
class CScanWorker {
public:
    CScanWorker(CScanJob* job, CFile* file, const CSearchCondition& condition, unsigned codePage,
                const CScanOptions& options, uint32_t windowSize, CProgressListener* listener)
        : m_job(job),
          m_window(file, windowSize),
          m_matcher(condition, codePage, options.hideEscapes),
          m_listener(listener),
          m_windowSize(windowSize),
          m_filtered(options.prefilter),
          m_streamed(!job->backward && job->lines->Index() == nullptr),
          m_reader(*job->lines, job->first) {}
    int Prepare() {
        if (m_filtered) m_prefilter.Prepare(m_matcher.Condition(), m_matcher.CodePage(), m_matcher.HidesEscapes());
        m_filtered = m_prefilter.Active();
        return m_claimed.Reserve(kClaimRows) && m_matcher.Prepare();
    }
    void Run();
    // Tells the listener, if any, how far the scan is, when it passed another step.
    void Report();
    static void Entry(void* self) { static_cast<CScanWorker*>(self)->Run(); }
    const CHitList& Hits() const { return m_hits; }

private:
    int Claim(int64_t* begin, int64_t* end);
    int64_t ClaimForward(int64_t k);
    int64_t ClaimBlocks(int64_t k);
    int64_t ClaimBackward(int64_t k);
    const CLogLine* Entries(int64_t begin, int64_t k, int64_t n);
    bool Test(const CLogLine& line);
    void MarkCandidates(const CLogLine* entries, int n);
    bool SkipsBlocks(int64_t k, int64_t e);
    int Hit(int64_t k);

    CScanJob* m_job;
    CLineWindow m_window;
    CLineMatcher m_matcher;
    CProgressListener* m_listener;  // null on the helper
    uint32_t m_windowSize;
    // The rows of a block are first looked through for the condition's literals, a window's
    // span at a time, and only those holding one are tested (m_candidates).
    bool m_filtered;
    CLinePrefilter m_prefilter;
    uint8_t m_candidates[kBlockRows] = {};
    int64_t m_nextReport = 0;
    CHitList m_hits;
    CGrowBuffer<CLogLine> m_claimed;  // the entries of the chunk taken, in scan order
    // A forward scan of a list of its own entries claims whole blocks by their headers and
    // decodes the entries as it tests them, a batch at a time: no chunk-sized copy.
    bool m_streamed;
    CLogLineReader m_reader;
    CLogLine m_batch[kBlockRows];
};

// Takes the next chunk of positions: about kChunkWork of work, never at or past a hit. Its
// entries go to m_claimed.
int CScanWorker::Claim(int64_t* begin, int64_t* end) {
    CScanJob& job = *m_job;
    int64_t k = job.next.load();
    for (;;) {
        if (k >= job.positions || (!job.extract && k >= job.best.load())) return 0;
        int64_t e = job.backward ? ClaimBackward(k) : m_streamed ? ClaimBlocks(k) : ClaimForward(k);
        if (job.next.compare_exchange_weak(k, e)) {
            *begin = k;
            *end = e;
            return 1;
        }
    }
}

// The entries from position k on into m_claimed, one at a time, up to a chunk's work: the
// end of the chunk.
int64_t CScanWorker::ClaimForward(int64_t k) {
    const CScanJob& job = *m_job;
    int64_t limit = job.positions - k < kClaimRows ? job.positions : k + kClaimRows;
    CLogLineReader reader(*job.lines, job.Row(k));
    CLogLine* out = m_claimed.Data();
    int64_t e = k;
    for (uint64_t work = 0; e < limit && work < job.chunkWork && reader.Next(out); ++e) work += Work(*out++);
    return e;
}

// The positions from k on up to a chunk's work, ending where a block of the list ends: the
// work read from the block headers (a first partial block counts its rows only).
int64_t CScanWorker::ClaimBlocks(int64_t k) {
    const CScanJob& job = *m_job;
    const CLogLineList& lines = *job.lines;
    int64_t row = job.Row(k);
    int64_t last = job.first + job.positions;
    int64_t e = lines.NextBlockStart(row);
    uint64_t work = static_cast<uint64_t>(e - row) * kRowWeight;
    while (e < last && e - row < kClaimRows && work < job.chunkWork) {
        int64_t next = lines.NextBlockStart(e);
        work += lines.EndBefore(next) - lines.EndBefore(e) + static_cast<uint64_t>(next - e) * kRowWeight;
        e = next;
    }
    return (e < last ? e : last) - job.first;
}

// The entries of the n positions from k on, of the chunk claimed from begin.
const CLogLine* CScanWorker::Entries(int64_t begin, int64_t k, int64_t n) {
    if (!m_streamed) return m_claimed.Data() + (k - begin);
    int64_t row = m_job->Row(k);
    if (m_reader.Index() != row) m_reader.Seek(row);
    m_reader.Next(n, m_batch);
    return m_batch;
}

// The same going back, a batch of rows at a time.
int64_t CScanWorker::ClaimBackward(int64_t k) {
    const CScanJob& job = *m_job;
    int64_t limit = job.positions - k < kClaimRows ? job.positions : k + kClaimRows;
    int64_t e = k;
    uint64_t work = 0;
    while (e < limit && work < job.chunkWork) {
        int64_t n = limit - e < kBlockRows ? limit - e : kBlockRows;
        job.ReadPositions(e, n, m_claimed.Data() + (e - k));
        for (int64_t end = e + n; e < end && work < job.chunkWork; ++e) work += Work(m_claimed.Data()[e - k]);
    }
    return e;
}

bool CScanWorker::Test(const CLogLine& line) {
    if (line.length <= 0) return false;
    uint32_t got = 0;
    const char* bytes = m_window.Get(line.offset, static_cast<uint32_t>(line.length), m_job->backward, &got);
    return bytes != nullptr && m_matcher.Matches(bytes, got, m_matcher.HidesEscapes() && m_window.NoEscapeByte());
}

// Sets m_candidates for the n entries of a block: 1 for the rows that may match.
void CScanWorker::MarkCandidates(const CLogLine* entries, int n) {
    for (int i = 0; i < n;) {
        uint64_t lo = 0;
        uint64_t hi = 0;
        int count = CLinePrefilter::Group(entries + i, n - i, m_job->backward, m_windowSize, &lo, &hi);
        if (count == 0) {
            m_candidates[i++] = 1;  // longer than the window: tested as it is read
            continue;
        }
        uint32_t got = 0;
        const char* bytes = hi > lo ? m_window.Get(lo, static_cast<uint32_t>(hi - lo), m_job->backward, &got) : nullptr;
        if (bytes != nullptr && got == hi - lo) {
            m_prefilter.Mark(entries + i, count, m_job->backward, bytes, lo, m_candidates + i);
        } else {
            std::memset(m_candidates + i, 1, static_cast<size_t>(count));
        }
        i += count;
    }
}

// A forward scan of the list's own entries: true when the rows of positions [k, e) begin
// and end at blocks of the list and the bytes they lie in (known from the block headers,
// without decoding an entry) hold none of the literals, so that none of them can match.
bool CScanWorker::SkipsBlocks(int64_t k, int64_t e) {
    const CLogLineList& lines = *m_job->lines;
    int64_t first = m_job->Row(k);
    int64_t end = m_job->Row(e);
    auto startsBlock = [&](int64_t row) { return row == 0 || lines.NextBlockStart(row - 1) == row; };
    if (!startsBlock(first) || !startsBlock(end)) return false;
    uint64_t lo = lines.EndBefore(first);
    uint64_t hi = lines.EndBefore(end);
    if (hi <= lo || hi - lo > m_windowSize) return false;
    uint32_t got = 0;
    const char* bytes = m_window.Get(lo, static_cast<uint32_t>(hi - lo), false, &got);
    return bytes != nullptr && got == hi - lo && m_prefilter.HoldsNone(bytes, got);
}

// Records a hit at position k; 0 when the scan must stop.
int CScanWorker::Hit(int64_t k) {
    CScanJob& job = *m_job;
    if (!job.extract) {
        int64_t current = job.best.load();
        while (k < current && !job.best.compare_exchange_weak(current, k)) {
        }
        return 1;
    }
    int64_t row = job.Row(k);
    int64_t rows = job.RowsOf(row);
    if (job.rows.fetch_add(rows) + rows > job.maxRows) {
        job.Stop(kStopTooLarge);
        return 0;
    }
    if (!m_hits.Add(row)) {
        job.Stop(kStopNoMemory);
        return 0;
    }
    return 1;
}

void CScanWorker::Report() {
    if (m_listener == nullptr || m_job->positions == 0) return;
    int64_t done = m_job->done.load();
    if (done < m_nextReport) return;
    m_listener->OnProgress(static_cast<uint64_t>(done), static_cast<uint64_t>(m_job->positions));
    m_nextReport = (done / kProgressRows + 1) * kProgressRows;
}

void CScanWorker::Run() {
    CScanJob& job = *m_job;
    int64_t begin = 0;
    int64_t end = 0;
    while (Claim(&begin, &end)) {
        for (int64_t k = begin; k < end;) {
            if (job.Stopped()) return;
            int64_t blockEnd = end - k > kBlockRows ? k + kBlockRows : end;
            int64_t from = k;
            if (m_filtered && m_streamed && !m_prefilter.Inverted() && SkipsBlocks(k, blockEnd)) {
                job.done.fetch_add(blockEnd - from);
                Report();
                k = blockEnd;
                continue;
            }
            const CLogLine* entries = Entries(begin, k, blockEnd - k);
            if (m_filtered) MarkCandidates(entries, static_cast<int>(blockEnd - k));
            for (; k < blockEnd; ++k) {
                if (!job.extract && k >= job.best.load(std::memory_order_relaxed)) break;
                const CLogLine& line = entries[k - from];
                bool sure = m_filtered && m_candidates[k - from] == 0;
                // Without the prefilter's literals a line matches only kNot texts alone.
                if (sure ? !m_prefilter.Inverted() || line.length <= 0 : !Test(line)) continue;
                if (!Hit(k) || !job.extract) break;
            }
            job.done.fetch_add(k - from);
            Report();
            if (k < blockEnd) break;  // a hit ends a search's chunk; a stop ends the scan
        }
    }
}

int64_t RowLimit(const CLogLineList& source, const CLogLineList& result, const CScanOptions& options) {
    int64_t limit = options.maxRows > 0 ? options.maxRows : kExtractRowLimit;
    if (options.maxRows <= 0 && limit < source.Count()) limit = source.Count();
    (void)result;
    return limit;
}

bool WantHelper(const CScanJob& job, const CScanOptions& options) {
    if (options.threads == 1) return false;
    if (options.threads == 0 && CHelperThread::ProcessorCount() < 2) return false;
    uint64_t work = 0;
    CLogLine line;
    if (!job.backward) {
        for (CLogLineReader reader(*job.lines, job.first); work <= options.twoCoreBytes && reader.Next(&line);) {
            work += Work(line);
        }
        return work > options.twoCoreBytes;
    }
    // Backward, from the first row down: a block of rows at a time.
    CLogLine block[kBlockRows];
    for (int64_t k = 0; k < job.positions && work <= options.twoCoreBytes; k += kBlockRows) {
        int64_t n = job.positions - k < kBlockRows ? job.positions - k : kBlockRows;
        job.ReadPositions(k, n, block);
        for (int64_t i = 0; i < n; ++i) work += Work(block[i]);
    }
    return work > options.twoCoreBytes;
}

// Appends the rows of an extraction's hits, merged into file order, to result; when
// cancelled on the way, or when result cannot grow (kStopNoMemory), result is cut back to
// what it was: an extraction never silently lacks rows.
void AppendHits(CScanJob* job, const CHitList& a, const CHitList* b, CLogLineList* result) {
    int64_t original = result->Count();
    int64_t i = 0;
    int64_t j = 0;
    int64_t na = a.Count();
    int64_t nb = b != nullptr ? b->Count() : 0;
    int64_t last = job->sourceCount - 1;
    CLogLineReader reader(*job->lines, 0);
    CLogLine line;
    // A result that refers to the rows of the source's index takes them without reading them.
    const CLogLineList* index = result->Index().get();
    const CLogLineList* source = job->lines;
    bool direct = index != nullptr && (index == source || source->Index().get() == index);
    for (;;) {
        if (job->Stopped()) {
            result->Truncate(original);
            return;
        }
        if (i == na && j == nb) return;
        int64_t row = j >= nb || (i < na && a.At(i) < b->At(j)) ? a.At(i++) : b->At(j++);
        int64_t lo = job->before > 0 && row > job->before ? row - job->before : job->before > 0 ? 0 : row;
        int64_t hi = job->after > 0 && last - row > job->after ? row + job->after : job->after > 0 ? last : row;
        if (!direct) reader.Seek(lo);
        for (int64_t r = lo; r <= hi; ++r) {
            bool ok = direct ? result->AppendReference(index == source ? r : source->ReferredRow(r)) != 0
                             : reader.Next(&line) && result->Append(line);
            if (!ok) {
                job->Stop(kStopNoMemory);
                result->Truncate(original);
                return;
            }
        }
    }
}

// Runs the job on the calling thread and, when it is worth it and can be had, one helper;
// then appends an extraction's rows to result. 0 when the calling thread's own buffers
// cannot be prepared; otherwise 1, with job->stop telling whether the scan ran to its end.
int RunJob(CScanJob* job, CFile* file, const CSearchCondition& condition, unsigned codePage,
           const CScanOptions& options, CLogLineList* result) {
    if (options.chunkBytes > 0) job->chunkWork = options.chunkBytes;
    uint32_t windowSize = options.windowSize > 0 ? options.windowSize : kLineWindowSize;
    CScanWorker own(job, file, condition, codePage, options, windowSize, options.listener);
    if (!own.Prepare()) return 0;
    own.Report();
    std::unique_ptr<CFile> other = WantHelper(*job, options) ? OpenAnotherHandle(file) : nullptr;
    std::unique_ptr<CScanWorker> helper;
    bool started = false;
    {
        CHelperThread thread;
        if (other != nullptr) {
            helper.reset(new (std::nothrow)
                             CScanWorker(job, other.get(), condition, codePage, options, windowSize, nullptr));
            // Without a helper the calling thread simply claims every chunk itself.
            started = helper != nullptr && helper->Prepare() && thread.Start(CScanWorker::Entry, helper.get());
        }
        own.Run();
    }  // joins the helper
    // A cancel that came while the threads finished still counts: the caller asked for nothing.
    if (job->extract && !job->Stopped()) {
        AppendHits(job, own.Hits(), started ? &helper->Hits() : nullptr, result);
        result->ShrinkToFit();
    }
    return 1;
}

int64_t Search(CFile* file, const CLogLineList& lines, int64_t first, int64_t positions, bool backward,
               const CSearchCondition& condition, unsigned codePage, const CScanOptions& options) {
    if (condition.Count() == 0 || positions <= 0) return -1;
    CScanJob job;
    job.lines = &lines;
    job.first = first;
    job.positions = positions;
    job.backward = backward;
    job.cancel = options.cancel;
    job.best.store(positions);
    if (!RunJob(&job, file, condition, codePage, options, nullptr)) return -1;
    if (job.Stopped()) return kScanCancelled;
    int64_t best = job.best.load();
    return best < positions ? job.Row(best) : -1;
}

CScanOptions Simple(CProgressListener* listener, const std::atomic<int>* cancel) {
    CScanOptions options;
    options.listener = listener;
    options.cancel = cancel;
    return options;
}

}  // namespace

int64_t SearchForward(CFile* file, const CLogLineList& lines, int64_t start, const CSearchCondition& condition,
                      unsigned codePage, const CScanOptions& options) {
    int64_t first = start < 0 ? 0 : start;
    return Search(file, lines, first, lines.Count() - first, false, condition, codePage, options);
}

int64_t SearchForward(CFile* file, const CLogLineList& lines, int64_t start, const CSearchCondition& condition,
                      unsigned codePage, CProgressListener* listener, const std::atomic<int>* cancel) {
    return SearchForward(file, lines, start, condition, codePage, Simple(listener, cancel));
}

int64_t SearchBackward(CFile* file, const CLogLineList& lines, int64_t start, const CSearchCondition& condition,
                       unsigned codePage, const CScanOptions& options) {
    if (start < 0) return -1;
    int64_t first = start < lines.Count() - 1 ? start : lines.Count() - 1;
    return Search(file, lines, first, first + 1, true, condition, codePage, options);
}

int64_t SearchBackward(CFile* file, const CLogLineList& lines, int64_t start, const CSearchCondition& condition,
                       unsigned codePage, CProgressListener* listener, const std::atomic<int>* cancel) {
    return SearchBackward(file, lines, start, condition, codePage, Simple(listener, cancel));
}

int64_t SearchRange(CFile* file, const CLogLineList& lines, int64_t first, int64_t end, CSearchDirection direction,
                    const CSearchCondition& condition, unsigned codePage, const CScanOptions& options) {
    if (first < 0) first = 0;
    if (end > lines.Count()) end = lines.Count();
    if (first >= end) return -1;
    bool backward = direction == CSearchDirection::kPrevious;
    return Search(file, lines, backward ? end - 1 : first, end - first, backward, condition, codePage, options);
}

int ExtractLines(CFile* file, const CLogLineList& source, const CSearchCondition& condition, unsigned codePage,
                 int32_t before, int32_t after, CLogLineList* result, const CScanOptions& options) {
    CScanJob job;
    job.lines = &source;
    job.positions = source.Count();
    job.extract = true;
    job.before = before;
    job.after = after;
    job.sourceCount = source.Count();
    job.maxRows = RowLimit(source, *result, options);
    job.cancel = options.cancel;
    if (condition.Count() == 0) return 1;
    if (!RunJob(&job, file, condition, codePage, options, result)) return 0;
    switch (job.stop.load()) {
        case kStopCancelled:
            return kScanCancelled;
        case kStopTooLarge:
            return kExtractTooLarge;
        case kStopNoMemory:
            return 0;
        default:
            return 1;
    }
}

int ExtractLines(CFile* file, const CLogLineList& source, const CSearchCondition& condition, unsigned codePage,
                 int32_t before, int32_t after, CLogLineList* result, CProgressListener* listener,
                 const std::atomic<int>* cancel) {
    return ExtractLines(file, source, condition, codePage, before, after, result, Simple(listener, cancel));
}

int CopyLineList(const CLogLineList& from, CLogLineList* to) {
    CLogLineReader reader(from, 0);
    CLogLine line;
    while (reader.Next(&line)) {
        if (!to->Append(line)) return 0;
    }
    return 1;
}
