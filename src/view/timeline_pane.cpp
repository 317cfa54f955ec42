// The timeline pane: bars scaled to the fullest bucket, the hover text and the click.
#include "view/timeline_pane.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "config/ui_text.h"
#include "foundation/format.h"
#include "foundation/wide.h"
#include "search/timeline_axis.h"
#include "view/log_view.h"
#include "winui/fill.h"

namespace {

constexpr int kPaneHeight = 90;
constexpr UINT_PTR kCountTimer = 1;
constexpr UINT kCountTimerMs = 10;
// A slice of the count of new rows keeps the UI thread busy for at most this long.
constexpr uint64_t kSliceMs = 25;
constexpr int64_t kRowsPerCheck = 8192;
constexpr int kMargin = 4;
// Colour-table entries: the pane's ground, the bars (the header's colour) and the errors.
constexpr int kColorGround = 1;
constexpr int kColorBars = 14;
constexpr int kColorErrors = 19;
constexpr int kColorRule = 21;
// The caret's row and the rows in view are marked in the text's colour, the label ticks in grey.
constexpr int kColorPlace = 0;
constexpr int kColorTicks = 17;
// The labels' font height, and the band under the bars that marks the rows in view.
constexpr int kLabelFont = 12;
constexpr int kBandHeight = 3;
constexpr int kMaxLabels = 128;

}  // namespace

int CTimelinePane::Height(int dpi) { return ScaleToDpi(kPaneHeight, dpi); }

void CTimelinePane::SetTimeline(std::unique_ptr<CTimeline> timeline) {
    m_timeline = std::move(timeline);
    m_hovered = -1;
    m_recount = false;
    // Rows a follow step added after the count began.
    if (!CountDone()) Schedule();
    Invalidate();
}

void CTimelinePane::RowsChangedFrom(CLineNumber from) {
    if (m_window == nullptr || m_timeline == nullptr || !m_view->HasRows()) return;
    // Rows are in line order: the first row of that line or later, by halving.
    const CRowSource& rows = m_view->Rows();
    int64_t lo = 0;
    int64_t hi = std::min(rows.Count(), m_timeline->Counted());
    while (lo < hi) {
        int64_t mid = lo + (hi - lo) / 2;
        CLogLine entry;
        if (rows.Entry(CRow(mid), &entry) && CLineNumber(entry.lineNumber) < from) {
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    if (!m_timeline->Uncount(CRow(lo))) m_recount = true;
    Schedule();
}

void CTimelinePane::Schedule() {
    if (m_window != nullptr && !m_timerOn) m_timerOn = SetTimer(m_window, kCountTimer, kCountTimerMs, nullptr) != 0;
}

bool CTimelinePane::CountDone() const {
    return m_timeline == nullptr || !m_view->HasRows() || m_timeline->Counted() >= m_view->Rows().Count();
}

LRESULT CTimelinePane::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kCountTimer) {
        CountSlice();
        return 0;
    }
    if (message == WM_MOUSELEAVE) {
        m_hovered = -1;
        ShowTip(nullptr);
        return 0;
    }
    return CChildView::WindowProc(window, message, wParam, lParam);
}

void CTimelinePane::CountSlice() {
    int result = 1;
    if (!m_recount && m_timeline != nullptr && m_view->HasRows()) {
        CTimelineRequest request;
        request.rows = &m_view->Rows();
        request.errors = m_view->ErrorLines();
        uint64_t start = GetTickCount64();
        do {
            result = m_timeline->CountMore(request, kRowsPerCheck);
        } while (result == 1 && !CountDone() && GetTickCount64() - start < kSliceMs);
        if (result == kTimelineRecount) m_recount = true;
    }
    // The count afresh replaces the timeline, and with it this one's rows.
    if (m_recount && m_view->Listener() != nullptr && m_view->Listener()->RecountTimeline(m_view)) m_recount = false;
    if (!m_recount && (result != 1 || CountDone())) {
        KillTimer(m_window, kCountTimer);
        m_timerOn = false;
    }
    Invalidate();
}

int64_t CTimelinePane::BucketAt(int x) const {
    RECT client = {};
    if (m_window == nullptr || m_timeline == nullptr || m_recount || !m_timeline->HasStamps()) return -1;
    GetClientRect(m_window, &client);
    int width = client.right - 2 * Scaled(kMargin);
    int64_t count = m_timeline->BucketCount();
    int offset = x - Scaled(kMargin);
    if (width <= 0 || offset < 0 || offset >= width) return -1;
    return offset * count / width;
}

