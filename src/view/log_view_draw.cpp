// CLogView drawing: the header, the line-number and interval cells, the marker and caret
// marks, the message text token by token with keyword and search highlighting, and the
// selection drawn over it. Everything goes to the memory bitmap of CChildView::OnPaint.
#include <algorithm>
#include <cstdlib>

#include "config/color_labels.h"
#include "config/ui_text.h"
#include "document/row_cells.h"
#include "foundation/trace.h"
#include "foundation/wide.h"
#include "keywords/token_scanner.h"
#include "view/log_view.h"
#include "view/row_draw_scratch.h"

namespace {

// Colour-table entries the view paints with.
constexpr int kColorNormal = 0;
constexpr int kColorCursor = 2;
constexpr int kColorMarker = 3;
constexpr int kColorSelection = 4;
constexpr int kColorHeader = 14;
constexpr int kColorLineNumber = 15;
constexpr int kColorInterval = 16;
constexpr int kColorIntervalError = 19;
constexpr int kColorSeparator = 21;

// Column layout in character widths: the interval cell starts at 10, the message at 30.
constexpr int kIntervalColumn = 10;
constexpr int kMessageColumn = 30;
// Pixel offsets at 96 DPI added to those columns: texts stand 5 pixels in, the cells end
// 6 pixels after their last column, and the two separator lines, 2 pixels wide, stand at
// 2 and 4 pixels after the message column.
constexpr int kTextInset = 5;
constexpr int kCellEnd = 6;
constexpr int kFirstSeparator = 2;
constexpr int kSecondSeparator = 4;
constexpr int kSeparatorWidth = 2;

void FillArea(HDC dc, int left, int top, int right, int bottom, HBRUSH brush) {
    RECT r = {left, top, right, bottom};
    FillRect(dc, &r, brush);
}

void DrawText16(HDC dc, int x, int y, const char16_t* text, int count) { TextOutW(dc, x, y, W(text), count); }

int Length16(const char16_t* text) {
    int n = 0;
    while (text[n] != 0) ++n;
    return n;
}

void VerticalLine(HDC dc, int x, int top, int bottom, int width, COLORREF color) {
    HPEN pen = CreatePen(PS_SOLID, width, color);
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x, top, nullptr);
    LineTo(dc, x, bottom);
    SelectObject(dc, old);
    DeleteObject(pen);
}

}  // namespace

CColorEntry CLogView::ColorOf(int entry) const {
    if (entry < 0 || entry >= m_settings.colorCount) return CColorEntry{0, 0};
    return m_settings.colors[entry];
}

int CLogView::MessageLeft() const { return kMessageColumn * m_charWidth + Scaled(kCellEnd); }

void CLogView::Underline(HDC dc, int left, int right, int y, COLORREF color) const {
    HPEN pen = CreatePen(PS_SOLID, Scaled(1), color);
    HGDIOBJ old = SelectObject(dc, pen);
    int under = y + m_lineHeight - Scaled(1);
    MoveToEx(dc, left, under, nullptr);
    LineTo(dc, right, under);
    SelectObject(dc, old);
    DeleteObject(pen);
}

void CLogView::UseColors(HDC dc, int entry) const {
    CColorEntry c = ColorOf(entry);
    SetTextColor(dc, c.text);
    SetBkColor(dc, c.background);
}

static_assert(CLogView::kLabelInks == kColorLabelCount, "an ink for every colour label");

