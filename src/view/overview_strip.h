// COverviewStrip: the narrow strip a log view shows left of its vertical scroll bar, mapping
// all its rows onto the strip's height: ticks for error rows, search hits (while the view
// highlights them), slow intervals (while the interval check is on), markers and, while
// there are colour labels, their texts in their colours, each in a lane of its own, and a
// frame over the rows in the window. A click or a drag
// moves the view there. The ticks are scanned in slices of a few milliseconds on a timer,
// so a large log never holds the window up. Owned by its view; UI thread only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "search/overview_ticks.h"
#include "view/child_view.h"
#include "view/label_lanes.h"

class CLogView;

class COverviewStrip : public CChildView {
public:
    explicit COverviewStrip(CLogView* view) : m_view(view) {}
    ~COverviewStrip() override;

    // The strip's width at the view's DPI.
    static int Width(int dpi);
    // Everything is scanned again (new rows, settings or condition).
    void Restart();
    // The rows of line from on were replaced or added (a followed log grew).
    void RowsChangedFrom(CLineNumber line);
    // For tests: whether every row is scanned, and the flags of count buckets.
    bool ScanDone() const {
        return m_ticks.Scanned() >= RowCount() && m_inputKey == InputKey() && m_labels.Done(RowCount());
    }
    void ReadBuckets(int count, uint8_t* out) const;
    // Bit k of out[b]: colour label k occurs in bucket b.
    void ReadLabelBuckets(int count, uint16_t* out) const { m_labels.Buckets(RowCount(), count, out); }

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    int OnDraw(HDC dc, const RECT& client) override;
    int OnLButtonDown(int x, int y) override;
    int OnLButtonUp(int x, int y) override;
    int OnMouseMove(int x, int y) override;

private:
    int64_t RowCount() const;
    // What the ticks depend on besides the rows; a change starts the scan again.
    std::u16string InputKey() const;
    // Scans for a few milliseconds; keeps the timer while rows remain.
    void ScanSlice();
    void Schedule();
    void JumpTo(int y);
    void DrawFrame(HDC dc, const RECT& client, int64_t rows);
    void DrawLabelLane(HDC dc, int left, int right, int height);

    CLogView* m_view;
    COverviewTicks m_ticks;
    CLabelLanes m_labels;
    std::unique_ptr<CLineMatcher> m_matcher;
    // For rows of several logs: each log read through its own file, in its own code page.
    std::unique_ptr<CLogReaders> m_readers;
    std::unique_ptr<CRowMatcher> m_rowMatcher;
    std::u16string m_inputKey;
    bool m_timerOn = false;
    bool m_dragging = false;
    uint64_t m_lastPaint = 0;
};
