// The packed line list. An entry's codes: a tag byte, then its length's low bytes, its gap
// and line-number step when it has the escape bit, and its stamp's step.
//   tag bits 0-1  length: 0 in the tag's high bits, 1: one more byte, 2: two, 3: four bytes whole
//   tag bits 2-3  stamp: 0 as before, 1: one byte (1-256 ms later the same day), 2: two bytes
//                 (257-65,792 ms later the same day), 3: the whole stamp in 8 bytes
//   tag bit 4     escape: the gap after the entry before (zigzag varint) and the line-number
//                 step minus one (zigzag varint) follow; without it both are the usual 0 and 1
//   tag bits 5-7  the length's high bits (with kinds 0-2)
// The codes of a block lie in one segment, so that decoding never crosses one.
#include "document/log_line.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace {

constexpr uint32_t kSegmentBytes = 1u << 20;
constexpr uint32_t kMaxEntryBytes = 1 + 4 + 8 + 10 + 10;
constexpr uint32_t kMaxBlockBytes = kMaxEntryBytes * kLineBlockEntries;
constexpr uint8_t kEscape = 0x10;

// A list's first segments are smaller, doubling up to kSegmentBytes: most lists (error lines,
// extractions, the runs of a small file's chunks) hold few entries.
static_assert((kSegmentBytes >> 7) >= kMaxBlockBytes, "a block fits in a new segment");
uint32_t SegmentBytes(uint32_t segment) { return segment < 7 ? (kSegmentBytes >> 7) << segment : kSegmentBytes; }
// The first segment starts smaller still and doubles as its first block fills.
constexpr uint32_t kFirstSegmentBytes = 256;
static_assert(kFirstSegmentBytes >= kMaxEntryBytes, "an entry fits in the first segment");

uint64_t Zigzag(int64_t v) { return (static_cast<uint64_t>(v) << 1) ^ static_cast<uint64_t>(v >> 63); }
int64_t Unzigzag(uint64_t v) { return static_cast<int64_t>(v >> 1) ^ -static_cast<int64_t>(v & 1); }

uint8_t* PutVarint(uint8_t* p, uint64_t v) {
    while (v >= 0x80) {
        *p++ = static_cast<uint8_t>(v | 0x80);
        v >>= 7;
    }
    *p++ = static_cast<uint8_t>(v);
    return p;
}

const uint8_t* GetVarint(const uint8_t* p, uint64_t* v) {
    uint64_t value = 0;
    for (int shift = 0;; shift += 7) {
        uint8_t b = *p++;
        value |= static_cast<uint64_t>(b & 0x7F) << shift;
        if (b < 0x80) break;
    }
    *v = value;
    return p;
}

bool SameDay(const CTimeStamp& a, const CTimeStamp& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day;
}

// Codes the length into the tag and after it.
uint8_t* PutLength(uint8_t* tag, uint32_t length) {
    uint8_t* p = tag + 1;
    if (length <= 7) {
        *tag = static_cast<uint8_t>(length << 5);
    } else if (length <= 0x7FF) {
        *tag = static_cast<uint8_t>((length >> 8) << 5 | 1);
        *p++ = static_cast<uint8_t>(length);
    } else if (length <= 0x7FFFF) {
        *tag = static_cast<uint8_t>((length >> 16) << 5 | 2);
        *p++ = static_cast<uint8_t>(length);
        *p++ = static_cast<uint8_t>(length >> 8);
    } else {
        *tag = 3;
        std::memcpy(p, &length, 4);
        p += 4;
    }
    return p;
}

// Codes the stamp as a step from before (or whole) and marks its kind in the tag.
uint8_t* PutStamp(uint8_t* tag, uint8_t* p, const CTimeStamp& before, const CTimeStamp& stamp, bool whole) {
    if (stamp == before && !whole) return p;
    uint32_t step = stamp.milliseconds - before.milliseconds;
    if (!whole && SameDay(stamp, before) && stamp.milliseconds > before.milliseconds && step <= 256) {
        *tag |= 1 << 2;
        *p++ = static_cast<uint8_t>(step - 1);
    } else if (!whole && SameDay(stamp, before) && stamp.milliseconds > before.milliseconds && step <= 65792) {
        *tag |= 2 << 2;
        step -= 257;
        *p++ = static_cast<uint8_t>(step);
        *p++ = static_cast<uint8_t>(step >> 8);
    } else {
        *tag |= 3 << 2;
        std::memcpy(p, &stamp, sizeof stamp);
        p += sizeof stamp;
    }
    return p;
}

