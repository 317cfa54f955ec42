// CLogView: construction, the message dispatcher, the window's life and the scroll ranges.
#include "view/log_view.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "foundation/wide.h"
#include "view/overview_strip.h"
#include "view/timeline_pane.h"

CLogView::CLogView() {
    // Until the first paint measures the font, rows and columns are tiny but never zero.
    m_charWidth = 1;
    m_lineHeight = 1;
    m_rowPitch = 2;
    m_hScroll.maximum = 300;
    m_hScroll.page = 1;
    m_hScroll.step = 2;
    m_vScroll.maximum = 1;
    m_vScroll.page = 1;
    m_vScroll.step = 2;
}

CLogView::~CLogView() {
    // Through the MDI client, and before the members go: the base would only DestroyWindow.
    DestroyView();
    m_rows.reset();
    m_markers.Clear();
    if (m_boldFont != nullptr) DeleteObject(m_boldFont);
}

void CLogView::Attach(HWND frame, HWND mdiClient, CAppEventListener* listener) {
    m_frame = frame;
    m_mdiClient = mdiClient;
    m_listener = listener;
}

void CLogView::SetLines(std::unique_ptr<CLogLineList> lines, CLogFile* file) {
    // No list is no rows, as before a load ends.
    SetRows(lines != nullptr ? std::make_unique<CLineListRows>(std::move(lines), file) : nullptr);
}

void CLogView::SetRows(std::unique_ptr<CRowSource> rows, const CRowLogs* logs) {
    m_rows = std::move(rows);
    m_logs = m_rows != nullptr ? logs : nullptr;
    m_firstRow = 0;
    m_firstLine = 0;
    m_lineCounts.Forget();
    m_contentHeight = RowCount();
    m_caretRow = 0;
    m_caretColumn = 0;
    m_selectionMode = CSelectionMode::kNone;
    UpdateVScrollBar();
    if (m_overview != nullptr) m_overview->Restart();
    if (m_timeline != nullptr) SetTimeline(nullptr);  // it counted other rows
    Invalidate();
}

int CLogView::TakeFollowedLines(int64_t from, const CLogLineList& more) {
    if (Lines() == nullptr) return 0;
    bool onLastRow = m_caretRow >= RowCount() - 1;
    int64_t first = m_vScroll.position;
    int ok = ReplaceTail(Lines(), from, more);
    m_lineCounts.Forget();
    if (m_overview != nullptr) m_overview->RowsChangedFrom(CLineNumber(from));
    if (m_timeline != nullptr) m_timeline->RowsChangedFrom(CLineNumber(from));
    int64_t count = RowCount();
    m_contentHeight = count;
    UpdateVScrollBar();  // which returns to the top: go back to where the user was
    SetVScrollPos(first);
    if (onLastRow && count > 0) {
        m_caretRow = count - 1;
        int rows = m_visibleRows > 2 ? m_visibleRows - 2 : 1;  // rows under the header, the last one cut
        if (Wraps()) {
            KeepRowInWindow(m_caretRow);
        } else if (m_caretRow >= FirstVisibleRow() + rows) {
            SetVScrollPos(m_caretRow - rows + 1);
        }
        if (m_active) ShowCaretPosition();
    }
    Invalidate();
    return ok;
}

void CLogView::RowsMoved(int64_t first, const std::function<int64_t(int64_t)>& rowNow, CLineNumber fromLine) {
    int64_t count = RowCount();
    if (m_rows == nullptr || (first >= m_contentHeight && count == m_contentHeight)) return;
    bool onLastRow = m_caretRow >= m_contentHeight - 1;
    auto now = [&](int64_t row) {
        int64_t moved = row < first ? row : rowNow(row);
        // A row that is gone leaves its place to the row after it.
        return moved >= 0 ? moved : std::max<int64_t>(0, std::min(row, count - 1));
    };
    int64_t top = now(m_vScroll.position);
    m_caretRow = onLastRow ? std::max<int64_t>(0, count - 1) : now(m_caretRow);
    if (m_selectionMode != CSelectionMode::kNone && std::max(m_selFirstRow, m_selLastRow) >= first)
        m_selectionMode = CSelectionMode::kNone;
    // The markers of moved rows are made again on their rows now, with the entries there.
    CGrowBuffer<CMarker> moved;
    int32_t n = 0;
    if (m_markers.Count() > 0 && moved.Reserve(static_cast<size_t>(m_markers.Count()))) {
        for (int32_t i = 0; i < m_markers.Count(); ++i) {
            if (m_markers.At(i)->row.Value() >= first) moved.Data()[n++] = *m_markers.At(i);
        }
    }
    for (int32_t i = 0; i < n; ++i) m_markers.Toggle(moved.Data()[i].row, moved.Data()[i].lineNumber, {});  // off
    for (int32_t i = 0; i < n; ++i) {
        int64_t row = rowNow(moved.Data()[i].row.Value());
        CLogLine entry;
        if (row >= 0 && RowEntry(CRow(row), &entry) && m_markers.Find(CLineNumber(entry.lineNumber)) < 0)
            m_markers.Toggle(CRow(row), CLineNumber(entry.lineNumber), CFileOffset(entry.offset));
    }
    if (m_overview != nullptr) m_overview->RowsChangedFrom(fromLine);
    if (m_timeline != nullptr) m_timeline->RowsChangedFrom(fromLine);
    m_contentHeight = count;
    UpdateVScrollBar();  // which returns to the top: go back to where the user was
    SetVScrollPos(top);
    int rows = m_visibleRows > 2 ? m_visibleRows - 2 : 1;  // rows under the header, the last one cut
    if (onLastRow && m_caretRow >= FirstVisibleRow() + rows) SetVScrollPos(m_caretRow - rows + 1);
    if (m_active) ShowCaretPosition();
    Invalidate();
}

