// CLogView row texts and the selection: reading and converting rows, the text column
// under the pointer, word selection and the selected text for the clipboard.
#include <cstdlib>
#include <cstring>

#include "document/encoding.h"
#include "document/escape_codes.h"
#include "document/row_text.h"
#include "foundation/convert.h"
#include "keywords/token_scanner.h"
#include "view/log_view.h"

char16_t* CLogView::GetRowText(int64_t index, int* count) {
    *count = 0;
    CLogLine line;
    CLogFile* file = RowEntry(CRow(index), &line) ? m_rows->FileOf(CRow(index)) : nullptr;
    if (file == nullptr || line.length <= 0) return nullptr;
    auto length = static_cast<uint32_t>(line.length);
    auto* bytes = static_cast<char*>(std::malloc(length + 1));
    if (bytes == nullptr) return nullptr;
    uint32_t read = file->ReadLine(bytes, length, line.offset);
    char16_t* text = nullptr;
    if (read > 0) text = static_cast<char16_t*>(std::malloc((static_cast<size_t>(read) + 1) * sizeof(char16_t)));
    if (text != nullptr) {
        int n =
            MultiByteToWide(CodePageOf(CRow(index), line), bytes, static_cast<int>(read), text, static_cast<int>(read));
        if (n > 0 && m_settings.colorCodes != 0) n = HideEscapes(text, n);
        if (n > 0) {
            text[n] = 0;
            *count = n;
        } else {
            std::free(text);
            text = nullptr;
        }
    }
    std::free(bytes);
    return text;
}

int CLogView::ReadRowPrefix(CRow row, const CLogLine& line, char* bytes, char16_t* text, CStyleRun* runs,
                            int* runCount) {
    if (runCount != nullptr) *runCount = 0;
    CLogFile* file = m_rows != nullptr ? m_rows->FileOf(row) : nullptr;
    if (file == nullptr || line.length <= 0) return 0;
    uint32_t want = line.length < kRowDrawBytes ? static_cast<uint32_t>(line.length) : kRowDrawBytes;
    uint32_t read = file->ReadLine(bytes, want, line.offset);
    if (read == 0) return 0;
    bytes[read] = 0;
    // The text ends at the first NUL character, as a C string would.
    unsigned codePage = CodePageOf(row, line);
    int n = static_cast<int>(TextByteLength(bytes, read, codePage));
    if (n == 0) return 0;
    int units = MultiByteToWide(codePage, bytes, n, text, kRowDrawBytes);
    if (units > 0 && m_settings.colorCodes != 0) units = HideEscapes(text, units, runs, runCount);
    return units > 0 ? units : 0;
}

int CLogView::TextColumnAt(int64_t row, int offset, int* rowCount) {
    int count = 0;
    char16_t* text = GetRowText(row, &count);
    int column = text != nullptr ? DisplayOffsetToColumn(text, count, offset) : 0;
    std::free(text);
    if (rowCount != nullptr) *rowCount = count;
    return column;
}

void CLogView::FindTokenAt(const char16_t* text, int count, int offset, int* start, int* length) const {
    ::FindTokenAt(text, count, offset, start, length);
}

void CLogView::SelectTokenAt(int64_t row, int offset) {
    auto* bytes = static_cast<char*>(std::malloc(kRowDrawBytes + 1));
    auto* text = static_cast<char16_t*>(std::malloc(kRowDrawBytes * sizeof(char16_t)));
    CLogLine line;
    bool read = bytes != nullptr && text != nullptr && RowEntry(CRow(row), &line);
    int count = read ? ReadRowPrefix(CRow(row), line, bytes, text) : 0;
    int start = 0;
    int length = 0;
    FindTokenAt(text, count, offset, &start, &length);
    std::free(bytes);
    std::free(text);
    if (length <= 0) return;
    m_selFirstRow = row;
    m_selLastRow = row;
    m_selFirstColumn = start;
    m_selLastColumn = start + length;
    m_selectionMode = CSelectionMode::kMade;
    // The copy command follows the new selection.
    NotifyStateChanged();
}

void CLogView::SelectAll() {
    int64_t count = RowCount();
    if (count == 0) return;
    m_selFirstRow = 0;
    m_selFirstColumn = 0;
    m_selLastRow = count - 1;
    // Byte length: never fewer units than the row decodes to; copying and drawing clamp it.
    m_selLastColumn = LineLength(count - 1);
    m_selectionMode = CSelectionMode::kMade;
    ReportSelection(false, 0);
    NotifyStateChanged();
    Invalidate();
}

char16_t* CLogView::GetSelectedText() {
    if (!HasCopyableSelection()) return nullptr;
    char16_t* result = RangeText(*m_rows, nullptr, SelectedRange(), m_settings.codePage, m_settings.colorCodes != 0);
    m_selectionMode = CSelectionMode::kNone;
    Invalidate();
    return result;
}

bool CLogView::HasCopyableSelection() const {
    return m_selectionMode == CSelectionMode::kMade && m_selFirstRow <= m_selLastRow && HasRows() && File() != nullptr;
}

CRowRange CLogView::SelectedRange() const {
    CRowRange range;
    range.firstRow = m_selFirstRow;
    range.firstColumn = m_selFirstColumn;
    range.lastRow = m_selLastRow;
    range.lastColumn = m_selLastColumn;
    return range;
}