// Decodes one entry after the state in *line (which it becomes).
// Most entries: a one-byte length, no escape, the stamp unchanged or a step within 256 ms.
const uint8_t* StepCommon(const uint8_t* p, uint64_t* offset, int32_t* length, int64_t* lineNumber,
                          uint32_t* milliseconds) {
    uint8_t tag = p[0];
    *offset += static_cast<uint32_t>(*length);
    *length = static_cast<int32_t>((tag >> 5) << 8 | p[1]);
    *lineNumber += 1;
    if ((tag & 0x0C) == 0) return p + 2;
    *milliseconds += p[2] + 1u;
    return p + 3;
}

const uint8_t* DecodeCommon(const uint8_t* p, CLogLine* line) {
    return StepCommon(p, &line->offset, &line->length, &line->lineNumber, &line->timeStamp.milliseconds);
}

// Kind 1 length, no escape, stamp kind 0 or 1.
bool IsCommon(const uint8_t* p) { return (p[0] & 0x1B) == 0x01; }

const uint8_t* Decode(const uint8_t* p, CLogLine* line) {
    if (IsCommon(p)) return DecodeCommon(p, line);
    uint8_t tag = *p++;
    uint32_t high = tag >> 5;
    uint32_t length = 0;
    switch (tag & 3) {
        case 0:
            length = high;
            break;
        case 1:
            length = high << 8 | p[0];
            p += 1;
            break;
        case 2:
            length = high << 16 | p[0] | static_cast<uint32_t>(p[1]) << 8;
            p += 2;
            break;
        default:
            std::memcpy(&length, p, 4);
            p += 4;
            break;
    }
    uint64_t end = line->offset + static_cast<uint32_t>(line->length);
    int64_t step = 1;
    if ((tag & kEscape) != 0) {
        uint64_t v = 0;
        p = GetVarint(p, &v);
        end += static_cast<uint64_t>(Unzigzag(v));
        p = GetVarint(p, &v);
        step += Unzigzag(v);
    }
    switch ((tag >> 2) & 3) {
        case 0:
            break;
        case 1:
            line->timeStamp.milliseconds += p[0] + 1u;
            p += 1;
            break;
        case 2:
            line->timeStamp.milliseconds += (p[0] | static_cast<uint32_t>(p[1]) << 8) + 257u;
            p += 2;
            break;
        default:
            std::memcpy(&line->timeStamp, p, sizeof line->timeStamp);
            p += sizeof line->timeStamp;
            break;
    }
    line->offset = end;
    line->length = static_cast<int32_t>(length);
    line->lineNumber += step;
    return p;
}

// The state a block's header holds, as the entry before its first.
CLogLine StateOf(const CLineBlock& block) {
    CLogLine line;
    line.timeStamp = block.stamp;
    line.lineNumber = block.lineNumber;
    line.offset = block.end;
    line.length = 0;
    return line;
}

}  // namespace

void CLineDecodeState::Set(const CLogLine& line) {
    offset = line.offset;
    lineNumber = line.lineNumber;
    length = line.length;
    stamp = line.timeStamp;
    milliseconds = line.timeStamp.milliseconds;
}

void CLineDecodeState::Put(CLogLine* out) const {
    out->timeStamp = stamp;
    out->timeStamp.milliseconds = milliseconds;
    out->lineNumber = lineNumber;
    out->offset = offset;
    out->length = length;
}

const uint8_t* CLineDecodeState::Decode(const uint8_t* p) {
    if (IsCommon(p)) return StepCommon(p, &offset, &length, &lineNumber, &milliseconds);
    CLogLine rare;
    Put(&rare);
    p = ::Decode(p, &rare);
    Set(rare);
    return p;
}

int64_t g_lineListLimit = 0;
std::atomic<int64_t> g_lineListBudget{-1};

uint64_t EstimatedIndexBytes(int64_t lines, uint64_t codeBytes, int64_t codedLines) {
    uint64_t n = lines > 0 ? static_cast<uint64_t>(lines) : 0;
    uint64_t codes = n * 4;
    if (codedLines > 0) {
        double measured = static_cast<double>(codeBytes) / static_cast<double>(codedLines) * static_cast<double>(n);
        if (measured > static_cast<double>(codes)) codes = static_cast<uint64_t>(measured);
    }
    return codes + (n / kLineBlockEntries + 1) * sizeof(CLineBlock);
}

