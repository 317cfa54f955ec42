// Rows written out as in the log or as shown.
#include "document/row_export.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "document/escape_codes.h"
#include "document/row_cells.h"
#include "foundation/buffer.h"
#include "foundation/convert.h"

namespace {

constexpr int32_t kRowsBetweenChecks = 4096;
constexpr int kScanCancelledStatus = -2;
constexpr uint32_t kChunk = 1u << 20;  // the read window, the write buffer and a long line's pieces

// Reads through a window of the file and writes through a buffer: rows are small, and one
// system call per row would make a large save crawl.
class CRowWriter {
public:
    CRowWriter(CFile* file, CRowSink* sink) : m_file(file), m_sink(sink) {}

    // The line's bytes as they are, in pieces.
    int Raw(const CLogLine& line) {
        uint64_t done = 0;
        uint64_t length = line.length > 0 ? static_cast<uint64_t>(line.length) : 0;
        while (done < length) {
            uint32_t piece = length - done < kChunk ? static_cast<uint32_t>(length - done) : kChunk;
            const char* bytes = Bytes(line.offset + done, piece);
            if (bytes == nullptr || !Put(bytes, piece)) return 0;
            done += piece;
        }
        return 1;
    }

    // Number, interval and the text without its line break, then CR LF.
    int Shown(const CLogLine& line, const CRowCell& cell, unsigned codePage, bool hideEscapes) {
        char head[96];
        int n = std::snprintf(head, sizeof head, "%lld\t", static_cast<long long>(cell.shownNumber));
        for (int k = 0; cell.hasInterval && cell.interval[k] != 0 && n < 90; ++k)
            head[n++] = static_cast<char>(cell.interval[k]);
        head[n++] = '\t';
        if (!Put(head, static_cast<uint32_t>(n)) || !Text(line, codePage, hideEscapes)) return 0;
        return Put("\r\n", 2);
    }

    int Put(const char* bytes, uint32_t length) {
        if (m_pending + length > kChunk && !Flush()) return 0;
        if (length >= kChunk) return m_sink->Write(bytes, length);
        if (!m_out.Grow(kChunk)) return 0;
        std::memcpy(m_out.Data() + m_pending, bytes, length);
        m_pending += length;
        return 1;
    }

    int Flush() {
        if (m_pending == 0) return 1;
        uint32_t length = m_pending;
        m_pending = 0;
        return m_sink->Write(m_out.Data(), length);
    }

private:
    // length (at most kChunk) bytes at offset, from the window (read again when they are
    // not all in it); null when the file cannot give them.
    const char* Bytes(uint64_t offset, uint32_t length) {
        if (offset < m_windowStart || offset + length > m_windowStart + m_windowLength) {
            if (!m_window.Grow(kChunk)) return nullptr;
            uint64_t size = m_file->Size();
            uint32_t want = kChunk;
            if (size > offset && size - offset < want) want = static_cast<uint32_t>(size - offset);
            if (want < length) want = length;
            m_windowStart = offset;
            m_windowLength = m_file->Read(m_window.Data(), want, offset);
            if (m_windowLength < length) {
                m_windowLength = 0;
                return nullptr;
            }
        }
        return m_window.Data() + (offset - m_windowStart);
    }

    int Text(const CLogLine& line, unsigned codePage, bool hideEscapes) {
        uint32_t length = line.length > 0 ? static_cast<uint32_t>(line.length) : 0;
        if (length == 0) return 1;
        const char* bytes = length <= kChunk ? Bytes(line.offset, length) : nullptr;
        if (length > kChunk) {
            if (!m_long.Grow(length) || m_file->Read(m_long.Data(), length, line.offset) != length) return 0;
            bytes = m_long.Data();
        }
        if (bytes == nullptr) return 0;
        int units = MultiByteToWide(codePage, bytes, static_cast<int>(length), nullptr, 0);
        if (units <= 0 || !m_wide.Grow(static_cast<size_t>(units))) return units == 0;
        units = MultiByteToWide(codePage, bytes, static_cast<int>(length), m_wide.Data(), units);
        if (hideEscapes && units > 0) units = HideEscapes(m_wide.Data(), units);
        // One break at most ends a line: CR, LF, or a CR LF / LF CR pair.
        const char16_t* wide = m_wide.Data();
        auto isBreak = [](char16_t c) { return c == u'\r' || c == u'\n'; };
        if (units > 0 && isBreak(wide[units - 1])) {
            --units;
            if (units > 0 && isBreak(wide[units - 1]) && wide[units - 1] != wide[units]) --units;
        }
        if (units == 0) return 1;
        int n = WideToMultiByte(kCodePageUtf8, wide, units, nullptr, 0);
        if (n <= 0 || !m_utf8.Grow(static_cast<size_t>(n))) return 0;
        n = WideToMultiByte(kCodePageUtf8, wide, units, m_utf8.Data(), n);
        return n > 0 && Put(m_utf8.Data(), static_cast<uint32_t>(n));
    }

    CFile* m_file;
    CRowSink* m_sink;
    CGrowBuffer<char> m_window;
    uint64_t m_windowStart = 0;
    uint32_t m_windowLength = 0;
    CGrowBuffer<char> m_out;
    uint32_t m_pending = 0;
    CGrowBuffer<char> m_long;
    CGrowBuffer<char16_t> m_wide;
    CGrowBuffer<char> m_utf8;
};

}  // namespace

int ExportRows(CFile* file, const CLogLineList& lines, const CRowExport& how, CRowSink* sink,
               const std::atomic<int>* cancel, CProgressListener* listener) {
    if (file == nullptr || sink == nullptr) return 0;
    bool shown = how.format == CRowFormat::kAsShown;
    std::unique_ptr<CRowWriter> writer(new (std::nothrow) CRowWriter(file, sink));
    if (writer == nullptr) return 0;
    if (shown && !writer->Put("\xEF\xBB\xBF", 3)) return 0;
    CRowCells cells(lines, 0, how.intervalCheck, how.intervalTime);
    int64_t count = lines.Count();
    CLogLineReader reader(lines, 0);
    for (int64_t i = 0; i < count; ++i) {
        if (i % kRowsBetweenChecks == 0) {
            if (cancel != nullptr && cancel->load() != 0) return kScanCancelledStatus;
            if (listener != nullptr) listener->OnProgress(static_cast<uint64_t>(i), static_cast<uint64_t>(count));
        }
        CLogLine line;
        if (!reader.Next(&line)) break;
        int ok = 1;
        if (shown) {
            CRowCell cell;
            cells.Next(line, &cell);
            ok = writer->Shown(line, cell, how.codePage, how.hideEscapes);
        } else {
            ok = writer->Raw(line);
        }
        if (!ok) return 0;
    }
    if (listener != nullptr) listener->OnProgress(static_cast<uint64_t>(count), static_cast<uint64_t>(count));
    return writer->Flush();
}
