// The overview strip: slices of the tick scan on a timer, the lanes and the frame, and the
// jump on a click or drag. The scan restarts whenever what it depends on changes, which
// it notices itself at every slice and paint (a shared search condition changes under
// views that were never told).
#include "view/overview_strip.h"

#include <cstdlib>

#include "config/color_labels.h"
#include "config/dark_colors.h"
#include "view/log_view.h"
#include "winui/fill.h"

namespace {

constexpr UINT_PTR kScanTimer = 1;
constexpr UINT kScanTimerMs = 10;
// A slice keeps the UI thread busy for at most this long; a paint shows progress this often.
constexpr uint64_t kSliceMs = 25;
constexpr uint64_t kPartialPaintMs = 200;
constexpr int64_t kRowsPerCheck = 2048;
constexpr int kStripWidth = 12;

// Colour-table entries the ticks take their colours from; slow intervals have their own.
constexpr int kColorLane = 1;
constexpr int kColorHit = 2;
constexpr int kColorMarker = 3;
constexpr int kColorError = 19;
constexpr COLORREF kSlowColor = RGB(255, 140, 0);
constexpr COLORREF kFrameColor = RGB(64, 64, 64);

}  // namespace

COverviewStrip::~COverviewStrip() {
    if (m_window != nullptr && m_timerOn) KillTimer(m_window, kScanTimer);
}

int COverviewStrip::Width(int dpi) { return ScaleToDpi(kStripWidth, dpi); }

int64_t COverviewStrip::RowCount() const { return m_view->HasRows() ? m_view->Rows().Count() : 0; }

std::u16string COverviewStrip::InputKey() const {
    const CViewSettings& s = m_view->Settings();
    std::u16string key;
    key += static_cast<char16_t>(s.intervalCheck != 0 ? u'I' : u'-');
    key += std::u16string(1, static_cast<char16_t>(s.intervalTime & 0xffff)) +
           static_cast<char16_t>((s.intervalTime >> 16) & 0xffff);
    key += static_cast<char16_t>(s.codePage & 0xffff);
    key += static_cast<char16_t>(s.colorCodes != 0 ? u'C' : u'-');
    const CSearchCondition* condition = m_view->Condition();
    if (m_view->HighlightSearch() == 0 || condition == nullptr || condition->Count() == 0) return key;
    key += static_cast<char16_t>(condition->MatchAll() != 0 ? u'A' : u'O');
    for (int i = 0; i < condition->Count(); ++i) {
        int length = 0;
        const char16_t* text = condition->WideText(i, &length);
        key += static_cast<char16_t>(condition->Options(i) + 1);
        if (text != nullptr) key.append(text, static_cast<size_t>(length));
        key += u'\0';
    }
    return key;
}

void COverviewStrip::Restart() {
    m_ticks.Reset();
    m_labels.Restart();
    m_inputKey.clear();  // the next slice makes the matcher afresh
    Schedule();
    Invalidate();
}

void COverviewStrip::RowsChangedFrom(CLineNumber line) {
    // Rows are in line order: the first row of that line or later, by halving.
    int64_t lo = 0;
    int64_t hi = RowCount();
    while (lo < hi) {
        int64_t mid = lo + (hi - lo) / 2;
        CLogLine entry;
        if (m_view->Rows().Entry(CRow(mid), &entry) && CLineNumber(entry.lineNumber) < line) {
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    m_ticks.RescanFrom(lo);
    m_labels.RescanFrom(lo);
    Schedule();
}

void COverviewStrip::Schedule() {
    if (m_window == nullptr || m_timerOn) return;
    m_timerOn = SetTimer(m_window, kScanTimer, kScanTimerMs, nullptr) != 0;
}

void COverviewStrip::ScanSlice() {
    std::u16string key = InputKey();
    if (key != m_inputKey) {
        m_inputKey = key;
        m_ticks.Reset();
        m_matcher.reset();
        m_rowMatcher.reset();
        m_readers.reset();
        const CSearchCondition* condition = m_view->Condition();
        const CRowLogs* logs = m_view->RowLogs();
        bool hits = m_view->HighlightSearch() != 0 && condition != nullptr && condition->Count() > 0;
        if (hits && logs != nullptr) {
            m_readers.reset(new (std::nothrow) CLogReaders());
            if (m_readers != nullptr && m_readers->Open(*logs, false)) {
                m_rowMatcher.reset(new (std::nothrow)
                                       CRowMatcher(*condition, *m_readers, m_view->Settings().colorCodes != 0));
            }
        } else if (hits) {
            const CViewSettings& settings = m_view->Settings();
            m_matcher.reset(new (std::nothrow) CLineMatcher(*condition, settings.codePage, settings.colorCodes != 0));
            if (m_matcher != nullptr && m_matcher->Prepare() == 0) m_matcher.reset();
        }
    }
    COverviewInputs in;
    in.rows = m_view->HasRows() ? &m_view->Rows() : nullptr;
    in.errorLines = m_view->ErrorLines();
    in.matcher = m_matcher.get();
    in.logs = m_view->RowLogs();
    in.rowMatcher = m_rowMatcher.get();
    in.intervalCheck = m_view->Settings().intervalCheck != 0;
    in.thresholdMs = m_view->Settings().intervalTime;
    m_labels.Follow(*m_view);
    uint64_t start = GetTickCount64();
    while (m_ticks.Scan(in, kRowsPerCheck) + m_labels.Scan(*m_view, kRowsPerCheck) > 0 &&
           GetTickCount64() - start < kSliceMs) {
    }
    bool done = m_ticks.Scanned() >= RowCount() && m_labels.Done(RowCount());
    if (done && m_timerOn) {
        KillTimer(m_window, kScanTimer);
        m_timerOn = false;
    }
    if (done || GetTickCount64() - m_lastPaint >= kPartialPaintMs) Invalidate();
}

LRESULT COverviewStrip::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kScanTimer) {
        ScanSlice();
        return 0;
    }
    if (message == WM_CAPTURECHANGED) m_dragging = false;
    return CChildView::WindowProc(window, message, wParam, lParam);
}