int CTimelinePane::OnDraw(HDC dc, const RECT& client) {
    m_dpi = m_view->Dpi();
    const CViewSettings& s = m_view->Settings();
    auto color = [&s](int entry, bool text) -> COLORREF {
        if (entry >= s.colorCount) return 0;
        return text ? s.colors[entry].text : s.colors[entry].background;
    };
    FillColor(dc, 0, 0, client.right, client.bottom, color(kColorGround, false));
    FillColor(dc, 0, 0, client.right, Scaled(1), color(kColorRule, true));
    if (m_recount) {
        // The counts wait for a count afresh: bars of the old ones would mislead.
    } else if (m_timeline != nullptr && m_timeline->HasStamps()) {
        DrawBars(dc, client);
    } else if (m_timeline != nullptr) {
        const char16_t* text = UiText(TextId::kTimelineNoStamps);
        int n = 0;
        while (text[n] != 0) ++n;
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, color(kColorGround, true));
        TextOutW(dc, Scaled(kMargin * 2), Scaled(kMargin * 2), W(text), n);
    }
    return 1;
}

// Where the bars, the band and the labels go in the client area.
CTimelinePane::CLayout CTimelinePane::LayOut(const RECT& client, int labelHeight) const {
    CLayout l;
    l.margin = Scaled(kMargin);
    l.width = client.right - 2 * l.margin;
    l.labelTop = client.bottom - l.margin / 2 - labelHeight;
    l.bandTop = l.labelTop - Scaled(kBandHeight) - 1;
    l.bottom = l.bandTop - 1;
    l.height = l.bottom - 2 * l.margin;
    return l;
}

void CTimelinePane::DrawBars(HDC dc, const RECT& client) {
    const CViewSettings& s = m_view->Settings();
    COLORREF bars = s.colorCount > kColorBars ? s.colors[kColorBars].background : 0;
    COLORREF errors = s.colorCount > kColorErrors ? s.colors[kColorErrors].background : 0;
    LOGFONTW face = {};
    face.lfHeight = Scaled(kLabelFont);
    face.lfCharSet = s.fontCharSet;
    face.lfPitchAndFamily = FIXED_PITCH;
    lstrcpynW(face.lfFaceName, W(s.fontFace), LF_FACESIZE);
    HFONT font = CreateFontIndirectW(&face);
    HGDIOBJ old = font != nullptr ? SelectObject(dc, font) : nullptr;
    SIZE digit = {};
    if (!GetTextExtentPoint32W(dc, L"0", 1, &digit)) digit = {Scaled(7), Scaled(kLabelFont)};
    CLayout l = LayOut(client, digit.cy);
    int64_t count = m_timeline->BucketCount();
    int64_t most = m_timeline->MaxRows() > 0 ? m_timeline->MaxRows() : 1;
    if (l.width > 0 && l.height > 0) {
        for (int64_t i = 0; i < count; ++i) {
            const CTimeBucket& b = m_timeline->Bucket(i);
            if (b.rows <= 0) continue;
            int left = l.margin + static_cast<int>(i * l.width / count);
            int right = l.margin + static_cast<int>((i + 1) * l.width / count);
            if (right - left > 2) --right;  // a gap between wide bars
            if (right <= left) right = left + 1;
            int top = l.bottom - static_cast<int>(b.rows * l.height / most);
            if (top >= l.bottom) top = l.bottom - 1;
            FillColor(dc, left, top, right, l.bottom, bars);
            if (b.errors <= 0) continue;
            int errorTop = l.bottom - static_cast<int>(b.errors * l.height / most);
            if (errorTop >= l.bottom) errorTop = l.bottom - 1;
            FillColor(dc, left, errorTop, right, l.bottom, errors);
        }
        DrawPlace(dc, l);
        DrawLabels(dc, l, digit.cx);
    }
    if (old != nullptr) SelectObject(dc, old);
    if (font != nullptr) DeleteObject(font);
}

// The caret's row as a line across the bars, the rows in view as a band under them.
void CTimelinePane::DrawPlace(HDC dc, const CLayout& l) {
    const CViewSettings& s = m_view->Settings();
    COLORREF place = s.colorCount > kColorPlace ? s.colors[kColorPlace].text : 0;
    int caret = 0;
    if (XOfRow(m_view->CaretLine(), l, &caret)) FillColor(dc, caret, l.margin, caret + Scaled(1), l.bottom, place);
    int64_t first = m_view->FirstVisibleRow();
    int64_t last = std::min(first + std::max(m_view->VisibleRows(), 1) - 1, m_view->Rows().Count() - 1);
    int from = 0;
    int to = 0;
    if (!XOfRow(first, l, &from) || !XOfRow(last, l, &to)) return;
    if (from > to) std::swap(from, to);
    FillColor(dc, from, l.bandTop, std::max(to, from + Scaled(2)), l.bandTop + Scaled(kBandHeight), place);
}

