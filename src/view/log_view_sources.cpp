// CLogView over rows of several logs (a merged view): each row read in its log's code page,
// a coloured source cell at the row's start, the logs' legend in the header, and a row's log
// name and line for the status bar (the caret's row, and the row whose source cell the
// mouse is over).
#include <cstdlib>

#include "document/log_file.h"
#include "foundation/format.h"
#include "foundation/wide.h"
#include "view/log_sources.h"
#include "view/log_view.h"

namespace {

// Tableau's ten: hues that stay apart for most readers, also as small marks.
constexpr COLORREF kHues[10] = {
    RGB(0x4E, 0x79, 0xA7), RGB(0xF2, 0x8E, 0x2B), RGB(0x59, 0xA1, 0x4F), RGB(0xE1, 0x57, 0x59), RGB(0xB0, 0x7A, 0xA1),
    RGB(0x76, 0xB7, 0xB2), RGB(0xED, 0xC9, 0x48), RGB(0xFF, 0x9D, 0xA7), RGB(0x9C, 0x75, 0x5F), RGB(0xBA, 0xB0, 0xAC)};

// A colour moved towards another by share/4.
COLORREF Blend(COLORREF from, COLORREF to, int share) {
    auto mix = [share](int a, int b) { return a + (b - a) * share / 4; };
    return RGB(mix(GetRValue(from), GetRValue(to)), mix(GetGValue(from), GetGValue(to)),
               mix(GetBValue(from), GetBValue(to)));
}

// The source cell: a bar one character wide at the row's start, over the line number's
// blank leading column.
constexpr int kCellLeft = 2;
constexpr int kCellMinimumWidth = 5;

}  // namespace

COLORREF SourceColor(int log, bool dark) {
    if (log < 0) log = 0;
    COLORREF hue = kHues[log % 10];
    int round = log / 10 % 3;  // 0 as it is, 1 darker, 2 lighter
    if (round == 1) hue = Blend(hue, RGB(0, 0, 0), 1);
    if (round == 2) hue = Blend(hue, RGB(0xFF, 0xFF, 0xFF), 1);
    // On a dark ground the hues are lifted a little, as the dark table lifts the text.
    return dark ? Blend(hue, RGB(0xFF, 0xFF, 0xFF), 1) : hue;
}

unsigned CLogView::CodePageOf(CRow row, const CLogLine& line) const {
    int log = m_logs != nullptr ? m_logs->LogOf(row, line) : -1;
    return log >= 0 ? m_logs->LogCodePage(log) : m_settings.codePage;
}

const CLogLineList* CLogView::ErrorLines() const {
    if (RowLogs() != nullptr) return m_logs->ErrorRows();
    return File() != nullptr ? &File()->ErrorLines() : nullptr;
}

void CLogView::DrawSourceCell(HDC dc, int y, int log) {
    if (log < 0) return;
    int left = Scaled(kCellLeft);
    int width = m_charWidth > Scaled(kCellMinimumWidth) ? m_charWidth : Scaled(kCellMinimumWidth);
    RECT cell = {left, y + Scaled(1), left + width, y + m_rowPitch - Scaled(1)};
    HBRUSH brush = CreateSolidBrush(SourceColor(log, m_settings.dark != 0));
    FillRect(dc, &cell, brush);
    DeleteObject(brush);
}

bool CLogView::OverSourceCell(int x) const {
    int width = m_charWidth > Scaled(kCellMinimumWidth) ? m_charWidth : Scaled(kCellMinimumWidth);
    return RowLogs() != nullptr && x < Scaled(kCellLeft) + width + Scaled(2);
}

void CLogView::DrawLegend(HDC dc, int x, int right) {
    int side = m_lineHeight - Scaled(4);
    for (int log = 0; log < m_logs->LogCount() && x < right; ++log) {
        CLogFile* file = m_logs->LogFile(log);
        const char16_t* name = file != nullptr ? file->Name().m_fileName.GetWideOrEmpty() : u"";
        RECT swatch = {x, Scaled(3), x + side, Scaled(3) + side};
        HBRUSH brush = CreateSolidBrush(SourceColor(log, m_settings.dark != 0));
        FillRect(dc, &swatch, brush);
        DeleteObject(brush);
        x += side + Scaled(3);
        int length = 0;
        while (name[length] != 0) ++length;
        SIZE size = {};
        GetTextExtentPoint32W(dc, W(name), length, &size);
        TextOutW(dc, x, Scaled(1), W(name), length);
        x += size.cx + 2 * m_charWidth;
    }
}

int CLogView::RowLogText(CRow row, char16_t* text, int capacity) const {
    int log = -1;
    int64_t line = 0;
    if (RowLogs() == nullptr || !m_logs->LogLineOf(row, &log, &line)) return 0;
    CLogFile* file = m_logs->LogFile(log);
    const char16_t* name = file != nullptr ? file->Name().m_fileName.GetWideOrEmpty() : u"";
    return FormatString(text, capacity, u"%s:%lld", name, static_cast<long long>(line + 1));
}

int CLogView::HoverSource(int x, int y) {
    if (!OverSourceCell(x)) return 0;
    char16_t text[300] = {};
    if (RowLogText(CRow(HitTest(x, y).row), text, 300) > 0) SetStatus(0, text);
    return 1;
}
