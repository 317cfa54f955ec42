// CLogView: the MDI child that shows one line list (the loaded log, an extraction or the
// error lines) as a table of line number, interval and message, with a logical caret,
// a mouse selection, markers and keyword and search highlighting. UI thread only.
// Ownership: the view owns its line list and markers; the file, keyword set and search
// condition belong to the application and the configuration.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "document/escape_codes.h"
#include "document/log_file.h"
#include "document/log_line.h"
#include "document/row_source.h"
#include "document/row_text.h"
#include "document/row_wrap.h"
#include "foundation/buffer.h"
#include "keywords/keyword_set.h"
#include "search/marker_list.h"
#include "search/row_logs.h"
#include "search/search_condition.h"
#include "view/event_listener.h"
#include "view/app_mdi_child.h"

struct CRowCell;
class CRowCells;
struct CLabelSpan;
class CColorLabels;
class COverviewStrip;
class CTimelinePane;
class CTimeline;

// Where a view's selection stands: none, being dragged, or made.
enum class CSelectionMode { kNone = 0, kDragging = 2, kMade = 3 };

// The longest part of a row that drawing, copying and word selection look at.
constexpr int kRowDrawBytes = kRowTextBytes;

class CLogView : public CAppMDIChild {
public:
    CLogView();
    // Destroys the window (if still there), then frees the line list and the markers.
    ~CLogView() override;

    uint32_t m_active = 0;  // set by the application on the active view only

    // Frame (receives UM_CHILD_CLOSED and the posted commands), MDI client, and listener.
    void Attach(HWND frame, HWND mdiClient, CAppEventListener* listener);
    void SetKeywordSet(const CKeywordSet* keywords) { m_keywords = keywords; }
    void SetCondition(const CSearchCondition* condition) { m_condition = condition; }
    const CSearchCondition* Condition() const { return m_condition; }
    // The application's colour labels (config/color_labels.h): their texts are drawn in their
    // colours, underlined, wherever they occur; null for none.
    void SetLabels(const CColorLabels* labels) { m_labels = labels; }
    const CColorLabels* Labels() const { return m_labels; }
    static constexpr int kLabelInks = 9;  // one for each colour label
    // Takes the rows to show (null allowed) and shows them from the first row. logs: when the
    // rows come from several logs, which (the rows' own object, or null for one log): each row
    // is then read in its log's code page and shows its log in a source cell.
    void SetRows(std::unique_ptr<CRowSource> rows, const CRowLogs* logs = nullptr);
    // The same for a list of entries of file (null allowed).
    void SetLines(std::unique_ptr<CLogLineList> lines, CLogFile* file);
    // A followed log grew: the rows numbered from and above are replaced with more. The view
    // stays where it is and its scroll range grows; a caret on the last row moves to the new
    // last row and keeps it in the window. 1, or 0 when the list could not grow.
    int TakeFollowedLines(int64_t from, const CLogLineList& more);
    // The rows changed where they are (the rows of merged logs, as followed logs' rows are
    // merged in by time): rows from first on may have moved, gone or come new; rowNow gives
    // such a row before the change its row now (-1: gone). The caret stays on its row (on the
    // last row when it was there, kept in the window), the first row shown and the markers
    // follow theirs, a selection over moved rows is dropped, and the strip and the timeline
    // count again from the rows of line fromLine on. Nothing happens when no row changed.
    void RowsMoved(int64_t first, const std::function<int64_t(int64_t)>& rowNow, CLineNumber fromLine);
    // The rows shown; only while HasRows().
    const CRowSource& Rows() const { return *m_rows; }
    bool HasRows() const { return m_rows != nullptr; }
    // The list of entries behind the rows, for the scans that walk a list; null without one.
    CLogLineList* Lines() const { return m_rows != nullptr ? m_rows->List() : nullptr; }
    CLogFile* File() const { return m_rows != nullptr ? m_rows->File() : nullptr; }
    // The logs the rows come from, or null for rows of one log.
    const CRowLogs* RowLogs() const { return m_rows != nullptr ? m_logs : nullptr; }
    // The error rows as the rows number their lines: the logs' merged ones, or the file's.
    const CLogLineList* ErrorLines() const;
    CMarkerList& Markers() { return m_markers; }
    // Sets or removes the marker of a row and repaints; false for a row outside the rows.
    bool ToggleMarker(CRow row);

