// The loader. Small files are read in one pass that appends to the index. Larger files are
// read twice: a cheap first pass counts the lines of each chunk (about 40 MiB), so that an
// index the system cannot hold is refused before it is built and each chunk knows the index
// of its first line; the second pass indexes the chunks on every processor, each into a run
// of its own whose blocks line up with the index's, and the runs join the index in file
// order without being coded again. Lines at the start of a chunk that carry an earlier
// chunk's time stamp get it when the runs join. Both passes give exactly what a single sequential
// pass gives; if the file changes between them, or a read fails, the load is redone in one pass.
// A file whose index fits the memory even were every line one byte long is not counted: its
// chunks are indexed in one pass, each keeping its lines uncoded until the chunks before it are
// done and so its first line's index known (the next chunk learns it as each one ends);
// a chunk that ends first is coded after the pass, on every processor.
#include "loader/log_loader.h"

#include <cstdlib>
#include <memory>
#include <new>

#include "document/encoding.h"
#include "document/helper_thread.h"
#include "document/system_memory.h"
#include "stamps/time_stamp.h"
#include "foundation/buffer.h"
#include "loader/error_scanner.h"

namespace {

constexpr int kMaxWorkers = 4;
constexpr uint32_t kBlocksPerChunk = 4;
// A chunk of the one-pass load keeps at most this many lines uncoded; beyond, the load is
// counted first after all (a log of very short lines, or a worker far ahead of the others).
constexpr int64_t kMaxUncoded = 1 << 18;

bool Cancelled(const CLoadRequest& r) { return r.cancel != nullptr && r.cancel->load(std::memory_order_relaxed) != 0; }

enum ChunkState { kPending, kComplete, kStopped, kFailed };

// A line of a one-pass chunk whose first line's index is not known yet.
struct CUncodedLine {
    CTimeStamp stamp;
    uint64_t offset;
    int32_t length;
    bool error;
    bool firstOwnStamp;  // the chunk's first line with a stamp of its own
};

// The lines that begin in [begin, end).
struct CChunk {
    uint64_t begin = 0;
    uint64_t end = 0;
    int64_t base = 0;   // index of its first line
    int64_t count = 0;  // lines the first pass found
    int64_t written = 0;
    int64_t lead = 0;  // lines before its first own time stamp
    bool stamped = false;
    int64_t leadErrors = 0;  // error lines before its first own time stamp
    CTimeStamp last;
    CStampCount stamps;
    CLogLineList lines;   // its run of the index
    CLogLineList errors;  // and of the error lines
    ChunkState state = kPending;
    // One pass: the index of its first line and its line count, once known (-1 before);
    // while the former is not, its lines wait in uncoded.
    std::atomic<int64_t> known{-1};
    std::atomic<int64_t> total{-1};
    bool coding = true;
    CGrowBuffer<CUncodedLine> uncoded;
};

// How much of the log is read when its lines reach end: end of the size, or for a compressed
// log whose size is not known yet, the compressed bytes its first reading went through.
void ReadShare(CFile* file, uint64_t end, uint64_t* done, uint64_t* whole) {
    if (file->SizeKnown()) {
        *done = end;
        *whole = file->Size();
        return;
    }
    *done = file->PackedDone();
    *whole = file->PackedSize();
    if (*done == 0) *done = 1;
}

// Reports the sequential load's blocks as they are: start offset and file size (a compressed
// log's compressed bytes, never going back).
class CBlockProgress : public CBlockListener {
public:
    CBlockProgress(const CLoadRequest& r, CFile* file) : m_request(r), m_file(file) {}
    int OnBlock(uint64_t blockStart) override {
        if (Cancelled(m_request)) return 0;
        if (m_request.listener == nullptr) return 1;
        uint64_t done = blockStart;
        uint64_t whole = m_file->Size();
        if (m_file->IsPacked() && m_file->PackedFormat() != CPackedFormat::kZipStored) {
            done = m_file->PackedDone();
            whole = m_file->PackedSize();
        }
        if (done < m_reported) done = m_reported;
        m_reported = done;
        m_request.listener->OnProgress(done, whole);
        return 1;
    }

private:
    const CLoadRequest& m_request;
    CFile* m_file;
    uint64_t m_reported = 0;
};

// A UTF-16 line's time stamp: its first units narrowed to bytes (other characters become
// DEL, which no time stamp holds) go to the byte recogniser.
int ParseWideTimeStamp(const CLineView& line, bool bigEndian, const CStampRules* rules, CTimeStamp* stamp,
                       StampForm* form, CStampHint* hint) {
    constexpr int kUnits = kStampSearchBytes + 64;  // a stamp may start at the last searched unit
    constexpr int kLineStartUnits = 128;            // far more than the longest line-start stamp
    // Only the further forms look beyond the line start: the plain load narrows no more.
    int limit = rules != nullptr && !rules->IsBasic() ? kUnits : kLineStartUnits;
    char narrow[kUnits];
    int n = 0;
    const auto* b = reinterpret_cast<const unsigned char*>(line.bytes);
    for (uint32_t i = 0; i + 1 < line.length && n < limit; i += 2) {
        unsigned u = bigEndian ? (b[i] << 8 | b[i + 1]) : (b[i] | b[i + 1] << 8);
        narrow[n++] = static_cast<char>(u < 0x80 ? u : 0x7F);
    }
    return ReadLineStamp(rules, narrow, n, stamp, form, hint);
}

// Counts a line's own stamp for the load's report.
void CountStamp(CStampCount* count, StampForm form) {
    if (count->stamped++ == 0) count->firstForm = form;
}

// Refuses the index for memory, with the figures the application shows.
void Refuse(const CLoadRequest& r, int64_t lines, uint64_t needed, uint64_t available) {
    r.result->status = CLoadStatus::kTooLarge;
    r.result->lines = lines;
    r.result->needed = needed;
    r.result->available = available;
}

// The memory an index may take: what the request says, or what the system can give now.
uint64_t AvailableFor(const CLoadRequest& r) {
    return r.availableBytes > 0 ? r.availableBytes : AvailableMemoryBytes();
}

// A sequential load's lists as they grow. At each block the index of the whole file, at the
// rate its codes took so far, is checked against the memory it may take. When it will not
// fit, or a list cannot grow, the lists are freed and the lines only counted on, so that the
// refusal tells the lines and what they need.
class CSequentialIndex {
public:
    CSequentialIndex(const CLoadRequest& r, CFile* file, CLogLineList* lines, CLogLineList* errors)
        : m_request(r), m_file(file), m_lines(lines), m_errors(errors), m_nextCheck(r.blockSize) {}
    bool Indexing() const { return m_indexed < 0; }
    // Appends the next line (and its error line), while indexing.
    void Append(const CTimeStamp& stamp, const CLineView& line, bool error);
    // Counts the next line, appended or not.
    void Count(const CLineView& line) {
        ++m_number;
        m_reached = line.offset + line.length;
    }
    // Refuses the load when indexing stopped, with the lines counted: all of them, or as
    // many as were read and the rest in proportion. Whether it refused.
    bool Refused(bool readAll);

private:
    void Stop() {
        m_indexed = m_lines->Count();
        m_held = m_lines->CodeBytes() + m_errors->CodeBytes();
        m_lines->Free();
        m_errors->Free();
    }

