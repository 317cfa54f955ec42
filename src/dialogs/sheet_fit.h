// FitSheetToPage: grows a property sheet around a page whose controls reach beyond the
// room the sheet gives it. Header-only (Win32 only), so that the resource check of
// dialog_preview measures pages exactly as the program shows them. UI thread only.
#pragma once

#include <windows.h>
#include <commctrl.h>

// Call from the page's WM_INITDIALOG. The sheet sizes its pages in its own font while a
// page lays its controls out in the page's font; the two grow by different steps with
// the display scale, so at some scales the lowest or rightmost controls would be cut off.
// The sheet then grows by what is missing plus a margin; a page that fits changes nothing.
inline void FitSheetToPage(HWND page) {
    HWND sheet = GetParent(page);
    HWND tab = sheet != nullptr ? reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0)) : nullptr;
    if (tab == nullptr) return;
    RECT room;
    GetClientRect(tab, &room);
    SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&room));
    int needWidth = 0;
    int needHeight = 0;
    for (HWND child = GetWindow(page, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&r), 2);
        if (r.right > needWidth) needWidth = r.right;
        if (r.bottom > needHeight) needHeight = r.bottom;
    }
    RECT margin = {0, 0, 7, 7};  // dialog units, the templates' own margin
    MapDialogRect(page, &margin);
    int dx = needWidth > room.right - room.left ? needWidth + margin.right - (room.right - room.left) : 0;
    int dy = needHeight > room.bottom - room.top ? needHeight + margin.bottom - (room.bottom - room.top) : 0;
    if (dx == 0 && dy == 0) return;
    // The sheet lays itself out once: its tab, its pages and its buttons follow by hand.
    for (HWND child = GetWindow(sheet, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, sheet, reinterpret_cast<POINT*>(&r), 2);
        wchar_t name[32] = {};
        GetClassNameW(child, name, 32);
        if (lstrcmpiW(name, L"Button") == 0) {
            SetWindowPos(child, nullptr, r.left + dx, r.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        } else {
            SetWindowPos(child, nullptr, 0, 0, r.right - r.left + dx, r.bottom - r.top + dy,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    RECT outer;
    GetWindowRect(sheet, &outer);
    SetWindowPos(sheet, nullptr, 0, 0, outer.right - outer.left + dx, outer.bottom - outer.top + dy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