    CSelectionMode SelectionState() const { return m_selectionMode; }
    // Rows are 64-bit everywhere in the view: a log may have billions of them.
    int64_t SelectionFirstRow() const { return m_selFirstRow; }
    int64_t SelectionLastRow() const { return m_selLastRow; }
    int SelectionFirstColumn() const { return m_selFirstColumn; }
    int SelectionLastColumn() const { return m_selLastColumn; }
    void ClearSelection() { m_selectionMode = CSelectionMode::kNone; }
    // Selects every row whole (Ctrl+A) and reports it like a mouse selection.
    void SelectAll();
    int HighlightSearch() const { return m_highlightSearch; }
    void SetHighlightSearch(int on) { m_highlightSearch = on; }
    int64_t CaretLine() const { return m_caretRow; }
    int CaretColumn() const { return m_caretColumn; }
    int64_t FirstVisibleRow() const { return m_vScroll.position; }
    int FirstVisibleColumn() const { return static_cast<int>(m_hScroll.position); }
    int VisibleRows() const { return m_visibleRows; }
    // Long rows wrap (the settings' wrap): the first visible row may then start in the window
    // at a later line of its own, and fewer rows than VisibleRows may show.
    bool Wraps() const { return m_settings.wrap != 0; }
    int FirstVisibleLine() const { return m_firstLine; }
    // The rows the window shows (at the last paint while rows wrap).
    int64_t ShownRows() const { return Wraps() ? m_shownRows : m_visibleRows; }
    // The visual lines a row takes as the view wraps it now: 1 while rows do not wrap. Wraps
    // the row (its shown text) unless its count is still known.
    int32_t LinesOf(int64_t row);
    // After the wrap setting changed: lays the view out again from its first row.
    void ApplyWrap();

    // Caret to a line-list index (clamped to the list), centred in the window.
    void GoToLine(int64_t line);
    // Puts the caret on caretRow and firstRow at the top, as a view was left (both kept within the rows).
    void ShowRows(int64_t caretRow, int64_t firstRow);
    // "line:%d, column:%d" of the caret in status pane 1.
    void ShowCaretPosition();
    // WM_MDIDESTROY to the MDI client for the window, then forgets it.
    void CloseViewWindow() { DestroyView(); }

    // A row's whole text converted with the settings' code page (without its escape
    // sequences with colour codes on, as it is shown): a new buffer (free with std::free)
    // and its unit count, or null for a row outside the list or no text.
    char16_t* GetRowText(int64_t index, int* count);
    // The selected rows' text, line breaks included, as a new NUL-terminated buffer (free
    // with std::free), or null without a complete selection. Clears the selection.
    char16_t* GetSelectedText();
    // A made selection over rows of a list (what GetSelectedText would copy), and its range.
    bool HasCopyableSelection() const;
    CRowRange SelectedRange() const;
    // The token containing a display offset of text: start and length (0, 0 for none).
    void FindTokenAt(const char16_t* text, int count, int offset, int* start, int* length) const;

    // After a change of the settings' font: measures it again and recomputes the visible
    // rows and columns and the scroll ranges, keeping the first row and the caret in view.
    void ApplyFont();
    // After the window moved to a display of another scale: the font and every pixel
    // measure follow the new DPI, as ApplyFont does for a new font.
    void SetDpi(int dpi);
    // Shows or hides the overview strip as the settings say, and lays the view out again.
    void UpdateOverview();
    // The strip, or null while it is hidden (for tests).
    COverviewStrip* Overview() const { return m_overview.get(); }
    // Repaints the view and its strip.
    void Invalidate() override;
    // Shows the timeline in a pane at the foot of the view (made on first use); null hides it.
    void SetTimeline(std::unique_ptr<CTimeline> timeline);
    // The pane, or null while it is hidden.
    CTimelinePane* TimelinePane() const { return m_timeline.get(); }
    CAppEventListener* Listener() const { return m_listener; }
    // Text in the status bar's first part (the timeline's hover text).
    void ShowStatus(const char16_t* text) { SetStatus(0, text); }

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    virtual int OnCreateView(HWND window);

    void DestroyView() override;
    bool RegisterWindowClass(HINSTANCE instance) override;
    int OnClose(HWND window) override;
    int OnSize(int width, int height, int sizeType) override;
    int OnDraw(HDC dc, const RECT& client) override;
    int OnLButtonDown(int x, int y) override;
    int OnLButtonUp(int x, int y) override;
    // WM_CAPTURECHANGED: a drag that lost the mouse ends where the pointer last was.
    int OnCaptureLost();
    int OnMouseMove(int x, int y) override;
    int OnRButtonDown(int x, int y) override;
    int OnLButtonDblClk(int x, int y) override;
    int OnHScroll(int code) override;
    // While rows wrap, lines, pages and the wheel move by visual lines; the thumb by rows.
    int OnVScroll(int code) override;
    int OnMouseWheel(int delta) override;
    // The first visible row, from its first line.
    void SetVScrollPos(int64_t position) override;
    int OnChar(int code) override;
    int OnKeyDown(WPARAM key, LPARAM data) override;
    void UpdateVScrollBar() override;
    void UpdateHScrollBar() override;

