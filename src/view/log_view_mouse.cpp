// CLogView mouse handling: the hit test, click and drag selection with auto-scroll,
// and the double click (jump, word selection, marker) by column.
#include "foundation/format.h"
#include "view/log_view.h"

namespace {

// Cells of the line-number column (margin included) and where the message column starts.
constexpr int kLastLineNumberCell = 10;
constexpr int kFirstMessageCell = 30;
// Cells are counted from 4 pixels in, rows from 2 pixels down (at 96 DPI).
constexpr int kCellMargin = 4;
constexpr int kRowMargin = 2;

}  // namespace

CLogView::HitPoint CLogView::HitTest(int x, int y) {
    int cw = m_charWidth > 0 ? m_charWidth : 1;
    int p = m_rowPitch > 0 ? m_rowPitch : 1;
    HitPoint hit;
    int left = Scaled(kCellMargin);
    int top = Scaled(kRowMargin);
    hit.cell = x < left ? -1 : (x - left) / cw;
    int r = y < top ? 0 : (y - top) / p - 1;
    hit.windowRow = r < 0 ? 0 : r;
    if (Wraps() && HasRows()) {
        hit.offset = WrappedOffset(hit.windowRow, hit.cell, &hit.row);
    } else {
        hit.row = hit.windowRow + m_vScroll.position;
        hit.offset = TextOffsetOfCell(hit.cell);
    }
    return hit;
}

int CLogView::TextOffsetOfCell(int cell) const {
    int offset = cell - kFirstMessageCell + static_cast<int>(m_hScroll.position);
    return offset < 0 ? 0 : offset;
}

void CLogView::ReportSelection(bool withCount, int count) {
    char16_t text[128];
    if (withCount) {
        FormatString(text, 128, u"Top(%lld, %d) - End(%lld, %d) mode=%d, cnt=%d\n",
                     static_cast<long long>(m_selFirstRow), m_selFirstColumn, static_cast<long long>(m_selLastRow),
                     m_selLastColumn, static_cast<int>(m_selectionMode), count);
    } else {
        FormatString(text, 128, u"Top(%lld, %d) - End(%lld, %d) mode=%d\n", static_cast<long long>(m_selFirstRow),
                     m_selFirstColumn, static_cast<long long>(m_selLastRow), m_selLastColumn,
                     static_cast<int>(m_selectionMode));
    }
    SetStatus(0, text);
}

int CLogView::OnLButtonDown(int x, int y) {
    SetFocus(m_window);
    if (!HasRows()) return 1;
    SetCapture(m_window);
    HitPoint hit = HitTest(x, y);
    int column = TextColumnAt(hit.row, hit.offset, nullptr);
    m_selFirstRow = hit.row;
    m_selLastRow = hit.row;
    m_selFirstColumn = column;
    m_selLastColumn = column;
    m_selectionMode = CSelectionMode::kDragging;
    ReportSelection(false, 0);
    Invalidate();
    return 1;
}

int CLogView::OnMouseMove(int x, int y) {
    if (m_selectionMode != CSelectionMode::kDragging) return HoverSource(x, y);
    HitPoint hit = HitTest(x, y);
    int cell = hit.cell < 0 ? 0 : hit.cell;
    int count = 0;
    m_selLastRow = hit.row;
    // Left of the margin counts as its first cell.
    m_selLastColumn = TextColumnAt(hit.row, Wraps() ? hit.offset : TextOffsetOfCell(cell), &count);
    ReportSelection(true, count);
    // Scroll ahead of the pointer near the bottom and top edges, and near the right edge.
    int64_t first = m_vScroll.position;
    int r = hit.windowRow;
    if (Wraps()) {
        // By visual lines; the rows never stand wider than the window.
        if (r + 3 >= m_visibleRows) ScrollLines(r - m_visibleRows + 3);
        if (r < 4) ScrollLines(-(4 - r));
        Invalidate();
        return 1;
    }
    if (r + 3 >= m_visibleRows) {
        int64_t candidate = first + r - m_visibleRows + 3;
        if (candidate <= m_vScroll.maximum - m_vScroll.page / 2) m_vScroll.position = candidate;
    } else if (r < 4) {
        int64_t candidate = first - (4 - r);
        m_vScroll.position = candidate < 0 ? 0 : candidate;
    }
    if (cell + 5 >= m_visibleColumns) {
        int64_t candidate = m_hScroll.position + cell - m_visibleColumns + 5;
        if (candidate <= m_hScroll.maximum - m_hScroll.page / 2) m_hScroll.position = candidate;
    }
    // The bars' thumbs follow the rows and columns scrolled.
    ShowScrollPosition(true);
    ShowScrollPosition(false);
    Invalidate();
    return 1;
}

int CLogView::OnLButtonUp(int x, int y) {
    // Finish first: releasing the capture reports a capture change, which ends a drag too.
    if (m_selectionMode == CSelectionMode::kDragging) {
        HitPoint hit = HitTest(x, y);
        FinishDrag(hit.row, TextColumnAt(hit.row, hit.offset, nullptr));
    }
    if (GetCapture() == m_window) ReleaseCapture();
    return 1;
}

int CLogView::OnCaptureLost() {
    // Alt+Tab or another window took the mouse: the button-up will never come.
    if (m_selectionMode == CSelectionMode::kDragging) FinishDrag(m_selLastRow, m_selLastColumn);
    return 1;
}

void CLogView::FinishDrag(int64_t row, int column) {
    m_selLastRow = row;
    m_selLastColumn = column;
    m_selectionMode = CSelectionMode::kMade;
    if (m_selLastRow == m_selFirstRow && m_selLastColumn == m_selFirstColumn) {
        m_selectionMode = CSelectionMode::kNone;
    } else if (m_selLastRow < m_selFirstRow || (m_selLastRow == m_selFirstRow && m_selLastColumn < m_selFirstColumn)) {
        int64_t firstRow = m_selFirstRow;
        int firstColumn = m_selFirstColumn;
        m_selFirstRow = m_selLastRow;
        m_selFirstColumn = m_selLastColumn;
        m_selLastRow = firstRow;
        m_selLastColumn = firstColumn;
    }
    // The caret follows the later end; below the last row it stays on the last row.
    int64_t count = RowCount();
    m_caretRow = m_selLastRow < count ? m_selLastRow : (count > 0 ? count - 1 : 0);
    m_caretColumn = m_selLastColumn;
    ShowCaretPosition();
    NotifyStateChanged();
    Invalidate();
}

int CLogView::OnLButtonDblClk(int x, int y) {
    SetFocus(m_window);
    if (!HasRows()) return 1;
    HitPoint hit = HitTest(x, y);
    CLogLine line;
    if (!RowEntry(CRow(hit.row), &line)) return 1;
    if (hit.cell <= kLastLineNumberCell) {
        if (m_listener != nullptr) m_listener->JumpFirstViewToLine(CLineNumber(line.lineNumber));
    } else if (hit.cell >= kFirstMessageCell) {
        int offset = hit.offset;
        m_caretRow = hit.row;
        m_caretColumn = offset;
        ShowCaretPosition();
        SelectTokenAt(hit.row, offset);
    } else {
        ToggleMarker(CRow(hit.row));
        NotifyStateChanged();
    }
    Invalidate();
    return 1;
}
