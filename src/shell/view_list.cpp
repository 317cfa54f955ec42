// CViewList: a vector of owned views with the lookups the application makes.
#include "shell/view_list.h"

#include <new>

#include "view/log_view.h"

CViewList::~CViewList() { Clear(); }

CLogView* CViewList::Active() const {
    for (const auto& view : m_views) {
        if (view->m_active) return view.get();
    }
    return nullptr;
}

CLogView* CViewList::Find(HWND window) const {
    for (const auto& view : m_views) {
        if (view->Window() == window) return view.get();
    }
    return nullptr;
}

bool CViewList::Contains(const CLogView* view) const {
    if (view == nullptr) return false;
    for (const auto& v : m_views) {
        if (v.get() == view) return true;
    }
    return false;
}

CLogView* CViewList::Add(std::unique_ptr<CLogView> view) {
    CLogView* added = view.get();
    // push_back may throw only bad_alloc; then the view is deleted with the unique_ptr.
    try {
        m_views.push_back(std::move(view));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return added;
}

std::unique_ptr<CLogView> CViewList::Remove(const CLogView* view) {
    for (auto it = m_views.begin(); it != m_views.end(); ++it) {
        if (it->get() != view) continue;
        std::unique_ptr<CLogView> taken = std::move(*it);
        m_views.erase(it);
        if (view == m_errorLog) m_errorLog = nullptr;
        return taken;
    }
    return nullptr;
}

void CViewList::Clear() {
    std::vector<std::unique_ptr<CLogView>> views;
    views.swap(m_views);
    m_errorLog = nullptr;
    for (auto& view : views) view->CloseViewWindow();
}

CLogView* CViewList::SetActive(HWND window) {
    CLogView* active = nullptr;
    for (const auto& view : m_views) {
        view->m_active = view->Window() == window ? 1 : 0;
        if (view->m_active) active = view.get();
    }
    return active;
}

void CViewList::RedrawAll() const {
    for (const auto& view : m_views) view->Invalidate();
}