int CLogView::OnDraw(HDC dc, const RECT& client) {
    m_boldFont = MakeConfiguredFont(FW_BOLD);
    for (int k = 0; k < kLabelInks; ++k) m_labelInk[k] = LabelColor(k, ColorOf(kColorNormal).background);
    HBRUSH background = CreateSolidBrush(ColorOf(kColorNormal).background);
    FillRect(dc, &client, background);
    DeleteObject(background);
    if (HasRows() && File() != nullptr) {
        int cw = m_charWidth;
        int p = m_rowPitch;
        HBRUSH headerBrush = CreateSolidBrush(ColorOf(kColorHeader).background);
        HBRUSH lineBrush = CreateSolidBrush(ColorOf(kColorLineNumber).background);
        HBRUSH intervalBrush = CreateSolidBrush(ColorOf(kColorInterval).background);
        FillArea(dc, 0, 0, client.right, p, headerBrush);
        UseColors(dc, kColorHeader);
        const char16_t* titles[3] = {UiText(TextId::kHeaderLines), UiText(TextId::kHeaderInterval),
                                     UiText(TextId::kHeaderMessage)};
        int inset = Scaled(kTextInset);
        int cellEnd = Scaled(kCellEnd);
        DrawText16(dc, inset, Scaled(1), titles[0], Length16(titles[0]));
        DrawText16(dc, 12 * cw + inset, Scaled(1), titles[1], Length16(titles[1]));
        DrawText16(dc, 34 * cw + inset, Scaled(1), titles[2], Length16(titles[2]));
        if (m_logs != nullptr) {
            // After the title as drawn: a Japanese one is wider than its units.
            SIZE title = {};
            GetTextExtentPoint32W(dc, W(titles[2]), Length16(titles[2]), &title);
            DrawLegend(dc, 34 * cw + inset + title.cx + 2 * cw, client.right);
        }
        FillArea(dc, 0, p, kIntervalColumn * cw + cellEnd, client.bottom, lineBrush);
        FillArea(dc, kIntervalColumn * cw + cellEnd, p, kMessageColumn * cw + cellEnd, client.bottom, intervalBrush);
        if (Wraps()) {
            DrawRowsWrapped(dc, client, lineBrush, intervalBrush);
        } else {
            DrawRows(dc, client, lineBrush, intervalBrush);
        }
        int lineWidth = Scaled(kSeparatorWidth);
        VerticalLine(dc, kMessageColumn * cw + Scaled(kFirstSeparator), p, client.bottom, lineWidth,
                     ColorOf(kColorSeparator).text);
        VerticalLine(dc, kMessageColumn * cw + Scaled(kSecondSeparator), p, client.bottom, lineWidth,
                     ColorOf(kColorNormal).background);
        DeleteObject(headerBrush);
        DeleteObject(lineBrush);
        DeleteObject(intervalBrush);
    }
    if (m_boldFont != nullptr) DeleteObject(m_boldFont);
    m_boldFont = nullptr;
    return 1;
}

void CLogView::DrawRows(HDC dc, const RECT& client, HBRUSH lineBrush, HBRUSH intervalBrush) {
    int p = m_rowPitch > 0 ? m_rowPitch : 1;
    int rowsToDraw = (client.bottom - client.top - 1 + p) / p;
    CRow first(m_vScroll.position);
    // The visible rows' entries in one read: a packed source makes them a block at a time.
    auto* bytes = static_cast<char*>(std::malloc(kRowDrawBytes + 1));
    auto* text = static_cast<char16_t*>(std::malloc(kRowDrawBytes * sizeof(char16_t)));
    auto* lines =
        static_cast<CLogLine*>(std::malloc(sizeof(CLogLine) * static_cast<size_t>(rowsToDraw > 0 ? rowsToDraw : 1)));
    bool labelled = m_labels != nullptr && !m_labels->Empty();
    CRowDrawScratch scratch(m_settings.colorCodes != 0, kRowDrawBytes, labelled);
    CStyleRun* runs = scratch.Runs();
    bool ready = bytes != nullptr && text != nullptr && lines != nullptr && scratch.Ready();
    int64_t shown = ready ? m_rows->ReadRows(first, rowsToDraw, lines) : 0;
    int cw = m_charWidth;
    CRowCells cells(*m_rows, first, m_settings.intervalCheck, m_settings.intervalTime);
    int marker = FirstMarkerToDraw(first);
    m_drawRight = client.right;
    int cellEnd = Scaled(kCellEnd);
    int textX = kMessageColumn * cw + cellEnd - static_cast<int>(m_hScroll.position) * cw;
    for (int k = 0; k < shown; ++k) {
        const CLogLine& line = lines[k];
        CRow row = first + k;
        int y = p * (k + 1);
        UseColors(dc, kColorNormal);
        int runCount = 0;
        int units = ReadRowPrefix(row, line, bytes, text, runs, &runCount);
        // The line break stays in the text for search and copy, but fonts draw it as a box.
        while (units > 0 && (text[units - 1] == u'\r' || text[units - 1] == u'\n')) --units;
        if (units > 0) {
            int spanCount = labelled ? m_labels->FindSpans(text, units, scratch.Spans(), kRowDrawBytes) : 0;
            DrawRowText(dc, textX, y, text, units, runs, runCount, scratch.Spans(), spanCount);
            if (m_selectionMode != CSelectionMode::kNone) DrawSelection(dc, row.Value(), textX, y, text, units);
        }
        DrawRowStart(dc, y, row, line, &cells, &marker, lineBrush, intervalBrush);
    }
    m_drawRight = kNoDrawLimit;
    std::free(bytes);
    std::free(text);
    std::free(lines);
}