    const CLoadRequest& m_request;
    CFile* m_file;
    CLogLineList* m_lines;
    CLogLineList* m_errors;
    int64_t m_number = 0;
    uint64_t m_reached = 0;  // where the lines counted end
    uint64_t m_nextCheck;
    int64_t m_indexed = -1;  // when it stopped: the lines indexed and their codes' bytes
    uint64_t m_held = 0;
    uint64_t m_needed = 0;     // what the check that stopped it found needed (0: an append failed)
    uint64_t m_available = 0;  // the memory the index may take, asked at the first check
};

void CSequentialIndex::Append(const CTimeStamp& stamp, const CLineView& line, bool error) {
    auto length = static_cast<int32_t>(line.length);
    if (!m_lines->Append(m_number, stamp, line.offset, length) ||
        (error && !m_errors->Append(m_number, stamp, line.offset, length))) {
        Stop();
        return;
    }
    if (line.offset < m_nextCheck) return;
    m_nextCheck = line.offset + m_request.blockSize;
    uint64_t done = 0;
    uint64_t whole = 0;
    ReadShare(m_file, line.offset + line.length, &done, &whole);
    auto expected = static_cast<int64_t>(static_cast<double>(m_number + 1) * static_cast<double>(whole) /
                                         static_cast<double>(done));
    uint64_t needed = EstimatedIndexBytes(expected, m_lines->CodeBytes() + m_errors->CodeBytes(), m_lines->Count());
    if (m_available == 0) m_available = AvailableFor(m_request);
    if (needed <= m_available) return;
    Stop();
    m_needed = needed;
}

bool CSequentialIndex::Refused(bool readAll) {
    if (Indexing()) return false;
    int64_t lines = m_number;
    if (!readAll && m_reached > 0) {
        uint64_t done = 0;
        uint64_t whole = 0;
        ReadShare(m_file, m_reached, &done, &whole);
        lines =
            static_cast<int64_t>(static_cast<double>(lines) * static_cast<double>(whole) / static_cast<double>(done));
    }
    uint64_t needed = EstimatedIndexBytes(lines, m_held, m_indexed);
    if (m_needed == 0) {
        Refuse(m_request, lines, needed, m_held);
    } else {
        Refuse(m_request, lines, needed > m_needed ? needed : m_needed, m_available);
    }
    return true;
}

int LoadSequential(CFile* file, const CLoadRequest& r, uint64_t origin, CErrorScanner* scanner, CLogLineList* lines,
                   CLogLineList* errors) {
    CBlockProgress progress(r, file);
    CLineSource source(file, file->Size(), r.blockSize, r.maxLineLength, &progress);
    source.SetLayout(IsUtf16CodePage(r.codePage) ? 2 : 1, r.codePage == kCodePageUtf16Be, origin);
    if (!source.Init()) return 0;
    source.Seek(0);
    CTimeStamp last;
    CStampCount stamps;
    CStampHint hint;
    CSequentialIndex index(r, file, lines, errors);
    CLineView line;
    while (source.Next(~0ull, &line)) {
        if (index.Indexing()) {
            CTimeStamp own;
            StampForm form;
            if (ParseLineTimeStamp(line, r, &own, &form, &hint)) {
                last = own;
                CountStamp(&stamps, form);
            }
            index.Append(last, line, scanner->HasError(line.bytes, line.length));
        }
        index.Count(line);
    }
    if (index.Refused(source.GetStatus() == CLineSource::kEnd)) return 1;
    if (r.stampCount != nullptr) *r.stampCount = stamps;
    return 1;
}

struct CLoadJob;

// One thread's share of a chunked load: its own file handle, line source and scanner.
class CWorker : public CBlockListener {
public:
    CWorker(CLoadJob* job, CFile* file, bool reports);
    int Init();
    int OnBlock(uint64_t blockStart) override;
    void CountChunks();
    void IndexChunks();
    void CodeWaitingChunks();
    static void Run(void* self);

