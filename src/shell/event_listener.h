// The listener interfaces through which the log views talk back to the application.
// All calls come from the UI thread, except OnLoadProgress, which the loading worker makes.
#pragma once

#include <windows.h>

#include <cstdint>

class CLogView;

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
    // Loading progress in bytes; called on the worker thread.
    virtual void OnLoadProgress(uint64_t done, uint64_t total) = 0;
    // Moves the first view (the loaded file's) to a line.
    virtual void JumpFirstViewToLine(int line) = 0;
};
