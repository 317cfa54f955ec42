// Row texts for the view and the clipboard copy.
#include "document/row_text.h"

#include <cstdlib>
#include <cstring>

#include "document/encoding.h"
#include "document/escape_codes.h"
#include "foundation/convert.h"

namespace {

constexpr int32_t kRowsBetweenChecks = 4096;

int Clamp(int value, int low, int high) { return value < low ? low : (value > high ? high : value); }

}  // namespace

int ReadRowText(CFile* file, const CLogLine& line, unsigned codePage, char* bytes, char16_t* text) {
    if (file == nullptr || line.length <= 0) return 0;
    uint32_t want = line.length < kRowTextBytes ? static_cast<uint32_t>(line.length) : kRowTextBytes;
    uint32_t read = file->Read(bytes, want, line.offset);
    if (read == 0) return 0;
    bytes[read] = 0;
    // The text ends at the first NUL character, as a C string would.
    int n = static_cast<int>(TextByteLength(bytes, read, codePage));
    if (n == 0) return 0;
    int units = MultiByteToWide(codePage, bytes, n, text, kRowTextBytes);
    return units > 0 ? units : 0;
}

char16_t* RowsText(const CRowSource& rows, const CRowTextReader& reader, const CRowRange& range, bool hideEscapes,
                   const std::atomic<int>* cancel, CProgressListener* listener) {
    int64_t first = range.firstRow < 0 ? 0 : range.firstRow;
    int64_t last = range.lastRow < rows.Count() ? range.lastRow : rows.Count() - 1;
    // Each row decodes to at most as many units as it has bytes (up to the prefix).
    size_t capacity = 1;
    CLogLine line;
    CRowWalker sizes(rows, CRow(first));
    for (int64_t i = first; i <= last && sizes.Next(&line); ++i)
        capacity +=
            static_cast<size_t>(line.length < kRowTextBytes ? (line.length > 0 ? line.length : 0) : kRowTextBytes);
    auto* result = static_cast<char16_t*>(std::malloc(capacity * sizeof(char16_t)));
    auto* bytes = static_cast<char*>(std::malloc(kRowTextBytes + 1));
    auto* text = static_cast<char16_t*>(std::malloc(kRowTextBytes * sizeof(char16_t)));
    bool ok = result != nullptr && bytes != nullptr && text != nullptr;
    size_t used = 0;
    if (ok) result[0] = 0;
    CRowWalker walker(rows, CRow(first));
    for (int64_t i = first; ok && i <= last; ++i) {
        if ((i - first) % kRowsBetweenChecks == 0) {
            if (listener != nullptr)
                listener->OnProgress(static_cast<uint64_t>(i - first), static_cast<uint64_t>(last - first + 1));
            if (cancel != nullptr && cancel->load() != 0) ok = false;
        }
        if (!ok || !walker.Next(&line)) break;
        int count = reader.Read(i, line, bytes, text);
        if (hideEscapes) count = HideEscapes(text, count);
        int s = i == range.firstRow ? Clamp(range.firstColumn, 0, count) : 0;
        int e = i == range.lastRow ? Clamp(range.lastColumn, 0, count) : count;
        if (e <= s) continue;
        auto part = static_cast<size_t>(e - s);
        if (used + part + 1 > capacity) part = capacity - used - 1;  // a row decoded wider than its bytes
        std::memcpy(result + used, text + s, part * sizeof(char16_t));
        used += part;
        result[used] = 0;
    }
    std::free(bytes);
    std::free(text);
    if (!ok) {
        std::free(result);
        return nullptr;
    }
    return result;
}

namespace {

// Each row through one file, or through its own.
class CFileRowReader : public CRowTextReader {
public:
    CFileRowReader(const CRowSource& rows, CFile* file, unsigned codePage)
        : m_rows(rows), m_file(file), m_codePage(codePage) {}
    int Read(int64_t row, const CLogLine& line, char* bytes, char16_t* text) const override {
        return ReadRowText(m_file != nullptr ? m_file : m_rows.FileOf(CRow(row)), line, m_codePage, bytes, text);
    }

private:
    const CRowSource& m_rows;
    CFile* m_file;
    unsigned m_codePage;
};

}  // namespace

char16_t* RangeText(const CRowSource& rows, CFile* file, const CRowRange& range, unsigned codePage, bool hideEscapes,
                    const std::atomic<int>* cancel, CProgressListener* listener) {
    return RowsText(rows, CFileRowReader(rows, file, codePage), range, hideEscapes, cancel, listener);
}