    CFile* m_file;
    CErrorScanner m_scanner;

private:
    int NextChunk(bool* first);
    void IndexChunk(CChunk& chunk);

    CLoadJob* m_job;
    bool m_reports;
    CLineSource m_source;
    CChunk* m_chunk = nullptr;
    uint64_t m_reported = 0;
};

struct CLoadJob {
    const CLoadRequest* request = nullptr;
    uint64_t size = 0;
    CChunk* chunks = nullptr;
    int chunkCount = 0;
    bool counting = true;
    bool codingWaiting = false;              // one pass, after it: the chunks that ended uncoded are coded
    bool single = false;                     // one worker and one chunk: the whole file
    bool onePass = false;                    // no count first: the chunks learn their first line's index as they go
    std::atomic<uint64_t> measuredBytes{0};  // one pass: the bytes of the chunks measured
    std::atomic<int> next{0};
    std::atomic<uint64_t> done{0};
    std::atomic<int> failed{0};
    std::atomic<int> cut{0};  // a line was cut into pieces: later pieces may lie in later chunks
    uint64_t origin = 0;      // where the first line may begin (after a byte-order mark)
    // The memory check as the index grows: the lines counted, the memory it may take, the
    // chunks indexed so far (lines and the bytes of their codes), and why it stopped.
    int64_t total = 0;
    uint64_t available = 0;
    std::atomic<int64_t> codedLines{0};
    std::atomic<uint64_t> codeBytes{0};
    std::atomic<uint64_t> overNeeded{0};  // an index at the measured rate needs this, too much
    std::atomic<int> noRoom{0};           // a run could not grow
};

// Counts a finished chunk into the measured rate and checks the whole index against it.
void MeasureChunk(CLoadJob* job, const CChunk& chunk) {
    if (!chunk.coding) return;  // measured when its lines are coded, as they join
    uint64_t bytes = chunk.lines.CodeBytes() + chunk.errors.CodeBytes();
    int64_t lines = job->codedLines.fetch_add(chunk.written) + chunk.written;
    int64_t total = job->total;
    if (job->onePass) {
        // The lines of the whole file at the rate of those indexed.
        uint64_t span = job->measuredBytes.fetch_add(chunk.end - chunk.begin) + (chunk.end - chunk.begin);
        total = static_cast<int64_t>(static_cast<double>(lines) * static_cast<double>(job->size) /
                                     static_cast<double>(span));
    }
    uint64_t coded = job->codeBytes.fetch_add(bytes) + bytes;
    // Each chunk's first line takes a long code, so the rate of a few lines says little, and
    // which chunk is coded first depends on the threads' timing: judge on a block of lines
    // at least, or on them all.
    if (lines < kLineBlockEntries && lines < total) return;
    uint64_t needed = EstimatedIndexBytes(total, coded, lines);
    if (needed <= job->available) return;
    job->overNeeded.store(needed);
    job->failed.store(1);
}

CWorker::CWorker(CLoadJob* job, CFile* file, bool reports)
    : m_file(file),
      m_scanner(job->request->keywords, job->request->codePage),
      m_job(job),
      m_reports(reports),
      m_source(file, job->size, job->request->blockSize, job->request->maxLineLength, this) {}

int CWorker::Init() {
    m_source.SetLayout(1, false, m_job->origin);
    return m_source.Init() && m_scanner.Prepare();
}

int CWorker::OnBlock(uint64_t blockStart) {
    if (Cancelled(*m_job->request) || m_job->failed.load(std::memory_order_relaxed) != 0) return 0;
    // One pass: a cut line sends the file to the sequential load, whatever the rest holds.
    if (m_job->onePass && m_job->cut.load(std::memory_order_relaxed) != 0) return 0;
    uint64_t pos = blockStart < m_chunk->begin ? m_chunk->begin : blockStart > m_chunk->end ? m_chunk->end : blockStart;
    if (pos > m_reported) {
        m_job->done.fetch_add(pos - m_reported);
        m_reported = pos;
    }
    if (m_reports && m_job->request->listener != nullptr) {
        // The count is cheap beside the indexing: it is shown as the first quarter.
        uint64_t done = m_job->done.load();
        uint64_t position = m_job->onePass ? done : m_job->counting ? done / 4 : m_job->size / 4 + (done - done / 4);
        m_job->request->listener->OnProgress(position, m_job->size);
    }
    return 1;
}

// The reporting worker (this thread) always does chunk 0, so that some block is reported
// even when a helper is quick to take every other chunk; the others come from the queue.
int CWorker::NextChunk(bool* first) {
    if (*first) {
        *first = false;
        if (m_reports) return 0;
    }
    return m_job->next.fetch_add(1);
}

void CWorker::CountChunks() {
    bool first = true;
    for (int c; (c = NextChunk(&first)) < m_job->chunkCount;) {
        CChunk& chunk = m_job->chunks[c];
        m_chunk = &chunk;
        m_reported = chunk.begin;
        uint64_t count = 0;
        if (!m_source.CountStarts(chunk.begin, chunk.end, &count)) {
            chunk.state = m_source.GetStatus() == CLineSource::kStopped ? kStopped : kFailed;
            if (chunk.state == kFailed) m_job->failed.store(1);
            return;
        }
        m_job->done.fetch_add(chunk.end - m_reported);
        chunk.count = static_cast<int64_t>(count);
        chunk.state = kComplete;
    }
}

// One pass: the chunks after this one whose first line's index is now known learn it. Any
// worker may call it; the values stored are the same whoever stores them.
void PassOnBase(CLoadJob* job, int c) {
    for (; c + 1 < job->chunkCount; ++c) {
        int64_t base = job->chunks[c].known.load();
        int64_t total = job->chunks[c].total.load();
        if (base < 0 || total < 0) return;
        job->chunks[c + 1].known.store(base + total);
    }
}

// Codes a line into the chunk's runs (index: its index in the file); 1, or 0 when they could not grow.
int CodeLine(CChunk& chunk, int64_t index, const CTimeStamp& stamp, uint64_t offset, int32_t length, bool error,
             bool firstOwnStamp) {
    if (firstOwnStamp) {
        chunk.lines.CodeNextStampWhole();
        chunk.errors.CodeNextStampWhole();
    }
    return chunk.lines.Append(index, stamp, offset, length) &&
           (!error || chunk.errors.Append(index, stamp, offset, length));
}

// Once the chunk's first line's index is known, codes the lines that waited; 1, or 0 when
// the runs could not grow.
int StartCoding(CChunk& chunk, int64_t waiting) {
    chunk.base = chunk.known.load();
    chunk.lines.StartRun(chunk.base);
    chunk.errors.StartRun(0);
    chunk.coding = true;
    for (int64_t k = 0; k < waiting; ++k) {
        const CUncodedLine& u = chunk.uncoded.Data()[k];
        if (!CodeLine(chunk, chunk.base + k, u.stamp, u.offset, u.length, u.error, u.firstOwnStamp)) return 0;
    }
    chunk.uncoded.Free();
    return 1;
}

void CWorker::IndexChunk(CChunk& chunk) {
    m_chunk = &chunk;
    m_reported = chunk.begin;
    m_source.Seek(chunk.begin);
    chunk.coding = !m_job->onePass || chunk.known.load() >= 0;
    if (chunk.coding) {
        if (m_job->onePass) chunk.base = chunk.known.load();
        chunk.lines.StartRun(chunk.base);
        chunk.errors.StartRun(0);
    }
    CLineView line;
    CStampHint hint;
    int64_t k = 0;
    int64_t errorLines = 0;
    while (m_source.Next(chunk.end, &line)) {
        if (!m_job->onePass && k == chunk.count) {
            // More lines than counted: the file changed between the passes.
            chunk.written = k + 1;
            chunk.state = kComplete;
            return;
        }
        if (line.length >= m_job->request->maxLineLength) m_job->cut.store(1);
        CTimeStamp own;
        StampForm form;
        bool firstOwn = false;
        if (ReadLineStamp(m_job->request->stamps, line.bytes, static_cast<int>(line.length), &own, &form, &hint)) {
            if (!chunk.stamped) {
                chunk.lead = k;
                chunk.leadErrors = errorLines;
                firstOwn = true;
            }
            chunk.stamped = true;
            chunk.last = own;
            CountStamp(&chunk.stamps, form);
        }
        CTimeStamp stamp = chunk.stamped ? chunk.last : CTimeStamp();
        bool error = m_scanner.HasError(line.bytes, line.length);
        errorLines += error ? 1 : 0;
        auto length = static_cast<int32_t>(line.length);
        if (!chunk.coding && chunk.known.load(std::memory_order_relaxed) >= 0 && !StartCoding(chunk, k)) {
            chunk.written = k;
            chunk.state = kFailed;
            m_job->noRoom.store(1);
            m_job->failed.store(1);
            return;
        }
        if (!chunk.coding) {
            if (k >= kMaxUncoded || (static_cast<size_t>(k) >= chunk.uncoded.Capacity() &&
                                     !chunk.uncoded.Grow(static_cast<size_t>(k) + 1))) {
                chunk.state = kFailed;
                m_job->failed.store(1);
                return;
            }
            chunk.uncoded.Data()[k] = CUncodedLine{stamp, line.offset, length, error, firstOwn};
        } else if (!CodeLine(chunk, chunk.base + k, stamp, line.offset, length, error, firstOwn)) {
            chunk.written = k;
            chunk.state = kFailed;
            m_job->noRoom.store(1);
            m_job->failed.store(1);
            return;
        }
        ++k;
    }
    chunk.written = k;
    if (!chunk.stamped) {
        chunk.lead = k;
        chunk.leadErrors = errorLines;
    }
    CLineSource::Status status = m_source.GetStatus();
    if (status == CLineSource::kEnd) {
        chunk.state = kComplete;
        m_job->done.fetch_add(chunk.end - m_reported);
        MeasureChunk(m_job, chunk);
        if (m_job->onePass) {
            chunk.total.store(k);
            PassOnBase(m_job, static_cast<int>(&chunk - m_job->chunks));
        }
    } else if (status == CLineSource::kStopped) {
        chunk.state = kStopped;
    } else {
        chunk.state = kFailed;
        m_job->failed.store(1);
    }
}

void CWorker::IndexChunks() {
    bool first = true;
    for (int c; (c = NextChunk(&first)) < m_job->chunkCount;) {
        IndexChunk(m_job->chunks[c]);
        if (m_job->chunks[c].state != kComplete) return;
    }
}

// One pass: chunks that ended before their first line's index was known, coded now that
// it is, in parallel rather than as the runs join.
void CWorker::CodeWaitingChunks() {
    bool first = true;
    for (int c; (c = NextChunk(&first)) < m_job->chunkCount;) {
        CChunk& chunk = m_job->chunks[c];
        if (chunk.state != kComplete || chunk.coding || chunk.known.load() < 0) continue;
        if (!StartCoding(chunk, chunk.written)) {
            m_job->noRoom.store(1);
            m_job->failed.store(1);
            return;
        }
        MeasureChunk(m_job, chunk);
    }
}

void CWorker::Run(void* self) {
    auto* worker = static_cast<CWorker*>(self);
    if (worker->m_job->codingWaiting) {
        worker->CodeWaitingChunks();
    } else if (worker->m_job->counting) {
        worker->CountChunks();
    } else {
        worker->IndexChunks();
    }
}

// A helper thread's worker, made on that thread when it first runs: the helpers open their
// handles side by side, and one whose thread does not start costs nothing (the others take
// its chunks). One that cannot be made takes no chunk.
struct CHelper {
    CLoadJob* job = nullptr;
    CFile* file = nullptr;  // the load's file, which the helper opens again
    std::unique_ptr<CFile> handle;
    std::unique_ptr<CWorker> worker;
    bool tried = false;

