// Block reading and line splitting. A non-empty line begins at a byte that is not a break
// and ends after its first break (two bytes for a CR LF or LF CR pair), so splitting needs
// no state beyond the current block: a line that the block does not finish (including a
// break in the block's last byte, whose partner may follow) is read again at the start of
// the next block.
#include "document/line_source.h"

#include <cstdlib>

#include "document/line_breaks.h"

namespace {

// Extra bytes read past a caller's limit, enough to finish the last line of most logs
// without reading a whole block beyond the limit.
constexpr size_t kTail = 65536;

inline unsigned UnitAt(const unsigned char* b, size_t i, bool big) {
    return big ? (b[i] << 8 | b[i + 1]) : (b[i] | b[i + 1] << 8);
}

inline bool IsBreakUnit(unsigned u) { return u == '\r' || u == '\n'; }

// The first break unit in [from, end) (end - from even), or end.
size_t FindBreak16(const unsigned char* b, size_t from, size_t end, bool big) {
    // Both byte orders put a break's non-zero byte where the other order puts the zero.
    size_t low = big ? 1 : 0;
    for (size_t i = from; i < end; i += 2) {
        unsigned char c = b[i + low];
        if ((c == '\r' || c == '\n') && b[i + 1 - low] == 0) return i;
    }
    return end;
}

}  // namespace

CLineSource::CLineSource(CFile* file, uint64_t fileSize, uint32_t blockSize, uint32_t maxLineLength,
                         CBlockListener* listener)
    : m_file(file),
      m_size(fileSize),
      m_blockSize(blockSize < 2 ? 2 : blockSize),
      m_maxLine(maxLineLength < 1 ? 1 : maxLineLength),
      m_listener(listener) {}

void CLineSource::SetLayout(int unitBytes, bool bigEndian, uint64_t origin) {
    m_unit = unitBytes == 2 ? 2 : 1;
    m_bigEndian = bigEndian;
    m_origin = origin < m_size ? origin : m_size;
    if (m_unit == 2) {
        // Blocks and pieces of long lines hold whole units.
        m_blockSize = m_blockSize & ~1u;
        m_maxLine = m_maxLine < 2 ? 2 : m_maxLine & ~1u;
    }
}

int CLineSource::Init() {
    if (m_buffer.Capacity() > 0) return 1;
    if (!m_buffer.Reserve(m_blockSize)) {
        m_status = kNoMemory;
        return 0;
    }
    return 1;
}

void CLineSource::Seek(uint64_t position) {
    // From inside the file, start one unit early: that unit tells whether position begins a line.
    m_inside = position > m_origin;
    m_start = m_inside ? position - m_unit : m_origin;
    m_length = 0;
    m_pos = 0;
    m_status = kReading;
}

void CLineSource::LearnSize() {
    uint64_t size = m_file->Size();
    if (size < m_size) m_size = size;
}

int CLineSource::Refill(uint64_t at) {
    if (m_listener != nullptr && !m_listener->OnBlock(at)) {
        m_status = kStopped;
        return 0;
    }
    // A long line made the buffer grow; go back to the block size, unless it grew by no
    // more than a tail (small blocks only), which would grow again with the next long line.
    if (m_buffer.Capacity() > static_cast<size_t>(m_blockSize) + kTail) m_buffer.Shrink(m_blockSize);
    uint64_t want = m_size - at;
    if (want > m_blockSize) want = m_blockSize;
    if (m_limit < m_size) {
        uint64_t needed = (m_limit > at ? m_limit - at : 0) + kTail;
        if (want > needed) want = needed;
    }
    if (m_unit == 2 && at + want < m_size) want &= ~1ull;
    uint32_t n = m_file->Read(m_buffer.Data(), static_cast<uint32_t>(want), at);
    LearnSize();
    if (n == 0) {
        m_status = at >= m_size ? kEnd : kReadFailed;
        return 0;
    }
    m_start = at;
    m_length = n;
    m_pos = 0;
    return 1;
}