bool CLogView::RegisterWindowClass(HINSTANCE) {
    // The application registers the MDI child class.
    return true;
}

LRESULT CLogView::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // No focus or size-limit handlers here: the MDI child procedure passes every message on
    // to DefMDIChildProcW, whatever the view did with it.
    switch (message) {
        case WM_CREATE:
            OnCreateView(window);
            break;
        case WM_CAPTURECHANGED:
            OnCaptureLost();
            break;
        default:
            Dispatch(window, message, wParam, lParam);
            break;
    }
    return 0;
}

int CLogView::OnCreateView(HWND window) {
    m_window = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_dpi = WindowDpi(window);
    MeasureFont();
    UpdateOverview();
    return 1;
}

void CLogView::UpdateOverview() {
    if (m_window == nullptr) return;
    if (m_settings.overview != 0 && m_overview == nullptr) {
        m_overview.reset(new (std::nothrow) COverviewStrip(this));
        // The view's own paint must leave the strip's pixels alone.
        SetWindowLongPtrW(m_window, GWL_STYLE, GetWindowLongPtrW(m_window, GWL_STYLE) | WS_CLIPCHILDREN);
        if (m_overview != nullptr && !m_overview->Create(m_window, 0, 0, 0)) m_overview.reset();
        if (m_overview != nullptr) m_overview->Restart();
    } else if (m_settings.overview == 0 && m_overview != nullptr) {
        m_overview->DestroyView();
        m_overview.reset();
    }
    RECT client = {};
    GetClientRect(m_window, &client);
    OnSize(client.right - client.left, client.bottom - client.top, SIZE_RESTORED);
    Invalidate();
}

void CLogView::SetTimeline(std::unique_ptr<CTimeline> timeline) {
    if (m_window == nullptr) return;
    if (timeline == nullptr) {
        if (m_timeline != nullptr) m_timeline->DestroyView();
        m_timeline.reset();
    } else {
        if (m_timeline == nullptr) m_timeline.reset(new (std::nothrow) CTimelinePane(this));
        SetWindowLongPtrW(m_window, GWL_STYLE, GetWindowLongPtrW(m_window, GWL_STYLE) | WS_CLIPCHILDREN);
        if (m_timeline != nullptr && !m_timeline->Create(m_window, 0, 0, 0)) m_timeline.reset();
        if (m_timeline != nullptr) m_timeline->SetTimeline(std::move(timeline));
    }
    LayOutKeepingPlace();
}

void CLogView::Invalidate() {
    CChildView::Invalidate();
    if (m_overview != nullptr) m_overview->Invalidate();
    if (m_timeline != nullptr) m_timeline->Invalidate();
}

void CLogView::MeasureFont() {
    HDC dc = m_window != nullptr ? GetDC(m_window) : nullptr;
    if (dc == nullptr) return;
    HFONT font = MakeConfiguredFont(FW_NORMAL);
    HGDIOBJ old = font != nullptr ? SelectObject(dc, font) : nullptr;
    TEXTMETRICW metrics;
    if (GetTextMetricsW(dc, &metrics)) {
        m_charWidth = metrics.tmAveCharWidth > 0 ? metrics.tmAveCharWidth : 1;
        m_lineHeight = metrics.tmHeight + metrics.tmExternalLeading;
        m_rowPitch = m_lineHeight + Scaled(1);
    }
    if (old != nullptr) SelectObject(dc, old);
    if (font != nullptr) DeleteObject(font);
    ReleaseDC(m_window, dc);
}

void CLogView::ApplyFont() {
    if (m_window == nullptr) return;
    MeasureFont();
    LayOutKeepingPlace();
}

void CLogView::LayOutKeepingPlace() {
    int64_t firstRow = m_vScroll.position;
    int64_t firstColumn = m_hScroll.position;
    RECT client = {};
    GetClientRect(m_window, &client);
    // The resize rules recompute rows, columns and ranges (and return to the top) ...
    OnSize(client.right - client.left, client.bottom - client.top, SIZE_RESTORED);
    // ... but a new font or a pane that comes or goes keeps the place, with the caret inside the window.
    SetVScrollPos(firstRow);
    SetHScrollPos(firstColumn);
    int64_t first = FirstVisibleRow();
    if (m_caretRow < first || m_caretRow >= first + m_visibleRows - 1) SetVScrollPos(m_caretRow - m_visibleRows / 2);
    Invalidate();
}