int CLogView::FirstMarkerToDraw(CRow first) const {
    // Markers are walked alongside the rows, from the entry above the first visible one.
    CLogLine above;
    int markerCount = m_markers.Count();
    const CMarker* markers = m_markers.Entries();
    int marker = 0;
    if (RowEntry(first > CRow(0) ? first - 1 : CRow(0), &above)) {
        while (marker < markerCount && markers[marker].lineNumber < CLineNumber(above.lineNumber)) ++marker;
    }
    return marker;
}

void CLogView::DrawRowStart(HDC dc, int y, CRow row, const CLogLine& line, CRowCells* cells, int* marker,
                            HBRUSH lineBrush, HBRUSH intervalBrush) {
    CRowCell cell;
    cells->Next(line, &cell);
    int markerCount = m_markers.Count();
    const CMarker* markers = m_markers.Entries();
    CLineNumber number(line.lineNumber);
    while (*marker < markerCount && markers[*marker].lineNumber < number) ++*marker;
    bool hasMarker = *marker < markerCount && markers[*marker].lineNumber == number;
    if (hasMarker) ++*marker;
    DrawRowCells(dc, y, cell, hasMarker, row.Value() == m_caretRow, lineBrush, intervalBrush);
    if (m_logs != nullptr) DrawSourceCell(dc, y, m_logs->LogOf(row, line));
}

// The cells left of the message: the line number, the interval (flagged when too long),
// the marker and the caret.
void CLogView::DrawRowCells(HDC dc, int y, const CRowCell& cell, bool hasMarker, bool hasCaret, HBRUSH lineBrush,
                            HBRUSH intervalBrush) {
    int cw = m_charWidth;
    int p = m_rowPitch > 0 ? m_rowPitch : 1;
    int inset = Scaled(kTextInset);
    int cellEnd = Scaled(kCellEnd);
    UseColors(dc, kColorLineNumber);
    FillArea(dc, 0, y, kIntervalColumn * cw + cellEnd, y + p, lineBrush);
    DrawText16(dc, inset, y, cell.number, Length16(cell.number));
    UseColors(dc, kColorInterval);
    FillArea(dc, kIntervalColumn * cw + cellEnd, y, kMessageColumn * cw + cellEnd, y + p, intervalBrush);
    if (cell.hasInterval) {
        if (cell.marked) UseColors(dc, kColorIntervalError);
        DrawText16(dc, 12 * cw + inset, y, cell.interval, Length16(cell.interval));
        if (cell.marked) UseColors(dc, kColorInterval);
    }
    if (hasMarker) {
        UseColors(dc, kColorMarker);
        DrawText16(dc, 26 * cw + inset, y, u"*", 1);
    }
    if (hasCaret) {
        UseColors(dc, kColorCursor);
        DrawText16(dc, 27 * cw + inset, y, u"=>", 2);
    }
}

void CLogView::DrawRowText(HDC dc, int x, int y, const char16_t* text, int count, const CStyleRun* runs, int runCount,
                           const CLabelSpan* spans, int spanCount) {
    int run = 0;
    int span = 0;
    COLORREF ground = ColorOf(kColorNormal).background;
    for (int start = 0; start < count;) {
        int n = TokenLength(text, count, start);
        if (n <= 0) break;
        int end = start + n;
        bool bold = false;
        int color = TokenColor(text + start, n, &bold);
        // A label may begin or end inside a token: the token is drawn in pieces.
        for (int at = start; at < end;) {
            while (span < spanCount && spans[span].end <= at) ++span;
            bool inLabel = span < spanCount && spans[span].start <= at;
            int stop = span >= spanCount ? end : std::min(end, inLabel ? spans[span].end : spans[span].start);
            if (inLabel) {
                x = DrawPiece(dc, x, y, text + at, stop - at, m_labelInk[spans[span].label], ground, bold, true);
            } else if (runCount == 0 || color >= 0) {
                CColorEntry c = ColorOf(color >= 0 ? color : kColorNormal);
                x = DrawPiece(dc, x, y, text + at, stop - at, c.text, c.background, bold);
            } else {
                x = DrawStyled(dc, x, y, text, at, stop, runs, runCount, &run);
            }
            at = stop;
        }
        start = end;
        // The rest of the row lies right of the window.
        if (x >= m_drawRight) break;
    }
}

bool CLogView::TokenStartsWithSearch(const char16_t* token, int length) const {
    return m_condition != nullptr && m_condition->MatchesAtStart(token, length) != 0;
}

