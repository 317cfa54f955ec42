// CAppMDIChild: a self-drawn window that lives as an MDI child of the application's
// frame; it keeps the frame (target of its notifications) and the MDI client (which
// destroys it). UI thread only.
#pragma once

#include <windows.h>

#include "view/child_view.h"

class CAppMDIChild : public CChildView {
public:
    HWND Frame() const { return m_frame; }
    HWND MdiClient() const { return m_mdiClient; }

protected:
    HWND m_mdiClient = nullptr;
    HWND m_frame = nullptr;
};
