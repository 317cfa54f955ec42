// CTimelinePane: the pane at the foot of a log view that shows its timeline - a bar per
// time bucket for the rows, with the error rows in the error colour over it, time labels
// under the bars, the bucket width at their right end, a line at the caret's time and a band
// under the times of the rows in view. Hovering
// shows the bucket's start and counts in a tip beside the pointer and in the status bar;
// a click moves the view to the bucket's first row. A followed log's new rows are counted
// into it as they come. A log without time stamps gets a line of text instead of bars.
// Owned by its view, which hands it the timeline (built by a job); UI thread only.
#pragma once

#include <windows.h>

#include <memory>

#include "search/timeline.h"
#include "view/child_view.h"

class CLogView;

class CTimelinePane : public CChildView {
public:
    explicit CTimelinePane(CLogView* view) : m_view(view) {}

    // The pane's height at a DPI.
    static int Height(int dpi);
    void SetTimeline(std::unique_ptr<CTimeline> timeline);
    // The rows of line from on were replaced or added (a followed log grew): their counts
    // go, and the rows are counted again in slices on a timer once the follow step is
    // applied (its error lines come after its rows). A count that cannot be carried on is
    // made afresh by the application.
    void RowsChangedFrom(CLineNumber from);
    // For tests: whether every row is counted.
    bool CountDone() const;
    const CTimeline* Timeline() const { return m_timeline.get(); }
    // The hover tip (null until the first hover), for tests.
    HWND Tip() const { return m_tip; }
    // The bucket under x of the pane's client area, or -1.
    int64_t BucketAt(int x) const;

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    int OnDraw(HDC dc, const RECT& client) override;
    int OnLButtonDown(int x, int y) override;
    int OnLButtonUp(int x, int y) override;
    int OnMouseMove(int x, int y) override;

private:
    struct CLayout {
        int margin = 0;
        int width = 0;     // of the bars
        int bottom = 0;    // the bars' foot
        int height = 0;    // of the fullest bar
        int bandTop = 0;   // the band of the rows in view
        int labelTop = 0;  // the time labels
    };
    CLayout LayOut(const RECT& client, int labelHeight) const;
    void DrawBars(HDC dc, const RECT& client);
    void DrawPlace(HDC dc, const CLayout& l);
    void DrawLabels(HDC dc, const CLayout& l, int charWidth);
    bool XOfRow(int64_t row, const CLayout& l, int* x) const;
    // Counts new rows for a few milliseconds; keeps the timer while rows remain.
    void CountSlice();
    void Schedule();
    // Shows the hover tip with text beside the pointer; null hides it.
    void ShowTip(const char16_t* text);

    CLogView* m_view;
    std::unique_ptr<CTimeline> m_timeline;
    int64_t m_hovered = -1;
    HWND m_tip = nullptr;
    bool m_timerOn = false;
    bool m_recount = false;  // the application is to count afresh
};