    // The text token by token; a token that no keyword or search colours takes the colours
    // of the runs (runCount 0: the normal colours). The units of the label spans (in order,
    // apart) take their label's colour instead.
    void DrawRowText(HDC dc, int x, int y, const char16_t* text, int count, const CStyleRun* runs = nullptr,
                     int runCount = 0, const CLabelSpan* spans = nullptr, int spanCount = 0);
    void DrawRowCells(HDC dc, int y, const CRowCell& cell, bool hasMarker, bool hasCaret, HBRUSH lineBrush,
                      HBRUSH intervalBrush);
    int DrawToken(HDC dc, int x, int y, const char16_t* token, int length);
    void DrawSelection(HDC dc, int64_t row, int textX, int y, const char16_t* text, int count);

private:
    struct HitPoint {
        int cell;       // (x - margin) / character width, -1 left of the margin
        int windowRow;  // row in the window, the header row counting as 0
        int64_t row;    // line-list row: windowRow + first visible row (the visual line's row when wrapping)
        int offset;     // display offset in the row's text under the pointer (TextOffsetOfCell unwrapped)
    };
    // The pieces of the row being drawn while rows wrap: its text, each unit's x from the
    // text's start (offsets[i], pixels) and advance (widths[i]), its lines, the first one
    // drawn and where it goes.
    struct CRowLayout {
        const char16_t* text = nullptr;
        const int32_t* offsets = nullptr;
        const int32_t* widths = nullptr;
        const CRowWrap* wrap = nullptr;
        int firstLine = 0;
        int top = 0;
        int left = 0;
        int bottom = 0;
    };
    // What the kept line counts were wrapped for.
    struct CWrapKey {
        int width = -1;
        int charWidth = 0;
        uint32_t codePage = 0;
        int32_t colorCodes = 0;
        const CRowSource* rows = nullptr;
        bool operator==(const CWrapKey& o) const {
            return width == o.width && charWidth == o.charWidth && codePage == o.codePage &&
                   colorCodes == o.colorCodes && rows == o.rows;
        }
    };
    HitPoint HitTest(int x, int y);
    // Character width, line height and row pitch of the settings' font.
    void MeasureFont();
    // Lays the view out again for its client area, keeping the first row and column (the
    // caret kept inside the window), unlike a resize, which returns to the top.
    void LayOutKeepingPlace();
    // Ends a drag with its later end at row and column (a button-up or a lost capture).
    void FinishDrag(int64_t row, int column);
    // Display offset of a cell in the row text: cell - 30 + first visible column, at least 0.
    int TextOffsetOfCell(int cell) const;
    // Text column (UTF-16 units) at a display offset of a row; 0 for a row without text.
    int TextColumnAt(int64_t row, int offset, int* rowCount);
    // Selects the token at a display offset of a row (double click); nothing on no token.
    void SelectTokenAt(int64_t row, int offset);
    // Reads at most kRowDrawBytes of a row, whose entry is line, into bytes and converts
    // them into text (kRowDrawBytes units), without its escape sequences with colour codes
    // on; runs, when given (StyleRunCapacity(kRowDrawBytes)), receive the text's colours,
    // *runCount of them (0 with colour codes off). Returns the unit count, 0 for nothing.
    int ReadRowPrefix(CRow row, const CLogLine& line, char* bytes, char16_t* text, CStyleRun* runs = nullptr,
                      int* runCount = nullptr);
    int LineLength(int64_t row) const;
    // The number of rows (0 without rows), and a row's entry: false outside the rows.
    int64_t RowCount() const;
    bool RowEntry(CRow row, CLogLine* line) const;
    // The first visible row, moved without the clamping of SetVScrollPos (at least 0).
    void SetFirstRow(int64_t row);
    void ReportSelection(bool withCount, int count);
    // The rows' logs (log_view_sources.cpp): the code page a row is read in, its log's
    // coloured cell at the row's start, the legend in the header, and the log's name and
    // line for a row (hover and caret); 0 when the rows are of one log.
    unsigned CodePageOf(CRow row, const CLogLine& line) const;
    void DrawSourceCell(HDC dc, int y, int log);
    void DrawLegend(HDC dc, int x, int right);
    int RowLogText(CRow row, char16_t* text, int capacity) const;
    bool OverSourceCell(int x) const;
    // The mouse over a row's source cell shows its log and line; 0 elsewhere.
    int HoverSource(int x, int y);
    void SetStatus(int part, const char16_t* text);
    void NotifyStateChanged();
    // A colour-table entry of the settings; one the table does not have is black on black.
    CColorEntry ColorOf(int entry) const;
    void UseColors(HDC dc, int entry) const;
    void DrawCells(HDC dc, const RECT& client, HBRUSH lineBrush, HBRUSH intervalBrush);
    void DrawRows(HDC dc, const RECT& client, HBRUSH lineBrush, HBRUSH intervalBrush);
    // The first marker that can be on the row first or below it; and the cells left of a
    // drawn row's text, the markers walked alongside the rows from *marker.
    int FirstMarkerToDraw(CRow first) const;
    void DrawRowStart(HDC dc, int y, CRow row, const CLogLine& line, CRowCells* cells, int* marker, HBRUSH lineBrush,
                      HBRUSH intervalBrush);
    // Where the message text starts (first visible column 0).
    int MessageLeft() const;
    void Underline(HDC dc, int left, int right, int y, COLORREF color) const;
    // Wrapping (log_view_wrap.cpp): the width the rows wrap at, the scratch a row is wrapped
    // in, a row's shown text wrapped (its units, -1 without memory), the first visible place,
    // moves by visual lines, and the wrapped drawing.
    int WrapWidth() const;
    bool PrepareWrapBuffers();
    int WrapRowText(CRow row, const CLogLine& line, CRowWrap* wrap, CStyleRun* runs = nullptr, int* runCount = nullptr);
    void SetFirstPlace(int64_t row, int32_t line);
    void ScrollLines(int64_t delta);
    // The row's first line in the middle of the window.
    void CentreWrapped(int64_t row);
    // The least move that shows the whole row (or, taller than the window, its first line).
    void KeepRowInWindow(int64_t row);
    // The row and display offset under a cell of a line of the window (windowLine 0: under the header).
    int WrappedOffset(int64_t windowLine, int cell, int64_t* row);
    void DrawRowsWrapped(HDC dc, const RECT& client, HBRUSH lineBrush, HBRUSH intervalBrush);
    // A piece of the row being drawn, placed by m_layout on its lines; kNoDrawLimit once
    // it reaches below the window, else 0.
    int DrawWrappedPiece(HDC dc, const char16_t* text, int length, bool underline);
    bool TokenStartsWithSearch(const char16_t* token, int length) const;
    // The colour-table entry a keyword or the search highlight gives a token, or -1.
    int TokenColor(const char16_t* token, int length, bool* bold) const;
    // Text in the given colours and weight (underlined: a label's); returns the x after it.
    // While a wrapped row is drawn, the piece goes where m_layout puts it instead.
    int DrawPiece(HDC dc, int x, int y, const char16_t* text, int length, COLORREF ink, COLORREF back, bool bold,
                  bool underline = false);
    // The units [start, end) of a row in the colours of its runs, from run *run on.
    int DrawStyled(HDC dc, int x, int y, const char16_t* text, int start, int end, const CStyleRun* runs, int runCount,
                   int* run);
    int OnArrowKey(WPARAM key);

