// FileDialogFields: the fields every open or save dialog of the program fills the same way.
#pragma once

#include <windows.h>

#include <commdlg.h>

inline OPENFILENAMEW FileDialogFields(HWND owner, const wchar_t* filter, wchar_t* path, int capacity,
                                      const wchar_t* title) {
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path;
    dialog.nMaxFile = static_cast<DWORD>(capacity);
    dialog.lpstrTitle = title;
    return dialog;
}