bool CLogLineList::MayTake(int64_t n) {
    if (g_lineListLimit > 0 && m_count + n > g_lineListLimit && m_count + n > m_held) return false;
    int64_t left = g_lineListBudget.load(std::memory_order_relaxed);
    while (left >= 0) {
        if (left < n) return false;
        if (g_lineListBudget.compare_exchange_weak(left, left - n)) return true;
    }
    return true;
}

CLogLineList::~CLogLineList() { Free(); }

void CLogLineList::Free() {
    m_index = nullptr;
    // Lists that hold nothing are emptied often (each run a loader's worker starts, each
    // chunk's lists): the buffers free nothing then.
    m_rows32.Free();
    m_rows64.Free();
    m_wideRows = false;
    FreeSegmentsAfter(0);
    if (m_segmentCount > 0) std::free(m_segments.Data()[0].codes);
    m_segments.Free();
    m_blocks.Free();
    m_segmentCount = 0;
    m_segmentBytes = 0;
    m_count = 0;
    m_held = 0;
    m_shift = 0;
    m_anchorStamp = false;
    m_tail = CLineBlock();
}

void CLogLineList::ShrinkToFit() {
    m_rows32.Shrink(m_wideRows ? 0 : static_cast<size_t>(m_count));
    m_rows64.Shrink(m_wideRows ? static_cast<size_t>(m_count) : 0);
    CloseSegment();
    m_blocks.Shrink(static_cast<size_t>(BlockCount()));
    m_segments.Shrink(m_segmentCount);
}

void CLogLineList::FreeSegmentsAfter(uint32_t segment) {
    while (m_segmentCount > segment + 1) {
        --m_segmentCount;
        std::free(m_segments.Data()[m_segmentCount].codes);
        m_segmentBytes -= m_segments.Data()[m_segmentCount].size;
    }
}

void CLogLineList::CloseSegment() {
    if (m_segmentCount == 0) return;
    uint32_t last = m_segmentCount - 1;
    uint32_t used = m_tail.segment == last ? m_tail.position : m_segments.Data()[last].size;
    if (used == 0 || used >= m_segments.Data()[last].size) return;
    void* shrunk = std::realloc(m_segments.Data()[last].codes, used);
    if (shrunk == nullptr) return;
    m_segments.Data()[last].codes = static_cast<uint8_t*>(shrunk);
    m_segmentBytes -= m_segments.Data()[last].size - used;
    m_segments.Data()[last].size = used;
}

int CLogLineList::OpenBlock() {
    int64_t block = BlockOf(m_count);
    if (!m_blocks.Grow(static_cast<size_t>(block) + 1)) return 0;
    bool fits = m_segmentCount > 0 && m_tail.segment == m_segmentCount - 1 &&
                m_segments.Data()[m_tail.segment].size - m_tail.position >= kMaxBlockBytes;
    if (!fits) {
        size_t n = m_segmentCount + 1;
        if (!m_segments.Grow(n)) return 0;
        uint32_t bytes = m_segmentCount == 0 ? kFirstSegmentBytes : SegmentBytes(m_segmentCount);
        auto* segment = static_cast<uint8_t*>(std::malloc(bytes));
        if (segment == nullptr) return 0;
        CloseSegment();
        m_segments.Data()[m_segmentCount].codes = segment;
        m_segments.Data()[m_segmentCount].size = bytes;
        m_segmentBytes += bytes;
        m_tail.segment = m_segmentCount++;
        m_tail.position = 0;
    }
    m_blocks.Data()[block] = m_tail;
    return 1;
}

int CLogLineList::EntryRoom() {
    // A block's room was made when it opened, unless it opened in the small first segment or
    // the list was cut back into a segment that had been given back in part: such a segment
    // grows (blocks name their codes by segment and position, so it may move).
    uint32_t size = m_segments.Data()[m_tail.segment].size;
    if (size - m_tail.position >= kMaxEntryBytes) return 1;
    uint32_t more = size < SegmentBytes(0) ? size : kMaxBlockBytes;
    // A segment shrunk to a few entries' codes (ShrinkToFit) doubles past an entry's room.
    if (more < kMaxEntryBytes) more = kMaxEntryBytes;
    void* grown = std::realloc(m_segments.Data()[m_tail.segment].codes, size + more);
    if (grown == nullptr) return 0;
    m_segments.Data()[m_tail.segment].codes = static_cast<uint8_t*>(grown);
    m_segments.Data()[m_tail.segment].size = size + more;
    m_segmentBytes += more;
    return 1;
}

