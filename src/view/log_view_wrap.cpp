// CLogView with View > Wrap Long Lines: each row's shown text wraps at the message column's
// width onto further visual lines. The first visible row may start at a line of its own, the
// scroll bar still counts rows, and only the rows on and near the screen are ever wrapped.
#include <cstdlib>

#include "config/color_labels.h"
#include "document/row_cells.h"
#include "keywords/token_scanner.h"
#include "view/log_view.h"
#include "view/row_draw_scratch.h"
#include "view/overview_strip.h"

namespace {

// The colour-table entry of normal text, and the cell where the message column starts (as
// the mouse counts cells); a little room is left right of the wrapped text.
constexpr int kColorNormalEntry = 0;
constexpr int kMessageCell = 30;
constexpr int kWrapMargin = 2;

// The view's rows as line counts for the moves of document/row_wrap.h.
class CViewLines : public CLineCounter {
public:
    explicit CViewLines(CLogView& view) : m_view(view) {}
    int32_t LinesOf(int64_t row) override { return m_view.LinesOf(row); }

private:
    CLogView& m_view;
};

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

int CLogView::WrapWidth() const {
    RECT client = {};
    if (m_window != nullptr) GetClientRect(m_window, &client);
    int right = client.right - (m_overview != nullptr ? COverviewStrip::Width(m_dpi) : 0);
    int width = right - MessageLeft() - Scaled(kWrapMargin);
    int cw = m_charWidth > 0 ? m_charWidth : 1;
    return width > cw ? width : cw;
}

bool CLogView::PrepareWrapBuffers() {
    return m_wrapBytes.Grow(kRowDrawBytes + 1) && m_wrapText.Grow(kRowDrawBytes) &&
           m_wrapOffsets.Grow(kRowDrawBytes + 1) && m_wrapWidths.Grow(kRowDrawBytes);
}

int CLogView::WrapRowText(CRow row, const CLogLine& line, CRowWrap* wrap, CStyleRun* runs, int* runCount) {
    if (!PrepareWrapBuffers()) return -1;
    char16_t* text = m_wrapText.Data();
    int units = ReadRowPrefix(row, line, m_wrapBytes.Data(), text, runs, runCount);
    // The line break stays in the text for search and copy, but is not shown.
    while (units > 0 && (text[units - 1] == u'\r' || text[units - 1] == u'\n')) --units;
    // Fixed-pitch cells, as the selection and the pointer count them; a surrogate pair is
    // one piece of the cells of both its halves, so that no line splits it.
    int cw = m_charWidth > 0 ? m_charWidth : 1;
    int32_t* widths = m_wrapWidths.Data();
    int32_t* offsets = m_wrapOffsets.Data();
    offsets[0] = 0;
    for (int i = 0; i < units; ++i) {
        widths[i] = CellWidth(text[i]) * cw;
        offsets[i + 1] = offsets[i] + widths[i];
        if (i > 0 && IsLowSurrogate(text[i]) && IsHighSurrogate(text[i - 1])) {
            widths[i - 1] += widths[i];
            widths[i] = 0;
        }
    }
    wrap->Wrap(text, widths, units, WrapWidth());
    return units;
}

int32_t CLogView::LinesOf(int64_t row) {
    if (!Wraps()) return 1;
    // Counts hold for a width, a font and a decoding: another one forgets them.
    CWrapKey key{WrapWidth(), m_charWidth, m_settings.codePage, m_settings.colorCodes, m_rows.get()};
    if (!(key == m_wrapKey)) {
        m_wrapKey = key;
        m_lineCounts.Forget();
    }
    int32_t known = m_lineCounts.Find(row);
    if (known > 0) return known;
    CLogLine line;
    int32_t count =
        RowEntry(CRow(row), &line) && WrapRowText(CRow(row), line, &m_wrapRow) >= 0 ? m_wrapRow.LineCount() : 1;
    m_lineCounts.Keep(row, count);
    return count;
}

void CLogView::SetFirstPlace(int64_t row, int32_t line) {
    if (row == m_vScroll.position && line == m_firstLine) return;
    m_vScroll.position = row < 0 ? 0 : row;
    m_firstLine = line < 0 ? 0 : line;
    ShowScrollPosition(true);
    Invalidate();
}

void CLogView::ScrollLines(int64_t delta) {
    CViewLines counter(*this);
    CWrapPlace place = MoveWrapPlace(CWrapPlace{m_vScroll.position, m_firstLine}, delta, RowCount(), counter);
    SetFirstPlace(place.row, place.line);
}

void CLogView::CentreWrapped(int64_t row) {
    CViewLines counter(*this);
    CWrapPlace place = MoveWrapPlace(CWrapPlace{row, 0}, -(m_visibleRows / 2), RowCount(), counter);
    SetFirstPlace(place.row, place.line);
}

void CLogView::KeepRowInWindow(int64_t row) {
    // Lines under the header; the last one may be cut.
    int64_t room = m_visibleRows > 2 ? m_visibleRows - 2 : 1;
    if (row < m_vScroll.position || (row == m_vScroll.position && m_firstLine > 0)) {
        SetFirstPlace(row, 0);
        return;
    }
    // The lines from the window's top to the row's last one, counted no further than the window.
    int64_t lines = LinesOf(m_vScroll.position) - m_firstLine;
    for (int64_t r = m_vScroll.position + 1; r <= row && lines <= room; ++r) lines += LinesOf(r);
    if (lines <= room) return;
    CViewLines counter(*this);
    CWrapPlace last{row, LinesOf(row) - 1};
    CWrapPlace place = MoveWrapPlace(last, -(room - 1), RowCount(), counter);
    // A row taller than the window shows from its first line.
    if (place.row == row && place.line > 0) place = CWrapPlace{row, 0};
    SetFirstPlace(place.row, place.line);
}

int CLogView::WrappedOffset(int64_t windowLine, int cell, int64_t* row) {
    CViewLines counter(*this);
    int64_t moved = 0;
    CWrapPlace place =
        MoveWrapPlace(CWrapPlace{m_vScroll.position, m_firstLine}, windowLine, RowCount(), counter, &moved);
    *row = place.row;
    CLogLine line;
    if (!RowEntry(CRow(place.row), &line) || WrapRowText(CRow(place.row), line, &m_wrapRow) < 0) return 0;
    const int32_t* offsets = m_wrapOffsets.Data();
    int cw = m_charWidth > 0 ? m_charWidth : 1;
    int start = offsets[m_wrapRow.LineStart(place.line)] / cw;
    int end = offsets[m_wrapRow.LineEnd(place.line)] / cw;
    // Below the last row's last line the pointer stands after its end, as below the rows.
    if (moved < windowLine) {
        *row = place.row + (windowLine - moved);
        return end;
    }
    int into = cell - kMessageCell;
    if (into < 0) into = 0;
    return start + into < end ? start + into : end;
}

void CLogView::DrawRowsWrapped(HDC dc, const RECT& client, HBRUSH lineBrush, HBRUSH intervalBrush) {
    int p = m_rowPitch > 0 ? m_rowPitch : 1;
    // Every row takes at least one line: the window's lines are enough rows.
    int linesToDraw = (client.bottom - client.top - 1 + p) / p;
    CRow first(m_vScroll.position);
    auto* lines =
        static_cast<CLogLine*>(std::malloc(sizeof(CLogLine) * static_cast<size_t>(linesToDraw > 0 ? linesToDraw : 1)));
    bool labelled = m_labels != nullptr && !m_labels->Empty();
    CRowDrawScratch scratch(m_settings.colorCodes != 0, kRowDrawBytes, labelled);
    CStyleRun* runs = scratch.Runs();
    bool ready = lines != nullptr && scratch.Ready() && PrepareWrapBuffers();
    int64_t shown = ready ? m_rows->ReadRows(first, linesToDraw, lines) : 0;
    CRowCells cells(*m_rows, first, m_settings.intervalCheck, m_settings.intervalTime);
    int marker = FirstMarkerToDraw(first);
    m_drawRight = client.right;
    m_shownRows = 0;
    int skip = m_firstLine;
    int y = p;
    for (int k = 0; k < shown && y < client.bottom; ++k) {
        const CLogLine& line = lines[k];
        CRow row = first + k;
        UseColors(dc, kColorNormalEntry);
        int runCount = 0;
        int units = WrapRowText(row, line, &m_wrapRow, runs, &runCount);
        if (skip >= m_wrapRow.LineCount()) skip = m_wrapRow.LineCount() - 1;
        const char16_t* text = m_wrapText.Data();
        if (units > 0) {
            m_layout = CRowLayout{text, m_wrapOffsets.Data(), m_wrapWidths.Data(), &m_wrapRow, skip,
                                  y,    MessageLeft(),        client.bottom};
            int spanCount = labelled ? m_labels->FindSpans(text, units, scratch.Spans(), kRowDrawBytes) : 0;
            DrawRowText(dc, MessageLeft(), y, text, units, runs, runCount, scratch.Spans(), spanCount);
            if (m_selectionMode != CSelectionMode::kNone) DrawSelection(dc, row.Value(), MessageLeft(), y, text, units);
            m_layout = CRowLayout{};
        }
        // The cells once, beside the row's first line in the window.
        DrawRowStart(dc, y, row, line, &cells, &marker, lineBrush, intervalBrush);
        ++m_shownRows;
        y += p * (m_wrapRow.LineCount() - skip);
        skip = 0;
    }
    m_drawRight = kNoDrawLimit;
    std::free(lines);
}

int CLogView::DrawWrappedPiece(HDC dc, const char16_t* text, int length, bool underline) {
    const CRowLayout& l = m_layout;
    int p = m_rowPitch > 0 ? m_rowPitch : 1;
    auto start = static_cast<int>(text - l.text);
    int end = start + length;
    while (start < end) {
        int line = l.wrap->LineOf(start);
        int stop = l.wrap->LineEnd(line) < end ? l.wrap->LineEnd(line) : end;
        if (stop <= start) stop = end;
        int y = l.top + (line - l.firstLine) * p;
        // The rest lies below the window: the row's drawing may stop.
        if (y >= l.bottom) return kNoDrawLimit;
        if (line >= l.firstLine) {
            int x = l.left + l.offsets[start] - l.offsets[l.wrap->LineStart(line)];
            // Each unit advances by its cells, as the lines were laid out: a bold or a
            // substituted glyph may not push the rest of the line along.
            ExtTextOutW(dc, x, y, 0, nullptr, reinterpret_cast<const wchar_t*>(l.text + start),
                        static_cast<UINT>(stop - start), reinterpret_cast<const INT*>(l.widths + start));
            if (underline) Underline(dc, x, x + l.offsets[stop] - l.offsets[start], y, GetTextColor(dc));
        }
        start = stop;
    }
    return 0;
}