// The time labels under the bars, the bucket width at the right end.
void CTimelinePane::DrawLabels(HDC dc, const CLayout& l, int charWidth) {
    const CViewSettings& s = m_view->Settings();
    int64_t count = 0;
    int unit = 0;
    BucketWidthUnit(m_timeline->WidthMs(), &count, &unit);
    static const TextId kUnits[] = {TextId::kTimelineWidthSeconds, TextId::kTimelineWidthMinutes,
                                    TextId::kTimelineWidthHours, TextId::kTimelineWidthDays};
    char16_t width[48] = {};
    FormatString(width, 48, UiText(kUnits[unit]), static_cast<long long>(count));
    int widthChars = 0;
    while (width[widthChars] != 0) ++widthChars;
    SIZE widthSize = {};
    GetTextExtentPoint32W(dc, W(width), widthChars, &widthSize);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, s.colorCount > kColorGround ? s.colors[kColorGround].text : 0);
    COLORREF rule = s.colorCount > kColorTicks ? s.colors[kColorTicks].text : 0;
    int right = l.margin + l.width;
    TextOutW(dc, right - widthSize.cx, l.labelTop, W(width), widthChars);
    CAxisLabel labels[kMaxLabels];
    int64_t start = m_timeline->BucketStart(0);
    int64_t end = m_timeline->BucketStart(m_timeline->BucketCount());
    int n = TimelineAxisLabels(start, end, l.width, l.width - widthSize.cx - 2 * charWidth, charWidth,
                               m_timeline->Clock().Dated(), labels, kMaxLabels);
    for (int i = 0; i < n; ++i) {
        int x = l.margin + labels[i].x;
        FillColor(dc, x, l.bandTop, x + 1, l.labelTop + Scaled(2), rule);
        char16_t text[sizeof(CAxisLabel::text)] = {};
        int chars = 0;
        for (; labels[i].text[chars] != 0 && chars + 1 < static_cast<int>(sizeof text / sizeof text[0]); ++chars)
            text[chars] = labels[i].text[chars];
        TextOutW(dc, x + Scaled(2), l.labelTop, W(text), chars);
    }
}

// The x of a row's time over the bars: false for a row without a stamp or outside.
bool CTimelinePane::XOfRow(int64_t row, const CLayout& l, int* x) const {
    CLogLine line;
    if (!m_view->HasRows() || row < 0 || !m_view->Rows().Entry(CRow(row), &line) || !line.timeStamp.HasDate()) {
        return false;
    }
    int64_t start = m_timeline->BucketStart(0);
    int64_t span = m_timeline->BucketStart(m_timeline->BucketCount()) - start;
    int64_t key = m_timeline->Clock().Key(line.timeStamp);
    if (span <= 0 || key < start || key >= start + span) return false;
    *x = l.margin + static_cast<int>(static_cast<double>(key - start) * l.width / static_cast<double>(span));
    return true;
}

int CTimelinePane::OnMouseMove(int x, int) {
    int64_t bucket = BucketAt(x);
    if (bucket == m_hovered) return 1;
    m_hovered = bucket;
    if (bucket < 0) {
        m_view->ShowStatus(u"");
        ShowTip(nullptr);
        return 1;
    }
    const CTimeBucket& b = m_timeline->Bucket(bucket);
    char start[32] = {};
    FormatStampKey(m_timeline->BucketStart(bucket), m_timeline->Clock().Dated(), start, sizeof start);
    std::u16string when(start, start + std::char_traits<char>::length(start));
    char16_t text[160] = {};
    FormatString(text, 160, UiText(TextId::kTimelineBucketFormat), when.c_str(), static_cast<long long>(b.rows),
                 static_cast<long long>(b.errors));
    m_view->ShowStatus(text);
    ShowTip(text);
    return 1;
}

void CTimelinePane::ShowTip(const char16_t* text) {
    TTTOOLINFOW tool = {};
    tool.cbSize = sizeof tool;
    tool.hwnd = m_window;
    tool.uId = 1;
    if (text == nullptr) {
        if (m_tip != nullptr) SendMessageW(m_tip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
        return;
    }
    if (m_tip == nullptr) {
        // Owned by the pane, so it goes with it.
        m_tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0,
                                0, 0, m_window, nullptr, nullptr, nullptr);
        if (m_tip == nullptr) return;
        tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
        tool.lpszText = const_cast<wchar_t*>(L"");
        SendMessageW(m_tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    tool.lpszText = const_cast<wchar_t*>(W(text));
    SendMessageW(m_tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    // Just below the pointer, where it does not hide the bar.
    POINT at = {};
    GetCursorPos(&at);
    SendMessageW(m_tip, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x + Scaled(12), at.y + Scaled(16)));
    SendMessageW(m_tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    // The tip goes when the pointer leaves the pane.
    TRACKMOUSEEVENT leave = {sizeof leave, TME_LEAVE, m_window, 0};
    TrackMouseEvent(&leave);
}

int CTimelinePane::OnLButtonDown(int x, int) {
    int64_t bucket = BucketAt(x);
    if (bucket < 0) return 1;
    CRow first = m_timeline->Bucket(bucket).firstRow;
    if (first.Value() >= 0) m_view->GoToLine(first.Value());
    // The keyboard stays with the view.
    SetFocus(m_view->Window());
    return 1;
}

int CTimelinePane::OnLButtonUp(int, int) { return 1; }