void CLogLineList::ReferTo(std::shared_ptr<const CLogLineList> index) {
    Free();  // a list of its own entries again
    if (index != nullptr && index->m_index != nullptr) index = index->m_index;
    m_index = std::move(index);
}

int CLogLineList::ReferKeeping(std::shared_ptr<const CLogLineList> index) {
    CGrowBuffer<int64_t> rows;
    if (m_count > 0 && !rows.Reserve(static_cast<size_t>(m_count))) return 0;
    int64_t n = 0;
    CLogLine line;
    for (CLogLineReader reader(*this, 0); reader.Next(&line);) rows.Data()[n++] = line.lineNumber;
    ReferTo(std::move(index));
    for (int64_t k = 0; k < n; ++k) {
        if (!AppendRow(rows.Data()[k])) {
            Free();
            return 0;
        }
    }
    ShrinkToFit();
    return 1;
}

int CLogLineList::AppendRow(int64_t row) {
    if (!MayTake(1)) return 0;
    size_t count = static_cast<size_t>(m_count);
    if (!m_wideRows && row >= 0 && row <= 0xffffffffLL) {
        if (!m_rows32.Grow(count + 1)) return 0;
        m_rows32.Data()[count] = static_cast<uint32_t>(row);
    } else {
        // The first row beyond 32 bits: the rows widen to 64.
        if (!m_rows64.Grow(count + 1)) return 0;
        if (!m_wideRows) {
            for (size_t k = 0; k < count; ++k) m_rows64.Data()[k] = m_rows32.Data()[k];
            m_rows32.Free();
            m_wideRows = true;
        }
        m_rows64.Data()[count] = row;
    }
    if (++m_count > m_held) m_held = m_count;
    return 1;
}

int CLogLineList::Append(int64_t lineNumber, const CTimeStamp& timeStamp, uint64_t offset, int32_t length) {
    if (m_index != nullptr) return AppendRow(lineNumber);
    if (!MayTake(1)) return 0;
    if ((m_count == 0 || (m_count + m_shift) % kLineBlockEntries == 0) ? !OpenBlock() : !EntryRoom()) return 0;
    uint8_t* tag = m_segments.Data()[m_tail.segment].codes + m_tail.position;
    uint8_t* p = PutLength(tag, static_cast<uint32_t>(length));
    int64_t gap = static_cast<int64_t>(offset - m_tail.end);
    int64_t step = lineNumber - m_tail.lineNumber;
    if (gap != 0 || step != 1) {
        *tag |= kEscape;
        p = PutVarint(p, Zigzag(gap));
        p = PutVarint(p, Zigzag(step - 1));
    }
    p = PutStamp(tag, p, m_tail.stamp, timeStamp, m_anchorStamp);
    m_anchorStamp = false;
    m_tail.position = static_cast<uint32_t>(p - m_segments.Data()[m_tail.segment].codes);
    m_tail.end = offset + static_cast<uint32_t>(length);
    m_tail.lineNumber = lineNumber;
    m_tail.stamp = timeStamp;
    if (++m_count > m_held) m_held = m_count;
    return 1;
}

int CLogLineList::Append(const CLogLineList& from, int64_t first, int64_t n) {
    int64_t before = m_count;
    CLogLineReader reader(from, first);
    CLogLine line;
    for (int64_t k = 0; k < n && reader.Next(&line); ++k) {
        if (!Append(line)) {
            Truncate(before);
            return 0;
        }
    }
    return 1;
}

void CLogLineList::Truncate(int64_t count) {
    if (m_index != nullptr) {
        if (count < m_count) m_count = count > 0 ? count : 0;
        return;
    }
    if (count <= 0) {
        Free();
        return;
    }
    if (count >= m_count) return;
    int64_t block = BlockOf(count);
    const CLineBlock& header = m_blocks.Data()[block];
    const uint8_t* p = m_segments.Data()[header.segment].codes + header.position;
    CLogLine state = StateOf(header);
    for (int64_t i = BlockStart(block); i < count; ++i) p = Decode(p, &state);
    m_tail.segment = header.segment;
    m_tail.position = static_cast<uint32_t>(p - m_segments.Data()[header.segment].codes);
    m_tail.end = state.offset + static_cast<uint32_t>(state.length);
    m_tail.lineNumber = state.lineNumber;
    m_tail.stamp = state.timeStamp;
    m_count = count;
    FreeSegmentsAfter(m_tail.segment);
}

