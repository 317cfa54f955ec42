// The handle's reader: its spans, its cursor, and the stored entries with their check.
#include "document/unpacked_stream.h"

#include <zlib.h>

#include <cstring>

#include "document/file.h"

namespace {

// A span longer than this is decoded through on every read rather than kept.
constexpr uint64_t kMaxSpan = 16u << 20;
// A span is decoded at least this much further at a time.
constexpr uint64_t kSpanStep = 64u << 10;

}  // namespace

CUnpackedStream::CUnpackedStream(CFile* file, CAccessPoints* points)
    : m_file(file), m_points(points), m_cursor(file, points), m_ahead(&m_cursor) {
    m_points->Hold();
}

CUnpackedStream::~CUnpackedStream() {
    m_ahead.Stop();
    m_points->Release();
}

uint32_t CUnpackedStream::ReadStored(char* buffer, uint32_t count, uint64_t offset) {
    const CPackedStream& stream = m_points->Stream();
    uint64_t size = m_points->Size();
    if (size == 0 && !m_points->SizeKnown()) {
        // An empty entry has no bytes whose reading would check it: it ends at once.
        m_points->End(0, m_storedCrc == stream.crc ? CUnpackError::kNone : CUnpackError::kBadCheck);
    }
    if (offset >= size) return 0;
    if (count > size - offset) count = static_cast<uint32_t>(size - offset);
    uint32_t got = m_file->ReadPacked(buffer, count, stream.begin + offset);
    // The check goes along with the reads that reach bytes not checked yet (the load's).
    if (offset <= m_storedChecked && offset + got > m_storedChecked) {
        uint64_t skip = m_storedChecked - offset;
        m_storedCrc =
            crc32(m_storedCrc, reinterpret_cast<const unsigned char*>(buffer + skip), static_cast<uInt>(got - skip));
        m_storedChecked = offset + got;
        if (m_storedChecked == size) {
            m_points->End(size, m_storedCrc == stream.crc ? CUnpackError::kNone : CUnpackError::kBadCheck);
        }
    }
    return got;
}

uint32_t CUnpackedStream::FromSpans(uint64_t offset, char* dest, uint32_t n) {
    for (CSpan& span : m_spans) {
        if (offset < span.start || offset >= span.start + span.length) continue;
        // A span is decoded as far as reads ask (a row in it costs half a span on average).
        if (offset >= span.start + span.filled) {
            if (&span != m_filling || m_cursor.Position() != span.start + span.filled) return 0;
            uint64_t want = offset + n - span.start;
            if (want < span.filled + kSpanStep) want = span.filled + kSpanStep;
            if (want > span.length) want = span.length;
            uint32_t got = m_cursor.Decode(span.bytes.Data() + span.filled, static_cast<uint32_t>(want - span.filled));
            span.filled += got;
            if (got == 0) span.length = span.filled;
            if (offset >= span.start + span.filled) return 0;
        }
        uint64_t left = span.start + span.filled - offset;
        uint32_t count = left < n ? static_cast<uint32_t>(left) : n;
        std::memcpy(dest, span.bytes.Data() + (offset - span.start), count);
        span.used = ++m_uses;
        return count;
    }
    return 0;
}

int CUnpackedStream::DecodeSpan(const CAccessPoint& point, int64_t index) {
    uint64_t end = 0;
    if (!m_points->NextOut(index, &end)) return 0;
    uint64_t length = end - point.out;
    if (length == 0 || length > kMaxSpan) return 0;
    CSpan* span = m_spans[0].used <= m_spans[1].used ? &m_spans[0] : &m_spans[1];
    for (CSpan& same : m_spans) {
        if (same.start == point.out && same.length > 0) span = &same;
    }
    span->length = 0;
    span->filled = 0;
    m_filling = nullptr;
    if (!span->bytes.Reserve(length) || !m_cursor.Restart(point, m_window.Data())) return 0;
    span->start = point.out;
    span->length = length;
    span->used = ++m_uses;
    m_filling = span;
    return 1;
}

// Puts the cursor (or a span) where offset can be read: from the point before it, or on
// from the cursor when no point lies between. 1, or 0 when nothing can be read there.
int CUnpackedStream::Seek(uint64_t offset) {
    CAccessPoint point;
    int64_t index = 0;
    if (!m_points->Find(offset, &point, &index, &m_window)) return 0;
    bool forward = m_cursor.Ready() && offset >= m_cursor.Position() && point.out <= m_cursor.Position();
    if (!forward) {
        if (DecodeSpan(point, index)) return 1;
        if (!m_cursor.Restart(point, m_window.Data())) return 0;
    }
    m_filling = nullptr;
    while (m_cursor.Position() < offset) {
        uint64_t gap = offset - m_cursor.Position();
        if (m_cursor.Decode(nullptr, gap < (1u << 30) ? static_cast<uint32_t>(gap) : (1u << 30)) == 0) return 0;
    }
    return 1;
}

uint32_t CUnpackedStream::Read(void* buffer, uint32_t count, uint64_t offset) {
    auto* out = static_cast<char*>(buffer);
    if (offset == kCurrentOffset) return 0;
    if (m_points->Stream().format == CPackedFormat::kZipStored) return ReadStored(out, count, offset);
    uint32_t done = 0;
    bool sought = false;
    while (done < count) {
        uint64_t at = offset + done;
        // Never beyond the end, which a damage found meanwhile may have moved back: another
        // handle may decode on where the first reading stopped.
        uint64_t size = m_points->Size();
        if (at >= size) break;
        uint32_t want = size - at < count - done ? static_cast<uint32_t>(size - at) : count - done;
        char* dest = out + done;
        uint32_t n = m_ahead.Active() ? m_ahead.Read(at, dest, want) : 0;
        if (n == 0 && m_ahead.Active()) {
            m_ahead.Stop();
            continue;
        }
        if (n == 0) n = FromSpans(at, dest, want);
        if (n == 0) n = m_cursor.FromHistory(at, dest, want);
        bool here = n == 0 && m_cursor.Ready() && at == m_cursor.Position();
        if (here) m_filling = nullptr;
        if (here && want >= kReadAheadMinimum && !m_points->SizeKnown() && m_ahead.Start()) continue;
        if (here) n = m_cursor.Decode(dest, want);
        if (n > 0) {
            done += n;
            sought = false;
            continue;
        }
        // Nothing came where the cursor stood, or a seek brought nothing: the data ends here.
        if (sought || here || !Seek(at)) break;
        sought = true;
    }
    // A read that reaches a zip entry's declared end (all of it, when it is empty) goes on to
    // the stream's own end, which checks the entry and makes its size known.
    uint64_t end = offset + done;
    if (end == 0 && m_points->Size() == 0 && !m_points->SizeKnown() && !m_cursor.Ready()) Seek(0);
    if (end >= m_points->Size() && !m_points->SizeKnown() && !m_ahead.Active() && m_cursor.Ready() &&
        m_cursor.Position() == end) {
        m_cursor.Decode(nullptr, 1);
    }
    // What a damage found during this read cut off is not handed out.
    uint64_t size = m_points->Size();
    if (offset + done > size) done = offset < size ? static_cast<uint32_t>(size - offset) : 0;
    return done;
}