int CLogView::TokenColor(const char16_t* token, int length, bool* bold) const {
    int color = -1;
    *bold = false;
    if (m_keywords != nullptr) {
        int k = m_keywords->Find(token, length);
        if (k >= 0) {
            color = m_keywords->Entry(static_cast<uint32_t>(k)).color;
            *bold = m_keywords->Entry(static_cast<uint32_t>(k)).bold != 0;
        }
    }
    if (m_highlightSearch && TokenStartsWithSearch(token, length)) {
        color = kColorCursor;
        *bold = false;
    }
    return color;
}

int CLogView::DrawToken(HDC dc, int x, int y, const char16_t* token, int length) {
    bool bold = false;
    int color = TokenColor(token, length, &bold);
    CColorEntry c = ColorOf(color >= 0 ? color : kColorNormal);
    return DrawPiece(dc, x, y, token, length, c.text, c.background, bold);
}

int CLogView::DrawStyled(HDC dc, int x, int y, const char16_t* text, int start, int end, const CStyleRun* runs,
                         int runCount, int* run) {
    CColorEntry normal = ColorOf(kColorNormal);
    COLORREF back = normal.background;
    // A light view takes the darker text colours.
    bool light = (299 * GetRValue(back) + 587 * GetGValue(back) + 114 * GetBValue(back)) / 1000 >= 128;
    for (int at = start; at < end;) {
        while (*run + 1 < runCount && runs[*run + 1].start <= at) ++*run;
        int stop = *run + 1 < runCount && runs[*run + 1].start < end ? runs[*run + 1].start : end;
        const CTermStyle& style = runs[*run].style;
        // Text on a background of its own is not on the view's: the console's colours.
        bool onView = light && style.background == kTermDefault;
        COLORREF ink = style.foreground != kTermDefault ? TermColorRef(style.foreground, false, onView) : normal.text;
        COLORREF fill = style.background != kTermDefault ? TermColorRef(style.background, true, light) : back;
        x = DrawPiece(dc, x, y, text + at, stop - at, ink, fill, style.bold);
        at = stop;
    }
    return x;
}

int CLogView::DrawPiece(HDC dc, int x, int y, const char16_t* text, int length, COLORREF ink, COLORREF back, bool bold,
                        bool underline) {
    SetTextColor(dc, ink);
    SetBkColor(dc, back);
    HGDIOBJ old = bold && m_boldFont != nullptr ? SelectObject(dc, m_boldFont) : nullptr;
    if (m_layout.wrap != nullptr) {
        x = DrawWrappedPiece(dc, text, length, underline);
    } else {
        // Measured in the font it is drawn in: a bold face may be wider than the normal one.
        SIZE size = {};
        GetTextExtentPoint32W(dc, W(text), length, &size);
        DrawText16(dc, x, y, text, length);
        if (underline) Underline(dc, x, x + size.cx, y, ink);
        x += size.cx;
    }
    if (old != nullptr) SelectObject(dc, old);
    return x;
}

void CLogView::DrawSelection(HDC dc, int64_t row, int textX, int y, const char16_t* text, int count) {
    bool inOrder =
        m_selFirstRow < m_selLastRow || (m_selFirstRow == m_selLastRow && m_selFirstColumn <= m_selLastColumn);
    int64_t topRow = inOrder ? m_selFirstRow : m_selLastRow;
    int topColumn = inOrder ? m_selFirstColumn : m_selLastColumn;
    int64_t endRow = inOrder ? m_selLastRow : m_selFirstRow;
    int endColumn = inOrder ? m_selLastColumn : m_selFirstColumn;
    auto clamp = [count](int column) { return column < 0 ? 0 : (column > count ? count : column); };
    int s = row == topRow ? clamp(topColumn) : 0;
    int e = row == endRow ? clamp(endColumn) : count;
    int topWidth = DisplayWidth(text, clamp(topColumn));
    int endWidth = DisplayWidth(text, clamp(endColumn));
    TraceOutput(u"wk_top_c=%d, top_c=%d, wk_end_c=%d, end_c=%d, pos=%d, cnt=%d, len=%d, m_SelTopC=%d, m_SelEndC=%d\n",
                topWidth, topColumn, endWidth, endColumn, s, e - s, count, m_selFirstColumn, m_selLastColumn);
    if (row < topRow || row > endRow || e - s <= 0) return;
    if (m_layout.wrap != nullptr) {
        CColorEntry c = ColorOf(kColorSelection);
        DrawPiece(dc, textX, y, text + s, e - s, c.text, c.background, false);
        return;
    }
    int x = row == topRow ? textX + DisplayWidth(text, s) * m_charWidth : textX;
    UseColors(dc, kColorSelection);
    DrawText16(dc, x, y, text + s, e - s);
}