uint64_t CLogLineList::CodeBytes() const {
    if (m_index != nullptr) return static_cast<uint64_t>(m_count) * (m_wideRows ? sizeof(int64_t) : sizeof(uint32_t));
    if (m_segmentCount == 0) return 0;
    // Finished segments were given back down to their codes; the last one holds room.
    uint32_t last = m_segmentCount - 1;
    uint64_t room = m_tail.segment == last ? m_segments.Data()[last].size - m_tail.position : 0;
    return m_segmentBytes - room;
}

uint64_t CLogLineList::MemoryBytes() const {
    return m_rows32.Capacity() * sizeof(uint32_t) + m_rows64.Capacity() * sizeof(int64_t) + m_segmentBytes +
           m_blocks.Capacity() * sizeof(CLineBlock) + m_segments.Capacity() * sizeof(CLineSegment);
}

void CLogLineList::StartRun(int64_t first) {
    Free();
    m_index = nullptr;
    m_shift = first % kLineBlockEntries;
}

int CLogLineList::JoinRun(CLogLineList* run, int64_t lead, const CTimeStamp& carried) {
    if (m_index != nullptr || run->m_index != nullptr) return 0;
    int64_t before = m_count;
    // The run's first block is coded again here: its header holds the run's start (no entry
    // before), which is true only when this list is empty. Every entry is coded again when
    // the run's blocks do not line up with this list's.
    int64_t head = kLineBlockEntries - run->m_shift;
    if (m_count == 0 && run->m_shift == 0) head = 0;
    if ((m_count + m_shift) % kLineBlockEntries != run->m_shift) head = run->m_count;
    if (head > run->m_count) head = run->m_count;
    CLogLineReader reader(*run, 0);
    CLogLine line;
    for (int64_t i = 0; i < head && reader.Next(&line); ++i) {
        if (i < lead) line.timeStamp = carried;
        if (!Append(line)) {
            Truncate(before);
            return 0;
        }
    }
    if (head < run->m_count && !AdoptBlocks(run, run->BlockOf(head), lead, carried)) {
        Truncate(before);
        return 0;
    }
    run->Free();
    return 1;
}

int CLogLineList::AdoptBlocks(CLogLineList* run, int64_t block, int64_t lead, const CTimeStamp& carried) {
    if (!MayTake(run->m_count - run->BlockStart(block))) return 0;
    int64_t blocks = run->BlockCount() - block;
    uint32_t firstSegment = run->m_blocks.Data()[block].segment;
    uint32_t segments = run->m_segmentCount - firstSegment;
    size_t n = m_segmentCount + segments;
    if (!m_blocks.Grow(static_cast<size_t>(BlockCount() + blocks)) || !m_segments.Grow(n)) {
        return 0;
    }
    CloseSegment();
    uint32_t base = m_segmentCount;
    for (uint32_t s = 0; s < segments; ++s) {
        m_segments.Data()[base + s] = run->m_segments.Data()[firstSegment + s];
        m_segmentBytes += m_segments.Data()[base + s].size;
        run->m_segmentBytes -= m_segments.Data()[base + s].size;
    }
    m_segmentCount += segments;
    // The run keeps (and frees) only the segments before the adopted ones.
    run->m_segmentCount = firstSegment;
    CLineBlock* into = m_blocks.Data() + BlockCount();
    for (int64_t b = 0; b < blocks; ++b) {
        CLineBlock header = run->m_blocks.Data()[block + b];
        header.segment = header.segment - firstSegment + base;
        if (run->BlockStart(block + b) <= lead) header.stamp = carried;
        into[b] = header;
    }
    m_tail = run->m_tail;
    m_tail.segment = m_tail.segment - firstSegment + base;
    if (run->m_count <= lead) m_tail.stamp = carried;
    m_count += run->m_count - run->BlockStart(block);
    if (m_count > m_held) m_held = m_count;
    return 1;
}

CLogLineReader::CLogLineReader(const CLogLineList& list, int64_t first) : m_list(list), m_index(list.m_count) {
    Seek(first);
}

void CLogLineReader::EnterBlock(int64_t block) {
    const CLineBlock& header = m_list.m_blocks.Data()[block];
    m_blockEnd = m_list.BlockStart(block + 1);
    m_code = m_list.m_segments.Data()[header.segment].codes + header.position;
    m_state.Set(StateOf(header));
}