    static void Run(void* self);
};

void CHelper::Run(void* self) {
    auto* helper = static_cast<CHelper*>(self);
    if (!helper->tried) {
        helper->tried = true;
        helper->handle = OpenAnotherHandle(helper->file);
        CFile* handle = helper->handle.get();
        if (handle != nullptr) helper->worker.reset(new (std::nothrow) CWorker(helper->job, handle, false));
        if (helper->worker != nullptr && !helper->worker->Init()) helper->worker.reset();
    }
    if (helper->worker != nullptr) CWorker::Run(helper->worker.get());
}

// The workers of a chunked load: the first reads through the load's file on this thread.
struct CCrew {
    CWorker* first = nullptr;
    CHelper helpers[kMaxWorkers - 1];
    int helperCount = 0;
};

// Runs one pass on every worker: the first on this thread, the others on helper threads.
void RunPass(CCrew* crew, CLoadJob* job, bool counting) {
    job->counting = counting;
    job->done.store(0);
    job->next.store(1);  // chunk 0 belongs to the first worker
    CHelperThread threads[kMaxWorkers - 1];
    for (int i = 0; i < crew->helperCount; ++i) threads[i].Start(CHelper::Run, &crew->helpers[i]);
    CWorker::Run(crew->first);
    for (int i = 0; i < crew->helperCount; ++i) threads[i].Join();
}

int WorkerCount(const CLoadRequest& r) {
    int n = r.threads > 0 ? r.threads : CHelperThread::ProcessorCount();
    return n < 1 ? 1 : n > kMaxWorkers ? kMaxWorkers : n;
}

// kChunkedRedo asks for the counted load when the one-pass one gave up, the sequential load otherwise;
// kChunkedSequential for the sequential load at once (an over-long line was cut).
enum ChunkedResult { kChunkedDone, kChunkedRedo, kChunkedSequential, kChunkedNoMemory, kChunkedTooLarge };

// The codes' bytes and the lines of the runs from chunk first on.
uint64_t RunBytes(const CLoadJob& job, int first, int64_t* lines) {
    uint64_t bytes = 0;
    for (int c = first; c < job.chunkCount; ++c) {
        bytes += job.chunks[c].lines.CodeBytes() + job.chunks[c].errors.CodeBytes();
        *lines += job.chunks[c].lines.Count();
    }
    return bytes;
}

// Refuses the index that could not grow, having taken held bytes of codes for lines of them.
ChunkedResult RefuseShort(const CLoadJob& job, uint64_t held, int64_t lines) {
    Refuse(*job.request, job.total, EstimatedIndexBytes(job.total, held, lines), held);
    return kChunkedTooLarge;
}

// The runs join the index in file order, up to the first chunk that did not finish.
ChunkedResult JoinChunks(CLoadJob* job, int included, CLogLineList* lines, CLogLineList* errors) {
    CTimeStamp carried;
    CStampCount stamps;
    for (int c = 0; c < included; ++c) {
        CChunk& chunk = job->chunks[c];
        if (!lines->JoinRun(&chunk.lines, chunk.lead, carried) ||
            !errors->JoinRun(&chunk.errors, chunk.leadErrors, carried)) {
            int64_t indexed = lines->Count();
            uint64_t held = lines->CodeBytes() + errors->CodeBytes() + RunBytes(*job, c, &indexed);
            return RefuseShort(*job, held, indexed);
        }
        if (chunk.stamped) carried = chunk.last;
        if (stamps.stamped == 0) stamps.firstForm = chunk.stamps.firstForm;
        stamps.stamped += chunk.stamps.stamped;
    }
    if (job->request->stampCount != nullptr) *job->request->stampCount = stamps;
    return kChunkedDone;
}

// The one-pass load: a chunk that failed or took too much memory sends the load to the
// counted one, which refuses with the exact figures; a cut line, which the counted load would
// meet as well, to the sequential one.
ChunkedResult IndexOnePass(CLoadJob* job, CCrew* crew, CLogLineList* lines, CLogLineList* errors) {
    job->chunks[0].known.store(0);
    RunPass(crew, job, false);
    if (job->cut.load() != 0) return kChunkedSequential;
    if (job->failed.load() != 0) return kChunkedRedo;
    bool waiting = false;
    for (int c = 0; c < job->chunkCount; ++c) waiting = waiting || !job->chunks[c].coding;
    if (waiting) {
        job->codingWaiting = true;
        RunPass(crew, job, false);
        if (job->failed.load() != 0) return kChunkedRedo;
    }
    int included = 0;
    while (included < job->chunkCount && job->chunks[included].state == kComplete) ++included;
    // A chunk stopped before it learned its first line's index has nothing coded to give.
    if (included < job->chunkCount && job->chunks[included].state == kStopped && job->chunks[included].coding) {
        ++included;
    }
    ChunkedResult result = JoinChunks(job, included, lines, errors);
    if (result != kChunkedTooLarge) return result;
    *job->request->result = CLoadResult();  // the runs could not join: counted, it refuses with the lines
    return kChunkedRedo;
}

ChunkedResult IndexChunked(CLoadJob* job, CCrew* crew, CLogLineList* lines, CLogLineList* errors) {
    if (job->onePass) return IndexOnePass(job, crew, lines, errors);
    RunPass(crew, job, true);
    if (Cancelled(*job->request)) return kChunkedDone;  // nothing indexed yet
    int64_t total = 0;
    for (int c = 0; c < job->chunkCount; ++c) {
        if (job->chunks[c].state != kComplete) return kChunkedRedo;
        job->chunks[c].base = total;
        total += job->chunks[c].count;
        job->chunks[c].state = kPending;
    }
    // What the system cannot give is refused here (a second, sequential pass would only
    // grow into the same wall), at first as for a typical log and then, as chunks are
    // indexed, at the rate their codes take.
    job->total = total;
    job->available = AvailableFor(*job->request);
    uint64_t needed = EstimatedIndexBytes(total);
    if (needed > job->available) {
        Refuse(*job->request, total, needed, job->available);
        return kChunkedTooLarge;
    }
    RunPass(crew, job, false);
    if (job->overNeeded.load() != 0) {
        Refuse(*job->request, total, job->overNeeded.load(), job->available);
        return kChunkedTooLarge;
    }
    if (job->noRoom.load() != 0) {
        int64_t indexed = 0;
        uint64_t held = RunBytes(*job, 0, &indexed);
        return RefuseShort(*job, held, indexed);
    }

    // A chunk that begins inside a cut line skips to its end and would lose the pieces
    // there, so such a file is indexed in one pass.
    if (job->failed.load() != 0 || job->cut.load() != 0) return kChunkedRedo;
    // The lines indexed: whole chunks in file order, up to the first that did not finish.
    int included = 0;
    for (; included < job->chunkCount; ++included) {
        CChunk& chunk = job->chunks[included];
        if (chunk.state == kFailed) return kChunkedRedo;
        if (chunk.state == kComplete && chunk.written != chunk.count) return kChunkedRedo;
        if (chunk.state == kPending) break;
        if (chunk.state != kComplete) {
            ++included;
            break;
        }
    }
    return JoinChunks(job, included, lines, errors);
}

// The chunked load with its workers; kChunkedRedo asks for the sequential load instead.
ChunkedResult LoadChunked(CFile* file, const CLoadRequest& r, uint64_t origin, bool onePass, CLogLineList* lines,
                          CLogLineList* errors) {
    CLoadJob job;
    job.request = &r;
    job.origin = origin;
    job.size = file->Size();
    job.onePass = onePass;
    if (onePass) job.available = AvailableFor(r);
    int wanted = WorkerCount(r);
    job.single = wanted == 1;
    // One pass: a chunk of a block, so that the lines waiting for their index stay few.
    uint64_t chunkSize = job.single ? job.size : static_cast<uint64_t>(r.blockSize) * (onePass ? 1 : kBlocksPerChunk);
    uint64_t chunkCount = (job.size + chunkSize - 1) / chunkSize;
    if (chunkCount > 0x7fffffff) return kChunkedRedo;
    job.chunks = new (std::nothrow) CChunk[chunkCount];
    if (job.chunks == nullptr) return kChunkedRedo;
    job.chunkCount = static_cast<int>(chunkCount);
    for (int c = 0; c < job.chunkCount; ++c) {
        job.chunks[c].begin = static_cast<uint64_t>(c) * chunkSize;
        uint64_t end = job.chunks[c].begin + chunkSize;
        job.chunks[c].end = end < job.size ? end : job.size;
    }
    ChunkedResult result = kChunkedNoMemory;
    std::unique_ptr<CWorker> first(new (std::nothrow) CWorker(&job, file, true));
    if (first != nullptr && first->Init()) {
        CCrew crew;
        crew.first = first.get();
        crew.helperCount = wanted - 1;
        for (int i = 0; i < crew.helperCount; ++i) {
            crew.helpers[i].job = &job;
            crew.helpers[i].file = file;
        }
        result = IndexChunked(&job, &crew, lines, errors);
    }
    delete[] job.chunks;
    return result;
}

std::unique_ptr<CLogLineList> Load(CFile* file, const CLoadRequest& given, CLogLineList* errorLines) {
    CLoadRequest request = given;
    if (request.blockSize < 2) request.blockSize = 2;
    errorLines->Free();
    std::unique_ptr<CLogLineList> lines(new (std::nothrow) CLogLineList());
    if (lines == nullptr) return nullptr;
    if (file->Size() == 0) return lines;
    // A byte-order mark of the code page is no part of the first line.
    unsigned char head[3] = {};
    uint32_t got = file->Read(head, 3, 0);
    uint64_t origin = ByteOrderMarkLength(head, got, request.codePage);
    // Files of more than a couple of blocks are counted first and indexed on every processor
    // (the count reads single-byte units: UTF-16 is read in one pass).
    uint64_t countAbove = request.countAbove > 0 ? request.countAbove : 2ull * request.blockSize;
    // A compressed log is read once, in order: it can be read elsewhere only from its access
    // points, which that reading records.
    if (file->Size() > countAbove && !IsUtf16CodePage(request.codePage) && !file->IsPacked()) {
        // Nothing to refuse before indexing when even an index of one-byte lines would fit.
        bool onePass = EstimatedIndexBytes(static_cast<int64_t>(file->Size() / 2 + 1)) <= AvailableFor(request);
        ChunkedResult result =
            onePass ? LoadChunked(file, request, origin, true, lines.get(), errorLines) : kChunkedRedo;
        if (result == kChunkedRedo && !Cancelled(request)) {
            lines->Free();
            errorLines->Free();
            result = LoadChunked(file, request, origin, false, lines.get(), errorLines);
        }
        if (result == kChunkedDone) {
            lines->ShrinkToFit();
            errorLines->ShrinkToFit();
            return lines;
        }
        if (result == kChunkedNoMemory) return nullptr;
        if (result == kChunkedTooLarge) {
            errorLines->Free();
            return nullptr;
        }
        lines->Free();
        errorLines->Free();
        if (Cancelled(request)) return lines;
    }
    CErrorScanner scanner(request.keywords, request.codePage);
    if (!scanner.Prepare() || !LoadSequential(file, request, origin, &scanner, lines.get(), errorLines)) return nullptr;
    if (request.result->status == CLoadStatus::kTooLarge) return nullptr;
    lines->ShrinkToFit();
    errorLines->ShrinkToFit();
    return lines;
}

}  // namespace