void CLogView::SetDpi(int dpi) {
    if (dpi <= 0 || dpi == m_dpi) return;
    m_dpi = dpi;
    ApplyFont();
}

void CLogView::DestroyView() {
    DestroyCaret();
    if (m_overview != nullptr) m_overview->DestroyView();
    if (m_timeline != nullptr) m_timeline->DestroyView();
    if (m_window == nullptr) return;
    HWND window = m_window;
    m_window = nullptr;
    // Detach first: the messages of the destruction must not reach this object.
    if (IsWindow(window)) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        if (m_mdiClient != nullptr) SendMessageW(m_mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
        if (IsWindow(window)) DestroyWindow(window);
    }
}

int CLogView::OnClose(HWND window) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    if (m_frame != nullptr) PostMessageW(m_frame, UM_CHILD_CLOSED, reinterpret_cast<WPARAM>(window), 0);
    return 1;
}

int CLogView::OnSize(int width, int height, int) {
    int pitch = m_rowPitch > 0 ? m_rowPitch : 1;
    int cw = m_charWidth > 0 ? m_charWidth : 1;
    if (m_overview != nullptr) {
        int strip = COverviewStrip::Width(m_dpi);
        width = width > strip ? width - strip : 0;
        m_overview->MoveTo(width, 0, strip, height);
    }
    if (m_timeline != nullptr) {
        int pane = CTimelinePane::Height(m_dpi);
        height = height > pane ? height - pane : 0;
        m_timeline->MoveTo(0, height, width, pane);
    }
    m_visibleRows = (height + pitch - 1) / pitch;
    m_visibleColumns = (width + cw - 1) / cw;
    UpdateVScrollBar();
    UpdateHScrollBar();
    return 1;
}

void CLogView::UpdateVScrollBar() {
    m_firstLine = 0;
    RECT client = {};
    if (m_window != nullptr) GetClientRect(m_window, &client);
    int lineHeight = m_lineHeight > 0 ? m_lineHeight : 1;
    int visible = (client.bottom - client.top) / lineHeight;
    int64_t maximum = HasRows() ? visible / 2 + RowCount() : visible;
    SetScrollState(true, maximum, visible, 0, 1);
}

void CLogView::UpdateHScrollBar() {
    RECT client = {};
    if (m_window != nullptr) GetClientRect(m_window, &client);
    int cw = m_charWidth > 0 ? m_charWidth : 1;
    // Wrapped rows need no columns beyond the window: the bar is disabled at its start.
    if (Wraps()) {
        UpdateScrollBar(false, 0, cw, client.right - client.left, 0);
        return;
    }
    SetScrollState(false, 500, (client.right - client.left) / cw, 0, 2);
}

int CLogView::OnHScroll(int code) {
    if (Wraps()) return 1;
    CChildView::OnHScroll(code);
    Invalidate();
    return 1;
}

int CLogView::OnVScroll(int code) {
    if (Wraps() && HasRows()) {
        // Lines under the header, less one that stays in view.
        int64_t page = m_visibleRows > 2 ? m_visibleRows - 2 : 1;
        switch (code) {
            case SB_LINEUP:
                ScrollLines(-1);
                return 1;
            case SB_LINEDOWN:
                ScrollLines(1);
                return 1;
            case SB_PAGEUP:
                ScrollLines(-page);
                return 1;
            case SB_PAGEDOWN:
                ScrollLines(page);
                return 1;
            default:
                break;
        }
    }
    return CChildView::OnVScroll(code);
}

int CLogView::OnMouseWheel(int delta) {
    if (!Wraps() || !HasRows()) return CChildView::OnMouseWheel(delta);
    ScrollLines(-(static_cast<short>(delta) / 120 * 2));
    return 1;
}

void CLogView::SetVScrollPos(int64_t position) {
    if (m_firstLine != 0) {
        m_firstLine = 0;
        Invalidate();
    }
    CChildView::SetVScrollPos(position);
}

void CLogView::ApplyWrap() {
    if (m_window == nullptr) return;
    m_lineCounts.Forget();
    m_hScroll.position = 0;
    LayOutKeepingPlace();
}

void CLogView::SetStatus(int part, const char16_t* text) {
    if (m_listener != nullptr) m_listener->SetStatusText(this, part, W(text));
}

void CLogView::NotifyStateChanged() {
    if (m_listener != nullptr) m_listener->OnViewStateChanged(this);
}

bool CLogView::ToggleMarker(CRow row) {
    CLogLine line;
    if (!RowEntry(row, &line)) return false;
    m_markers.Toggle(row, CLineNumber(line.lineNumber), CFileOffset(line.offset));
    Invalidate();
    return true;
}

int64_t CLogView::RowCount() const { return m_rows != nullptr ? m_rows->Count() : 0; }

bool CLogView::RowEntry(CRow row, CLogLine* line) const { return m_rows != nullptr && m_rows->Entry(row, line); }
