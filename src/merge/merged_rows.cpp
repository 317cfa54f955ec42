// Reading the merged rows: a row's log from its byte, its row in that log from the block's
// table and the bytes before it in the block.
#include "merge/merged_rows.h"

#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <optional>
#include <utility>

namespace {

// How many of the bytes [from, to) are id; the compiler makes it a vector loop.
int64_t CountOf(const uint8_t* ids, int64_t from, int64_t to, uint8_t id) {
    int64_t n = 0;
    for (int64_t j = from; j < to; ++j) n += ids[j] == id ? 1 : 0;
    return n;
}

// The top bit of each byte of word that is id, the other bits clear (a byte is zero after
// the xor where it is: a borrow-free test for zero bytes).
uint64_t MatchesOf(uint64_t word, uint8_t id) {
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    constexpr uint64_t kLow7 = 0x7f7f7f7f7f7f7f7full;
    uint64_t x = word ^ (kOnes * id);
    return ~(((x & kLow7) + kLow7) | x | kLow7);
}

// How many bytes a MatchesOf mask marks: their bits moved down, a multiplication adds up.
int64_t CountOf(uint64_t matches) {
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    return static_cast<int64_t>(((matches >> 7) * kOnes) >> 56);
}

}  // namespace

void CMergedRows::RowsBefore(CRow at, int64_t* before) const {
    int64_t row = at.Value();
    if (row >= m_count) {
        for (int i = 0; i < m_logCount; ++i) before[i] = m_logRows[i];
        return;
    }
    int64_t block = row >> m_blockShift;
    const int64_t* starts = m_starts.Data() + block * m_logCount;
    for (int i = 0; i < m_logCount; ++i) before[i] = starts[i];
    for (int64_t j = block << m_blockShift; j < row; ++j) ++before[m_ids.Data()[j]];
}

bool CMergedRows::Origin(CRow row, int* log, CRow* logRow) const {
    int64_t r = row.Value();
    if (r < 0 || r >= m_count) return false;
    uint8_t id = m_ids.Data()[r];
    int64_t block = r >> m_blockShift;
    *log = id;
    *logRow = CRow(m_starts.Data()[block * m_logCount + id] + CountOf(m_ids.Data(), block << m_blockShift, r, id));
    return true;
}

bool CMergedRows::Entry(CRow row, CLogLine* line) const {
    int log = 0;
    CRow logRow;
    return Origin(row, &log, &logRow) && m_logs[log].index->Get(logRow.Value(), line);
}

CLogFile* CMergedRows::FileOf(CRow row) const {
    int64_t r = row.Value();
    return r >= 0 && r < m_count ? m_logs[m_ids.Data()[r]].file : nullptr;
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
        uint8_t id = m_ids.Data()[from + k];
        if (!readers[id]) readers[id].emplace(*m_logs[id].index, before[id]);
        if (!readers[id]->Next(out + k)) return k;
    }
    return n;
}

int64_t CMergedRows::RowOf(int log, CRow logRow) const {
    if (log < 0 || log >= m_logCount) return -1;
    int64_t want = logRow.Value();
    if (want < 0 || want >= m_logRows[log]) return -1;
    // The last block whose table has the log at or before the row holds it.
    int64_t low = 0;
    int64_t high = ((m_count - 1) >> m_blockShift) + 1;
    while (high - low > 1) {
        int64_t mid = low + (high - low) / 2;
        if (m_starts.Data()[mid * m_logCount + log] <= want) {
            low = mid;
        } else {
            high = mid;
        }
    }
    return RowInBlock(low, log, want);
}

int64_t CMergedRows::RowInBlock(int64_t block, int log, int64_t want) const {
    int64_t j = block << m_blockShift;
    int64_t at = m_starts.Data()[block * m_logCount + log];
    return FindInBlock(block, log, want, &j, &at);
}

int64_t CMergedRows::FindInBlock(int64_t block, int log, int64_t want, int64_t* from, int64_t* rows) const {
    auto id = static_cast<uint8_t>(log);
    int64_t end = (block + 1) << m_blockShift;
    if (end > m_count) end = m_count;
    const uint8_t* ids = m_ids.Data();
    int64_t j = *from;
    int64_t at = *rows;
    // Sixteen or eight bytes at a time while the row lies beyond them, then byte by byte.
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi8(static_cast<char>(id));
    const __m128i ones = _mm_set1_epi8(1);
    for (; j + 16 <= end; j += 16) {
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(ids + j));
        // A match is 1, the rest 0; the sums of absolute differences add each half up.
        __m128i sums = _mm_sad_epu8(_mm_and_si128(_mm_cmpeq_epi8(bytes, wanted), ones), _mm_setzero_si128());
        int64_t n = _mm_cvtsi128_si32(sums) + _mm_extract_epi16(sums, 4);
        if (at + n > want) break;
        at += n;
    }