std::unique_ptr<CLogLineList> LoadLogLines(CFile* file, const CLoadRequest& given, CLogLineList* errorLines) {
    CLoadResult own;
    CLoadRequest request = given;
    request.result = &own;
    std::unique_ptr<CLogLineList> lines = Load(file, request, errorLines);
    if (lines == nullptr && own.status == CLoadStatus::kDone) own.status = CLoadStatus::kNoMemory;
    if (lines != nullptr && own.status == CLoadStatus::kDone && file->UnpackError() != CUnpackError::kNone) {
        own.status = CLoadStatus::kDamaged;
        own.damage = file->UnpackError();
    }
    if (given.result != nullptr) *given.result = own;
    return lines;
}

int ParseLineTimeStamp(const CLineView& line, const CLoadRequest& request, CTimeStamp* stamp, StampForm* form,
                       CStampHint* hint) {
    if (IsUtf16CodePage(request.codePage)) {
        return ParseWideTimeStamp(line, request.codePage == kCodePageUtf16Be, request.stamps, stamp, form, hint);
    }
    return ReadLineStamp(request.stamps, line.bytes, static_cast<int>(line.length), stamp, form, hint);
}

uint64_t FirstLineOrigin(CFile* file, unsigned codePage) {
    unsigned char head[3] = {};
    uint32_t got = file->Read(head, 3, 0);
    return ByteOrderMarkLength(head, got, codePage);
}
