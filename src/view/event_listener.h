// The listener interfaces through which the log views talk back to the application, and
// the message a view posts to the frame when its window closes. UI thread only.
#pragma once

#include <windows.h>

#include <cstdint>

#include "document/row_types.h"

class CLogView;

// Posted by a view to its frame when its window closes (wParam: the window).
constexpr UINT UM_CHILD_CLOSED = WM_USER + 2;

class CEventListener {
public:
    virtual ~CEventListener() {}
};

class CAppEventListener : public CEventListener {
public:
    // Writes text into a status-bar part (0..2) for a view of the application's list.
    virtual void SetStatusText(CLogView* view, int part, const wchar_t* text) = 0;
    // Recomputes the menu and toolbar state for the view.
    virtual void OnViewStateChanged(CLogView* view) = 0;
    virtual HWND GetFrameWindow() = 0;
    // Progress of the running background job (bytes for a load, rows for a scan).
    virtual void OnLoadProgress(uint64_t done, uint64_t total) = 0;
    // Moves the first view (the loaded file's, whose rows are the file's lines) to a line.
    virtual void JumpFirstViewToLine(CLineNumber line) = 0;
    // The view's timeline cannot take its new rows: counts it afresh (in the background).
    // False when that cannot start now (the runner is busy): ask again later.
    virtual bool RecountTimeline(CLogView* view) = 0;
};