void COverviewStrip::ReadBuckets(int count, uint8_t* out) const {
    m_ticks.Buckets(RowCount(), &m_view->Markers(), count, out);
}

int COverviewStrip::OnDraw(HDC dc, const RECT& client) {
    m_lastPaint = GetTickCount64();
    m_dpi = m_view->Dpi();
    // A change nobody announced (the shared condition or labels, a follow step) resumes the scan.
    bool labelsChanged = m_labels.Follow(*m_view);
    if (labelsChanged || InputKey() != m_inputKey || m_ticks.Scanned() < RowCount() || !m_labels.Done(RowCount()))
        Schedule();
    const CViewSettings& s = m_view->Settings();
    auto color = [&s](int entry, bool text) -> COLORREF {
        if (entry >= s.colorCount) return 0;
        return text ? s.colors[entry].text : s.colors[entry].background;
    };
    int width = client.right - client.left;
    int height = client.bottom - client.top;
    FillColor(dc, 0, 0, width, height, color(kColorLane, false));
    int64_t rows = RowCount();
    if (rows <= 0 || height <= 0) return 1;
    auto* buckets = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(height)));
    if (buckets == nullptr) return 1;
    ReadBuckets(height, buckets);
    // Four lanes, left to right: slow intervals, hits, errors, markers; and labels while there are some.
    const uint8_t lanes[4] = {kTickSlow, kTickHit, kTickError, kTickMarker};
    const COLORREF colors[4] = {kSlowColor, color(kColorHit, false), color(kColorError, false),
                                color(kColorMarker, false)};
    int laneCount = m_labels.Any() ? 5 : 4;
    if (laneCount == 5) DrawLabelLane(dc, width * 4 / 5, width, height);
    for (int lane = 0; lane < 4; ++lane) {
        int left = width * lane / laneCount;
        int right = width * (lane + 1) / laneCount;
        for (int y = 0; y < height; ++y) {
            if ((buckets[y] & lanes[lane]) == 0) continue;
            int end = y + 1;
            while (end < height && (buckets[end] & lanes[lane]) != 0) ++end;
            FillColor(dc, left, y, right, end, colors[lane]);
            y = end - 1;
        }
    }
    std::free(buckets);
    DrawFrame(dc, client, rows);
    return 1;
}

void COverviewStrip::DrawLabelLane(HDC dc, int left, int right, int height) {
    auto* buckets = static_cast<uint16_t*>(std::malloc(sizeof(uint16_t) * static_cast<size_t>(height)));
    if (buckets == nullptr) return;
    ReadLabelBuckets(height, buckets);
    const CViewSettings& s = m_view->Settings();
    CColorRef ground = s.colorCount > 0 ? s.colors[0].background : 0xFFFFFF;
    // Where labels meet in one pixel the lowest label's colour shows.
    for (int y = 0; y < height; ++y) {
        if (buckets[y] == 0) continue;
        int label = 0;
        while ((buckets[y] >> label & 1) == 0) ++label;
        int end = y + 1;
        while (end < height && buckets[end] == buckets[y]) ++end;
        FillColor(dc, left, y, right, end, LabelColor(label, ground));
        y = end - 1;
    }
    std::free(buckets);
}

void COverviewStrip::DrawFrame(HDC dc, const RECT& client, int64_t rows) {
    int height = client.bottom - client.top;
    int64_t first = m_view->FirstVisibleRow();
    int64_t shown = m_view->ShownRows();
    int top = static_cast<int>(first * height / rows);
    int bottom = static_cast<int>((first + shown) * height / rows);
    int line = Scaled(1);
    if (bottom > height) bottom = height;
    if (bottom - top < 2 * line + 1) bottom = top + 2 * line + 1;
    // On the dark table the frame turns light, as the text does, to stand out from the lane.
    COLORREF frame = kFrameColor;
    const CViewSettings& s = m_view->Settings();
    if (s.dark != 0 && s.colorCount > kColorLane)
        frame = DarkText(kFrameColor, 0xFFFFFF, &s.colors[kColorLane].background, 1);
    HPEN pen = CreatePen(PS_INSIDEFRAME, line, frame);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, 0, top, client.right, bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

void COverviewStrip::JumpTo(int y) {
    RECT client = {};
    GetClientRect(m_window, &client);
    int64_t rows = RowCount();
    if (rows <= 0 || client.bottom <= 0) return;
    if (y < 0) y = 0;
    if (y >= client.bottom) y = client.bottom - 1;
    m_view->GoToLine(y * rows / client.bottom);
}

int COverviewStrip::OnLButtonDown(int, int y) {
    // The keyboard stays with the view.
    SetCapture(m_window);
    m_dragging = true;
    JumpTo(y);
    return 1;
}

int COverviewStrip::OnMouseMove(int, int y) {
    if (m_dragging) JumpTo(y);
    return 1;
}

int COverviewStrip::OnLButtonUp(int, int y) {
    if (m_dragging) JumpTo(y);
    m_dragging = false;
    ReleaseCapture();
    return 1;
}
