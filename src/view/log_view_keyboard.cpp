// CLogView keyboard handling and caret movement: Ctrl+C, the arrow keys, GoToLine and
// the caret's status text. Caret columns are compared with the rows' byte lengths.
#include "foundation/format.h"
#include "res/resource.h"
#include "view/log_view.h"
#include "view/timeline_pane.h"

int CLogView::LineLength(int64_t row) const {
    CLogLine line;
    return RowEntry(CRow(row), &line) ? line.length : 0;
}

void CLogView::SetFirstRow(int64_t row) {
    m_vScroll.position = row < 0 ? 0 : row;
    m_firstLine = 0;
    ShowScrollPosition(true);
}

int CLogView::OnChar(int code) {
    if (!HasRows()) return 1;
    // Ctrl+C with Shift up; Ctrl+Shift+C is left alone.
    if (code == 3 && static_cast<unsigned short>(GetAsyncKeyState(VK_SHIFT)) < 256) {
        HWND frame = m_listener != nullptr ? m_listener->GetFrameWindow() : m_frame;
        PostMessageW(frame, WM_COMMAND, IDM_COPY, 0);
    }
    return 1;
}

int CLogView::OnKeyDown(WPARAM key, LPARAM) {
    if (!HasRows()) return 1;
    if (key != VK_LEFT && key != VK_RIGHT && key != VK_UP && key != VK_DOWN) return 0;
    int64_t count = RowCount();
    if (m_caretRow >= count) m_caretRow = count > 0 ? count - 1 : 0;
    int64_t caretBefore = m_caretRow;
    int64_t firstBefore = m_vScroll.position;
    OnArrowKey(key);
    if (m_caretRow != caretBefore || m_vScroll.position != firstBefore) Invalidate();
    ShowCaretPosition();
    return 1;
}

int CLogView::OnArrowKey(WPARAM key) {
    int64_t count = RowCount();
    int64_t first = m_vScroll.position;
    auto clampColumn = [this]() {
        int length = LineLength(m_caretRow);
        if (m_caretColumn >= length) m_caretColumn = length - 1;
        if (m_caretColumn < 0) m_caretColumn = 0;
    };
    auto followUp = [&]() {
        if (Wraps()) {
            KeepRowInWindow(m_caretRow);
        } else if (m_caretRow < first + 2 && first >= 1) {
            SetFirstRow(m_caretRow - 2);
        }
    };
    auto followDown = [&]() {
        if (Wraps()) {
            KeepRowInWindow(m_caretRow);
        } else if (m_caretRow > first + m_visibleRows - 5 && first < m_vScroll.maximum) {
            SetFirstRow(m_caretRow - m_visibleRows + 5);
        }
    };
    switch (key) {
        case VK_LEFT:
            if (m_caretColumn >= 1) {
                --m_caretColumn;
            } else if (m_caretRow >= 1) {
                --m_caretRow;
                int length = LineLength(m_caretRow);
                m_caretColumn = length - 1 > 0 ? length - 1 : 0;
            } else {
                return 0;
            }
            followUp();
            return 1;
        case VK_RIGHT:
            if (m_caretColumn < LineLength(m_caretRow)) {
                ++m_caretColumn;
                return 1;
            }
            if (m_caretRow + 1 < count) {
                ++m_caretRow;
                m_caretColumn = 0;
            }
            followDown();
            return 1;
        case VK_UP:
            if (m_caretRow < 1) return 0;
            --m_caretRow;
            clampColumn();
            followUp();
            return 1;
        case VK_DOWN:
            if (m_caretRow + 1 >= count) return 0;
            ++m_caretRow;
            clampColumn();
            followDown();
            return 1;
        default:
            return 0;
    }
}

void CLogView::GoToLine(int64_t line) {
    int64_t count = RowCount();
    if (line > count - 1) line = count - 1;
    if (line < 0) line = 0;
    m_caretRow = line;
    int half = m_visibleRows / 2;
    if (Wraps()) {
        CentreWrapped(line);
    } else {
        SetFirstRow(line < half ? 0 : line - half);
    }
    if (m_active) ShowCaretPosition();
    Invalidate();
}

void CLogView::ShowRows(int64_t caretRow, int64_t firstRow) {
    int64_t count = RowCount();
    if (count == 0) return;
    auto within = [count](int64_t row) { return row < 0 ? 0 : row > count - 1 ? count - 1 : row; };
    m_caretRow = within(caretRow);
    SetFirstRow(within(firstRow));
    if (m_active) ShowCaretPosition();
    Invalidate();
}

void CLogView::ShowCaretPosition() {
    char16_t text[320];
    int n = FormatString(text, 64, u"line:%lld, column:%d", static_cast<long long>(m_caretRow + 1), m_caretColumn + 1);
    // In a merged view, the caret row's log and its line there.
    if (n > 0 && RowLogText(CRow(m_caretRow), text + n + 2, 318 - n) > 0) {
        text[n] = u' ';
        text[n + 1] = u' ';
    }
    SetStatus(1, text);
    // The timeline marks the caret's time.
    if (m_timeline != nullptr) m_timeline->Invalidate();
}
