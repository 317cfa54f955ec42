// The frame's and the views' layout between runs.
#include "shell/window_layout.h"

#include "config/app_parameter.h"

namespace {

// Saves the settings when a layout value changed.
void Store(int32_t* setting, int32_t value, bool* changed) {
    if (*setting == value) return;
    *setting = value;
    *changed = true;
}

void NoteViewLayout(HWND mdiClient, bool* changed) {
    BOOL maximized = FALSE;
    HWND active =
        mdiClient != nullptr
            ? reinterpret_cast<HWND>(SendMessageW(mdiClient, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized)))
            : nullptr;
    if (active != nullptr) Store(&AppConfig().m_viewMaximized, maximized ? 1 : 0, changed);
}

}  // namespace

int FrameShowCommand(int showCommand) {
    CAppParameter& config = AppConfig();
    bool plain = showCommand == SW_SHOWNORMAL || showCommand == SW_SHOWDEFAULT || showCommand == SW_SHOW;
    return plain && config.m_frameLayoutKnown != 0 && config.m_frameMaximized != 0 ? SW_SHOWMAXIMIZED : showCommand;
}

RECT KeepOnScreen(const RECT& rect) {
    if (MonitorFromRect(&rect, MONITOR_DEFAULTTONULL) != nullptr) return rect;
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromRect(&rect, MONITOR_DEFAULTTOPRIMARY), &info);
    const RECT& area = info.rcWork;
    LONG width = rect.right - rect.left;
    LONG height = rect.bottom - rect.top;
    if (width > area.right - area.left) width = area.right - area.left;
    if (height > area.bottom - area.top) height = area.bottom - area.top;
    LONG left = rect.left < area.left ? area.left : rect.left > area.right - width ? area.right - width : rect.left;
    LONG top = rect.top < area.top ? area.top : rect.top > area.bottom - height ? area.bottom - height : rect.top;
    return RECT{left, top, left + width, top + height};
}

void RestoreFrameLayout(HWND frame) {
    CAppParameter& config = AppConfig();
    if (frame == nullptr || config.m_frameLayoutKnown == 0) return;
    RECT kept = {config.m_frameLeft, config.m_frameTop, config.m_frameLeft + config.m_frameWidth,
                 config.m_frameTop + config.m_frameHeight};
    RECT shown = KeepOnScreen(kept);
    SetWindowPos(frame, nullptr, shown.left, shown.top, shown.right - shown.left, shown.bottom - shown.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (config.m_frameMaximized != 0) ShowWindow(frame, SW_SHOWMAXIMIZED);
}

void KeepWindowLayout(HWND frame, HWND mdiClient) {
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    bool changed = false;
    NoteViewLayout(mdiClient, &changed);
    if (frame != nullptr && GetWindowPlacement(frame, &placement)) {
        CAppParameter& config = AppConfig();
        // The normal rectangle, in screen pixels, whatever the state the frame is in now.
        RECT normal = placement.rcNormalPosition;
        if (!IsIconic(frame) && !IsZoomed(frame)) GetWindowRect(frame, &normal);
        Store(&config.m_frameLayoutKnown, 1, &changed);
        Store(&config.m_frameLeft, normal.left, &changed);
        Store(&config.m_frameTop, normal.top, &changed);
        Store(&config.m_frameWidth, normal.right - normal.left, &changed);
        Store(&config.m_frameHeight, normal.bottom - normal.top, &changed);
        // A frame left minimised comes back as it was before.
        bool maximized = IsZoomed(frame) || (IsIconic(frame) && (placement.flags & WPF_RESTORETOMAXIMIZED) != 0);
        Store(&config.m_frameMaximized, maximized ? 1 : 0, &changed);
    }
    if (changed) AppConfig().Save();
}

void KeepViewLayout(HWND mdiClient) {
    bool changed = false;
    NoteViewLayout(mdiClient, &changed);
    if (changed) AppConfig().Save();
}

DWORD NewViewStyle(HWND mdiClient) {
    // With views open, the MDI client gives a new one the state of the active view.
    HWND active =
        mdiClient != nullptr ? reinterpret_cast<HWND>(SendMessageW(mdiClient, WM_MDIGETACTIVE, 0, 0)) : nullptr;
    return active == nullptr && AppConfig().m_viewMaximized != 0 ? WS_MAXIMIZE : 0;
}
