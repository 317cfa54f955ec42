// Copying and saving rows of several logs. A row is read whole from its own log (a window
// per log, as the logs interleave) and decoded in that log's code page.
#include "merge/merged_export.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "document/escape_codes.h"
#include "document/row_cells.h"
#include "foundation/buffer.h"
#include "foundation/convert.h"
#include "search/line_window.h"

namespace {

constexpr int64_t kRowsBetweenChecks = 4096;
constexpr int kCancelled = -2;
constexpr uint32_t kOutChunk = 1u << 20;

bool Stop(const std::atomic<int>* cancel, CProgressListener* listener, int64_t done, int64_t total) {
    if (done % kRowsBetweenChecks != 0) return false;
    if (listener != nullptr) listener->OnProgress(static_cast<uint64_t>(done), static_cast<uint64_t>(total));
    return cancel != nullptr && cancel->load() != 0;
}

// Buffered writes to the sink.
class CSinkWriter {
public:
    explicit CSinkWriter(CRowSink* sink) : m_sink(sink) {}
    int Put(const char* bytes, uint32_t length) {
        if (m_pending + length > kOutChunk && !Flush()) return 0;
        if (length >= kOutChunk) return m_sink->Write(bytes, length);
        if (!m_out.Grow(kOutChunk)) return 0;
        std::memcpy(m_out.Data() + m_pending, bytes, length);
        m_pending += length;
        return 1;
    }
    int Flush() {
        uint32_t length = m_pending;
        m_pending = 0;
        return length == 0 || m_sink->Write(m_out.Data(), length);
    }

private:
    CRowSink* m_sink;
    CGrowBuffer<char> m_out;
    uint32_t m_pending = 0;
};

// Each log's window over its reader, made when its first row is met.
class CLogWindows {
public:
    explicit CLogWindows(const CLogReaders& readers) : m_readers(readers) {}
    // The bytes of a row of log (got of them), or null.
    const char* Bytes(int log, const CLogLine& line, uint32_t* got) {
        *got = 0;
        if (log < 0 || log >= m_readers.Count() || line.length <= 0) return nullptr;
        if (m_windows[log] == nullptr) m_windows[log].reset(new (std::nothrow) CLineWindow(m_readers.File(log)));
        if (m_windows[log] == nullptr) return nullptr;
        return m_windows[log]->Get(line.offset, static_cast<uint32_t>(line.length), false, got);
    }

private:
    const CLogReaders& m_readers;
    std::unique_ptr<CLineWindow> m_windows[kMaxRowLogs];
};

// A row's text as shown, without its line break, in UTF-8, after its cells and log name.
int PutShown(CSinkWriter* out, const CRowCell& cell, const char* name, const char* bytes, uint32_t length,
             unsigned codePage, bool hideEscapes, CGrowBuffer<char16_t>* wide, CGrowBuffer<char>* utf8) {
    char head[96];
    int n = std::snprintf(head, sizeof head, "%lld\t", static_cast<long long>(cell.shownNumber));
    for (int k = 0; cell.hasInterval && cell.interval[k] != 0 && n < 90; ++k)
        head[n++] = static_cast<char>(cell.interval[k]);
    head[n++] = '\t';
    if (!out->Put(head, static_cast<uint32_t>(n))) return 0;
    if (name != nullptr && !out->Put(name, static_cast<uint32_t>(std::strlen(name)))) return 0;
    if (!out->Put("\t", 1)) return 0;
    int units = length > 0 ? MultiByteToWide(codePage, bytes, static_cast<int>(length), nullptr, 0) : 0;
    if (units > 0) {
        if (!wide->Grow(static_cast<size_t>(units))) return 0;
        units = MultiByteToWide(codePage, bytes, static_cast<int>(length), wide->Data(), units);
        if (hideEscapes && units > 0) units = HideEscapes(wide->Data(), units);
        const char16_t* w = wide->Data();
        auto isBreak = [](char16_t c) { return c == u'\r' || c == u'\n'; };
        if (units > 0 && isBreak(w[units - 1])) {
            --units;
            if (units > 0 && isBreak(w[units - 1]) && w[units - 1] != w[units]) --units;
        }
    }
    if (units > 0) {
        int m = WideToMultiByte(kCodePageUtf8, wide->Data(), units, nullptr, 0);
        if (m <= 0 || !utf8->Grow(static_cast<size_t>(m))) return 0;
        m = WideToMultiByte(kCodePageUtf8, wide->Data(), units, utf8->Data(), m);
        if (m <= 0 || !out->Put(utf8->Data(), static_cast<uint32_t>(m))) return 0;
    }
    return out->Put("\r\n", 2);
}

}  // namespace

namespace {

// Each row from its own log, in that log's code page.
class CMergedRowReader : public CRowTextReader {
public:
    CMergedRowReader(const CRowLogs& logs, const CLogReaders& readers) : m_logs(logs), m_readers(readers) {}
    int Read(int64_t row, const CLogLine& line, char* bytes, char16_t* text) const override {
        int log = m_logs.LogOf(CRow(row), line);
        return ReadRowText(m_readers.File(log), line, m_readers.CodePage(log), bytes, text);
    }

private:
    const CRowLogs& m_logs;
    const CLogReaders& m_readers;
};

}  // namespace

char16_t* LogRowsText(const CRowSource& rows, const CRowLogs& logs, const CLogReaders& readers, const CRowRange& range,
                      bool hideEscapes, const std::atomic<int>* cancel, CProgressListener* listener) {
    return RowsText(rows, CMergedRowReader(logs, readers), range, hideEscapes, cancel, listener);
}

int ExportLogRows(const CRowSource& rows, const CRowLogs& logs, const CLogReaders& readers, const char* const* names,
                  const CRowExport& how, CRowSink* sink, const std::atomic<int>* cancel, CProgressListener* listener) {
    if (sink == nullptr) return 0;
    bool shown = how.format == CRowFormat::kAsShown;
    std::unique_ptr<CLogWindows> windows(new (std::nothrow) CLogWindows(readers));
    std::unique_ptr<CSinkWriter> out(new (std::nothrow) CSinkWriter(sink));
    if (windows == nullptr || out == nullptr) return 0;
    if (shown && !out->Put("\xEF\xBB\xBF", 3)) return 0;
    CRowCells cells(rows, CRow(0), how.intervalCheck, how.intervalTime);
    CGrowBuffer<char16_t> wide;
    CGrowBuffer<char> utf8;
    int64_t count = rows.Count();
    CRowWalker walker(rows, CRow(0));
    CLogLine line;
    for (int64_t i = 0; i < count && walker.Next(&line); ++i) {
        if (Stop(cancel, listener, i, count)) return kCancelled;
        int log = logs.LogOf(CRow(i), line);
        uint32_t length = line.length > 0 ? static_cast<uint32_t>(line.length) : 0;
        uint32_t got = 0;
        const char* bytes = length > 0 ? windows->Bytes(log, line, &got) : "";
        if (bytes == nullptr || got != length) return 0;
        int ok = 1;
        if (shown) {
            CRowCell cell;
            cells.Next(line, &cell);
            ok = PutShown(out.get(), cell, log >= 0 ? names[log] : nullptr, bytes, length, readers.CodePage(log),
                          how.hideEscapes, &wide, &utf8);
        } else {
            ok = out->Put(bytes, length);
        }
        if (!ok) return 0;
    }
    if (listener != nullptr) listener->OnProgress(static_cast<uint64_t>(count), static_cast<uint64_t>(count));
    return out->Flush();
}