int CLineSource::Grow() {
    // Double what is held (bounded by what the longest line can need and by the file).
    uint64_t more = m_length > kTail ? m_length : kTail;
    uint64_t room = static_cast<uint64_t>(m_maxLine) + 1 - m_length;
    if (more > room) more = room;
    uint64_t left = m_size - (m_start + m_length);
    if (more > left) more = left;
    if (more == 0) {
        m_status = kReadFailed;
        return 0;
    }
    size_t wanted = m_length + static_cast<size_t>(more);
    if (!m_buffer.Reserve(wanted)) {
        m_status = kNoMemory;
        return 0;
    }
    uint32_t n = m_file->Read(m_buffer.Data() + m_length, static_cast<uint32_t>(more), m_start + m_length);
    LearnSize();
    if (n == 0) {
        // A compressed log that ended here: the line ends with the data.
        if (m_start + m_length >= m_size) return 1;
        m_status = kReadFailed;
        return 0;
    }
    m_length += n;
    return 1;
}

int CLineSource::More(size_t lineStart) {
    // The line is read again from its start in a new block; when it already starts the
    // block, the block grows instead.
    if (lineStart > 0) return Refill(m_start + lineStart);
    return Grow();
}

int CLineSource::Next(uint64_t limit, CLineView* line) {
    if (m_status != kReading) return 0;
    m_limit = limit;
    if (m_unit == 2) return Next16(limit, line);
    const auto* b = reinterpret_cast<const unsigned char*>(m_buffer.Data());
    for (;;) {
        if (m_pos >= m_length) {
            uint64_t at = m_start + m_length;
            if (at >= m_size || at >= limit) {
                m_status = kEnd;
                return 0;
            }
            if (!Refill(at)) return 0;
            b = reinterpret_cast<const unsigned char*>(m_buffer.Data());
            continue;
        }
        if (m_inside) {
            size_t j = m_pos + FindLineBreak(m_buffer.Data() + m_pos, m_length - m_pos);
            m_pos = j;
            if (j == m_length) continue;
            m_inside = false;
        }
        while (m_pos < m_length && IsLineBreak(b[m_pos])) ++m_pos;
        if (m_pos == m_length) {
            // A lone break in the block's last byte is read again with the next block, as
            // for a line; it changes no line, only where that block starts.
            if (m_length >= 2 && m_start + m_length < m_size && !IsBreakPair(b[m_length - 2], b[m_length - 1])) {
                --m_length;
                m_pos = m_length;
            }
            continue;
        }
        size_t s = m_pos;
        if (m_start + s >= limit) {
            m_status = kEnd;
            return 0;
        }
        size_t avail = m_length - s;
        size_t window = avail < m_maxLine ? avail : m_maxLine;
        size_t j = s + FindLineBreak(m_buffer.Data() + s, window);
        bool eof = m_start + m_length >= m_size;
        size_t breakEnd = 0;
        if (j < s + window) {
            if (j + 1 < m_length) {
                breakEnd = j + (IsBreakPair(b[j], b[j + 1]) ? 2 : 1);
            } else if (eof) {
                breakEnd = j + 1;
            }
        }
        if (TakeLine(s, j < s + window, breakEnd, eof, line)) return 1;
        if (!More(s)) return 0;
        b = reinterpret_cast<const unsigned char*>(m_buffer.Data());
    }
}

// Ends the line that starts at s: after its break (hasBreak; breakEnd is past the break, or
// 0 while the block ends before the break's width is known), at m_maxLine bytes, or at the
// end of the file. 1 with *line set, or 0 when the block must grow first.
int CLineSource::TakeLine(size_t s, bool hasBreak, size_t breakEnd, bool eof, CLineView* line) {
    size_t e;
    if (hasBreak) {
        if (breakEnd == 0) return 0;
        e = breakEnd - s > m_maxLine ? s + m_maxLine : breakEnd;
    } else if (m_length - s >= m_maxLine) {
        e = s + m_maxLine;
    } else if (eof) {
        e = m_length;
    } else {
        return 0;
    }
    line->offset = m_start + s;
    line->bytes = m_buffer.Data() + s;
    line->length = static_cast<uint32_t>(e - s);
    m_pos = e;
    return 1;
}