    CAppEventListener* m_listener = nullptr;
    std::unique_ptr<CRowSource> m_rows;
    const CRowLogs* m_logs = nullptr;  // part of m_rows, or null
    const CKeywordSet* m_keywords = nullptr;
    const CSearchCondition* m_condition = nullptr;
    const CColorLabels* m_labels = nullptr;
    // The labels' colours on the view's ground, made at each paint.
    COLORREF m_labelInk[kLabelInks] = {};
    CMarkerList m_markers;
    int32_t m_visibleRows = 1;
    int32_t m_visibleColumns = 0;
    int64_t m_caretRow = 0;
    int32_t m_caretColumn = 0;
    int64_t m_selFirstRow = 0;
    int64_t m_selLastRow = 0;
    int32_t m_selFirstColumn = 0;
    int32_t m_selLastColumn = 0;
    CSelectionMode m_selectionMode = CSelectionMode::kNone;
    int32_t m_highlightSearch = 0;
    HFONT m_boldFont = nullptr;
    std::unique_ptr<COverviewStrip> m_overview;
    std::unique_ptr<CTimelinePane> m_timeline;
    // Wrapping: the first visible row's first line in the window, the rows the last paint
    // showed, the line counts of rows near the window, and one row's wrap and its buffers.
    int32_t m_firstLine = 0;
    int64_t m_shownRows = 0;
    CLineCountCache m_lineCounts;
    CWrapKey m_wrapKey;
    CRowWrap m_wrapRow;
    CGrowBuffer<char> m_wrapBytes;
    CGrowBuffer<char16_t> m_wrapText;
    CGrowBuffer<int32_t> m_wrapOffsets;
    CGrowBuffer<int32_t> m_wrapWidths;
    CRowLayout m_layout;
    // Right edge of the area being painted: a row's tokens beyond it are not drawn.
    static constexpr int kNoDrawLimit = 0x7fffffff;
    int m_drawRight = kNoDrawLimit;
};
