// CViewList: the application's log views in the order they were made; the first is the
// open log's own view, the others its extractions and the error log. It owns them.
// UI thread only.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

class CLogView;

class CViewList {
public:
    CViewList() = default;
    ~CViewList();
    CViewList(const CViewList&) = delete;
    CViewList& operator=(const CViewList&) = delete;

    // The log's own view, or null when no view is open.
    CLogView* First() const { return m_views.empty() ? nullptr : m_views.front().get(); }
    // The view marked active (SetActive), or null.
    CLogView* Active() const;
    CLogView* Find(HWND window) const;
    // Whether view is still in the list (a pointer kept across a message loop may not be).
    bool Contains(const CLogView* view) const;
    int Count() const { return static_cast<int>(m_views.size()); }
    bool Empty() const { return m_views.empty(); }

    // Takes view (non-null) at the end; returns it, or null (and deletes it) when out of memory.
    CLogView* Add(std::unique_ptr<CLogView> view);
    // Takes view out of the list; the caller deletes it (null when it is not there).
    std::unique_ptr<CLogView> Remove(const CLogView* view);
    // Closes every view's window and deletes every view.
    void Clear();
    // Repaints every view.
    void RedrawAll() const;
    // Marks the view of window active and every other inactive; returns it (or null).
    CLogView* SetActive(HWND window);
    // The error-log view, which follows the error lines of a followed log (null when closed).
    CLogView* ErrorLog() const { return m_errorLog; }
    void SetErrorLog(CLogView* view) { m_errorLog = view; }

    auto begin() const { return m_views.begin(); }
    auto end() const { return m_views.end(); }

private:
    std::vector<std::unique_ptr<CLogView>> m_views;
    CLogView* m_errorLog = nullptr;
};