#endif
    for (; j + 8 <= end; j += 8) {
        uint64_t word = 0;
        std::memcpy(&word, ids + j, sizeof word);
        uint64_t matches = MatchesOf(word, id);
        int64_t n = CountOf(matches);
        if (at + n > want) {
            // The row is one of these bytes (the first the lowest: little-endian, as every target
            // is): the marks below it dropped, no branch a byte.
            for (int64_t skip = want - at; skip > 0; --skip) matches &= matches - 1;
            int64_t row = j + (__builtin_ctzll(matches) >> 3);
            *from = row + 1;
            *rows = want + 1;
            return row;
        }
        at += n;
    }
    for (; j < end; ++j) {
        if (ids[j] != id) continue;
        if (at == want) {
            *from = j + 1;
            *rows = at + 1;
            return j;
        }
        ++at;
    }
    *from = j;
    *rows = at;
    return -1;
}

void CMergedRows::RowsOf(int log, const int64_t* logRows, int64_t n, int64_t* out) const {
    int64_t blocks = m_count == 0 ? 0 : ((m_count - 1) >> m_blockShift) + 1;
    int64_t logCount = log >= 0 && log < m_logCount ? m_logRows[log] : 0;
    auto start = [&](int64_t block) { return m_starts.Data()[block * m_logCount + log]; };
    int64_t block = 0;
    // Where the last row was found: rows of the same block go on from there.
    int64_t scanned = -1;
    int64_t from = 0;
    int64_t rows = 0;
    for (int64_t k = 0; k < n; ++k) {
        int64_t want = logRows[k];
        if (want < 0 || want >= logCount) {
            out[k] = -1;
            continue;
        }
        if (want < start(block)) block = 0;  // not rising after all: from the start again
        // The last block whose table has the log at or before the row: galloping forward,
        // then halving.
        int64_t step = 1;
        while (block + step < blocks && start(block + step) <= want) {
            block += step;
            step *= 2;
        }
        for (step /= 2; step > 0; step /= 2) {
            if (block + step < blocks && start(block + step) <= want) block += step;
        }
        if (block != scanned || want < rows) {
            scanned = block;
            from = block << m_blockShift;
            rows = start(block);
        }
        out[k] = FindInBlock(block, log, want, &from, &rows);
    }
}

CMergeKeys CMergedRows::KeysAt(int log, int64_t logRow) const {
    const CMergedLog& l = m_logs[log];
    CMergeKeys keys(l.clock, l.offsetMs);
    int64_t from = logRow >> kKeyStateShift << kKeyStateShift;
    keys.Restore(m_keyStates[log].Data()[logRow >> kKeyStateShift]);
    WalkKeys(log, from, logRow, &keys);
    return keys;
}

void CMergedRows::WalkKeys(int log, int64_t from, int64_t to, CMergeKeys* keys) const {
    if (from >= to) return;
    CLogLine line;
    CLogLineReader reader(*m_logs[log].index, from);
    for (int64_t r = from; r < to && reader.Next(&line); ++r) keys->Next(line.timeStamp);
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
        uint8_t id = m_ids.Data()[from + k];
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
    uint64_t bytes = m_ids.Capacity() + m_starts.Capacity() * sizeof(int64_t);
    for (int i = 0; i < m_logCount; ++i) bytes += m_keyStates[i].Capacity() * sizeof(CMergeKeyState);
    return bytes;
}

void CMergedRows::Swap(CMergedRows& other) {
    for (int i = 0; i < kMaxMergedLogs; ++i) {
        std::swap(m_logs[i], other.m_logs[i]);
        std::swap(m_logRows[i], other.m_logRows[i]);
        m_keyStates[i].Swap(other.m_keyStates[i]);
    }
    std::swap(m_logCount, other.m_logCount);
    std::swap(m_count, other.m_count);
    std::swap(m_blockShift, other.m_blockShift);
    m_ids.Swap(other.m_ids);
    m_starts.Swap(other.m_starts);
}