// The same as Next over units of two bytes. A lone byte at the end of an odd-sized file is
// a line of its own, as the end of a line that has no break.
int CLineSource::Next16(uint64_t limit, CLineView* line) {
    const auto* b = reinterpret_cast<const unsigned char*>(m_buffer.Data());
    for (;;) {
        bool eof = m_start + m_length >= m_size;
        if (m_pos + 2 > m_length) {
            uint64_t at = m_start + m_pos;
            if (at >= limit || (eof && m_pos >= m_length)) {
                m_status = kEnd;
                return 0;
            }
            if (eof) {
                line->offset = at;
                line->bytes = m_buffer.Data() + m_pos;
                line->length = 1;
                m_pos = m_length;
                return 1;
            }
            if (!Refill(at)) return 0;
            b = reinterpret_cast<const unsigned char*>(m_buffer.Data());
            continue;
        }
        size_t whole = m_pos + ((m_length - m_pos) & ~static_cast<size_t>(1));
        if (m_inside) {
            m_pos = FindBreak16(b, m_pos, whole, m_bigEndian);
            if (m_pos == whole) {
                if (eof) m_pos = m_length;
                continue;
            }
            m_inside = false;
        }
        while (m_pos < whole && IsBreakUnit(UnitAt(b, m_pos, m_bigEndian))) m_pos += 2;
        if (m_pos == whole) continue;
        size_t s = m_pos;
        if (m_start + s >= limit) {
            m_status = kEnd;
            return 0;
        }
        size_t avail = m_length - s;
        size_t window = (avail < m_maxLine ? avail : m_maxLine) & ~static_cast<size_t>(1);
        size_t j = FindBreak16(b, s, s + window, m_bigEndian);
        size_t breakEnd = 0;
        if (j < s + window) {
            if (j + 4 <= m_length) {
                unsigned first = UnitAt(b, j, m_bigEndian);
                unsigned second = UnitAt(b, j + 2, m_bigEndian);
                breakEnd = j + (IsBreakUnit(second) && second != first ? 4 : 2);
            } else if (eof) {
                breakEnd = j + 2;
            }
        }
        if (TakeLine(s, j < s + window, breakEnd, eof, line)) return 1;
        if (!More(s)) return 0;
        b = reinterpret_cast<const unsigned char*>(m_buffer.Data());
    }
}

int CLineSource::CountStarts(uint64_t begin, uint64_t end, uint64_t* count) {
    *count = 0;
    if (end > m_size) end = m_size;
    if (m_buffer.Capacity() == 0 && !Init()) return 0;
    // The byte before begin only says whether begin itself starts a line.
    if (begin < m_origin) begin = m_origin;
    uint64_t at = begin > m_origin ? begin - 1 : begin;
    bool lookBehind = begin > m_origin;
    bool previousIsBreak = true;
    while (at < end) {
        if (m_listener != nullptr && !m_listener->OnBlock(at)) {
            m_status = kStopped;
            return 0;
        }
        uint64_t want = end - at;
        if (want > m_blockSize) want = m_blockSize;
        uint32_t n = m_file->Read(m_buffer.Data(), static_cast<uint32_t>(want), at);
        LearnSize();
        if (n == 0) {
            if (at >= m_size) break;
            m_status = kReadFailed;
            return 0;
        }
        if (end > m_size) end = m_size;
        const char* p = m_buffer.Data();
        size_t length = n;
        if (lookBehind) {
            previousIsBreak = IsLineBreak(static_cast<unsigned char>(p[0]));
            ++p;
            --length;
            lookBehind = false;
        }
        *count += CountLineStarts(p, length, previousIsBreak);
        if (length > 0) previousIsBreak = IsLineBreak(static_cast<unsigned char>(p[length - 1]));
        at += n;
    }
    // The buffer no longer holds what Next expects.
    m_length = 0;
    m_pos = 0;
    return 1;
}
