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
#include "keywords/keyword_set.h"
#include "search/marker_list.h"
#include "search/row_logs.h"
#include "search/search_condition.h"
#include "view/event_listener.h"
#include "view/app_mdi_child.h"

struct CRowCell;
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
    int OnChar(int code) override;
    int OnKeyDown(WPARAM key, LPARAM data) override;
    void UpdateVScrollBar() override;
    void UpdateHScrollBar() override;

    // The text token by token; a token that no keyword or search colours takes the colours
    // of the runs (runCount 0: the normal colours).
    void DrawRowText(HDC dc, int x, int y, const char16_t* text, int count, const CStyleRun* runs = nullptr,
                     int runCount = 0);
    void DrawRowCells(HDC dc, int y, const CRowCell& cell, bool hasMarker, bool hasCaret, HBRUSH lineBrush,
                      HBRUSH intervalBrush);
    int DrawToken(HDC dc, int x, int y, const char16_t* token, int length);
    void DrawSelection(HDC dc, int64_t row, int textX, int y, const char16_t* text, int count);

private:
    struct HitPoint {
        int cell;       // (x - margin) / character width, -1 left of the margin
        int windowRow;  // row in the window, the header row counting as 0
        int64_t row;    // line-list row: windowRow + first visible row
    };
    HitPoint HitTest(int x, int y) const;
    // Character width, line height and row pitch of the settings' font.
    void MeasureFont();
    // Lays the view out again for its client area, keeping the first row and column (the
    // caret kept inside the window), unlike a resize, which returns to the top.
    void LayOutKeepingPlace();
    // Ends a drag with its later end at row and column (a button-up or a lost capture).
    void FinishDrag(int64_t row, int column);
    // Display offset of a cell in the row text: cell - 30 + first visible column, at least 0.
    int TextOffsetOfCell(int cell) const;
    // Text column (UTF-16 units) of a cell in a row; 0 for a row without text.
    int TextColumnAt(int64_t row, int cell, int* rowCount);
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
    bool TokenStartsWithSearch(const char16_t* token, int length) const;
    // The colour-table entry a keyword or the search highlight gives a token, or -1.
    int TokenColor(const char16_t* token, int length, bool* bold) const;
    // Text in the given colours and weight; returns the x after it.
    int DrawPiece(HDC dc, int x, int y, const char16_t* text, int length, COLORREF ink, COLORREF back, bool bold);
    // The units [start, end) of a row in the colours of its runs, from run *run on.
    int DrawStyled(HDC dc, int x, int y, const char16_t* text, int start, int end, const CStyleRun* runs, int runCount,
                   int* run);
    int OnArrowKey(WPARAM key);

    CAppEventListener* m_listener = nullptr;
    std::unique_ptr<CRowSource> m_rows;
    const CRowLogs* m_logs = nullptr;  // part of m_rows, or null
    const CKeywordSet* m_keywords = nullptr;
    const CSearchCondition* m_condition = nullptr;
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
    // Right edge of the area being painted: a row's tokens beyond it are not drawn.
    static constexpr int kNoDrawLimit = 0x7fffffff;
    int m_drawRight = kNoDrawLimit;
};