void CLogLineReader::Seek(int64_t index) {
    if (m_list.m_index != nullptr) {
        m_index = index >= 0 && index < m_list.m_count ? index : m_list.m_count;
        if (m_referred == nullptr) m_referred.reset(new (std::nothrow) CLogLineReader(*m_list.m_index, 0));
        return;
    }
    if (index >= m_index && index < m_list.m_count && m_index < m_list.m_count &&
        m_list.BlockOf(index) == m_list.BlockOf(m_index)) {
        if (m_index == m_blockEnd) EnterBlock(m_list.BlockOf(m_index));
        Skip(index - m_index);
        return;
    }
    if (index < 0 || index >= m_list.m_count) {
        m_index = m_list.m_count;
        return;
    }
    int64_t block = m_list.BlockOf(index);
    EnterBlock(block);
    m_index = m_list.BlockStart(block);
    Skip(index - m_index);
}

void CLogLineReader::Skip(int64_t n) {
    CLineDecodeState state = m_state;
    const uint8_t* code = m_code;
    for (int64_t i = 0; i < n; ++i) code = state.Decode(code);
    m_state = state;
    m_code = code;
    m_index += n;
}

bool CLogLineReader::NextReferred(CLogLine* line) {
    if (m_referred == nullptr) return false;
    // Rows referred to mostly ascend: the index's reader moves on within a block.
    m_referred->Seek(m_list.RowAt(m_index));
    if (!m_referred->Next(line)) return false;
    ++m_index;
    return true;
}

bool CLogLineReader::Next(CLogLine* line) {
    if (m_index >= m_list.m_count) return false;
    if (m_list.m_index != nullptr) return NextReferred(line);
    if (m_index == m_blockEnd) EnterBlock(m_list.BlockOf(m_index));
    m_code = m_state.Decode(m_code);
    m_state.Put(line);
    ++m_index;
    return true;
}

int64_t CLogLineReader::Next(int64_t n, CLogLine* out) {
    if (n > m_list.m_count - m_index) n = m_list.m_count - m_index;
    if (n <= 0) return 0;
    if (m_list.m_index != nullptr) {
        int64_t k = 0;
        while (k < n && NextReferred(out + k)) ++k;
        return k;
    }
    for (int64_t k = 0; k < n;) {
        if (m_index == m_blockEnd) EnterBlock(m_list.BlockOf(m_index));
        int64_t run = m_blockEnd - m_index < n - k ? m_blockEnd - m_index : n - k;
        CLineDecodeState state = m_state;
        const uint8_t* code = m_code;
        for (int64_t end = k + run; k < end; ++k) {
            code = state.Decode(code);
            state.Put(out + k);
        }
        m_state = state;
        m_code = code;
        m_index += run;
    }
    return n;
}

bool CLogLineList::Get(int64_t index, CLogLine* line) const {
    if (index < 0 || index >= m_count) return false;
    if (m_index != nullptr) return m_index->Get(RowAt(index), line);
    CLogLineReader reader(*this, index);
    return reader.Next(line);
}

int64_t CLogLineList::Read(int64_t first, int64_t n, CLogLine* out) const {
    CLogLineReader reader(*this, first);
    return reader.Next(n, out);
}

bool SameEntries(const CLogLineList& a, const CLogLineList& b) {
    if (a.Count() != b.Count()) return false;
    CLogLineReader ra(a, 0);
    CLogLineReader rb(b, 0);
    CLogLine x;
    CLogLine y;
    while (ra.Next(&x) && rb.Next(&y)) {
        if (!(x == y)) return false;
    }
    return true;
}

int ReplaceTail(CLogLineList* list, int64_t from, const CLogLineList& more) {
    // The entries are in line-number order: the first numbered from or above by halving.
    int64_t low = 0;
    int64_t high = list->Count();
    CLogLine line;
    while (low < high) {
        int64_t middle = low + (high - low) / 2;
        list->Get(middle, &line);
        if (line.lineNumber < from) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    int64_t keep = low;
    // The replaced entries are kept aside, so that a list that cannot take the new ones
    // gets its old ones back.
    CLogLineList replaced;
    if (!replaced.Append(*list, keep, list->Count() - keep)) return 0;
    list->Truncate(keep);
    if (list->Append(more, 0, more.Count())) return 1;
    list->Truncate(keep);
    list->Append(replaced, 0, replaced.Count());
    return 0;
}
