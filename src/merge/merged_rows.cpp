// Reading the merged rows: a row's log from its byte, its row in that log from the block's
// table and the bytes before it in the block.
#include "merge/merged_rows.h"

#include <algorithm>
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

constexpr uint64_t kByteOnes = 0x0101010101010101ull;

// Each byte of x holding how many bits it has set.
uint64_t ByteCounts(uint64_t x) {
    x -= (x >> 1) & 0x5555555555555555ull;
    x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
    return (x + (x >> 4)) & 0x0f0f0f0f0f0f0f0full;
}

// The set bits of x, without a popcount instruction (not in the baseline instruction set).
int64_t BitCount(uint64_t x) { return static_cast<int64_t>((ByteCounts(x) * kByteOnes) >> 56); }

// bits[byte | rank << 8]: the place of the byte's set bit of that rank (0: the lowest).
struct CRankTable {
    uint8_t bits[8 * 256] = {};
};

constexpr CRankTable MakeRankTable() {
    CRankTable table;
    for (int byte = 0; byte < 256; ++byte) {
        int rank = 0;
        for (int bit = 0; bit < 8; ++bit) {
            if ((byte >> bit & 1) != 0) table.bits[byte | rank++ << 8] = static_cast<uint8_t>(bit);
        }
    }
    return table;
}

constexpr CRankTable kRankTable = MakeRankTable();

// The place of word's set bit of rank k (word has more than k): the bytes' counts summed up
// from the lowest in parallel find its byte, with no branch, and the table its bit there.
int SelectBit(uint64_t word, int64_t k) {
    constexpr uint64_t kHighs = 0x8080808080808080ull;
    uint64_t sums = ByteCounts(word) * kByteOnes;  // byte i: the set bits of bytes 0..i
    // The top bit of each byte whose sum is at most k (k and the sums stay below 128).
    uint64_t passed = ((static_cast<uint64_t>(k) * kByteOnes | kHighs) - sums) & kHighs;
    int place = static_cast<int>((((passed >> 7) * kByteOnes) >> 56) * 8);
    auto rank = static_cast<int>(k - static_cast<int64_t>(((sums << 8) >> place) & 0xff));
    return place + kRankTable.bits[((word >> place) & 0xff) | static_cast<uint64_t>(rank) << 8];
}

// A bit for each of the n bytes from ids (at most 64) that is id.
uint64_t MaskOf(const uint8_t* ids, int64_t n, uint8_t id) {
    uint64_t mask = 0;
#if defined(__SSE2__)
    if (n == 64) {
        const __m128i wanted = _mm_set1_epi8(static_cast<char>(id));
        for (int64_t k = 0; k < 4; ++k) {
            __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(ids + 16 * k));
            auto bits = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, wanted)));
            mask |= static_cast<uint64_t>(bits) << (16 * k);
        }
        return mask;
    }
#endif
    for (int64_t k = 0; k < n; ++k) mask |= static_cast<uint64_t>(ids[k] == id ? 1 : 0) << k;
    return mask;
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
    CMergedRowCursor cursor(*this, log);
    return cursor.RowOf(logRow.Value());
}

void CMergedRows::RowsOf(int log, const int64_t* logRows, int64_t n, int64_t* out) const {
    CMergedRowCursor cursor(*this, log);
    for (int64_t k = 0; k < n; ++k) out[k] = cursor.RowOf(logRows[k]);
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

int64_t CMergedRowCursor::RowOf(int64_t want) {
    const CMergedRows& rows = m_rows;
    if (m_log < 0 || m_log >= rows.m_logCount || want < 0 || want >= rows.m_logRows[m_log]) return -1;
    int shift = rows.m_blockShift;
    int64_t blocks = ((rows.m_count - 1) >> shift) + 1;
    auto start = [&](int64_t block) { return rows.m_starts.Data()[block * rows.m_logCount + m_log]; };
    // The row lies in the last block whose table has the log at or before it.
    int64_t block = m_window < 0 ? 0 : m_window >> shift;
    if (m_window < 0 || want < m_before) {
        int64_t high = blocks;
        for (block = 0; high - block > 1;) {
            int64_t mid = block + (high - block) / 2;
            if (start(mid) <= want) {
                block = mid;
            } else {
                high = mid;
            }
        }
        Load(block << shift, start(block));
    } else if (block + 1 < blocks && start(block + 1) <= want) {
        // Galloping forward, then halving.
        int64_t step = 1;
        while (block + step < blocks && start(block + step) <= want) {
            block += step;
            step *= 2;
        }
        for (step /= 2; step > 0; step /= 2) {
            if (block + step < blocks && start(block + step) <= want) block += step;
        }
        Load(block << shift, start(block));
    }
    // Blocks are whole windows (128 rows or more): the row is in this window or a later one
    // of the block.
    while (want >= m_before + m_inWindow) Load(m_window + 64, m_before + m_inWindow);
    return m_window + SelectBit(m_mask, want - m_before);
}

void CMergedRowCursor::Load(int64_t window, int64_t before) {
    m_window = window;
    m_before = before;
    int64_t n = std::min<int64_t>(64, m_rows.m_count - window);
    m_mask = MaskOf(m_rows.m_ids.Data() + window, n, static_cast<uint8_t>(m_log));
    m_inWindow = BitCount(m_mask);
}
