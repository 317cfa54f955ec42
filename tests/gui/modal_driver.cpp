// The modal-dialog driver of the GUI tests.
#include "modal_driver.h"

#include <map>

namespace {

struct PendingDialog {
    HWND owner;
    std::function<void(HWND)> body;
    bool seen;
    HWND found;
};

std::map<UINT_PTR, PendingDialog*> g_pending;

BOOL CALLBACK FindOwnedDialog(HWND window, LPARAM data) {
    auto* pending = reinterpret_cast<PendingDialog*>(data);
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (lstrcmpW(name, L"#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    if (pending->owner != nullptr && GetWindow(window, GW_OWNER) != pending->owner) return TRUE;
    pending->found = window;
    return FALSE;
}

void CALLBACK DialogTimer(HWND, UINT, UINT_PTR id, DWORD) {
    auto it = g_pending.find(id);
    if (it == g_pending.end()) return;
    PendingDialog* pending = it->second;
    pending->found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindOwnedDialog, reinterpret_cast<LPARAM>(pending));
    if (pending->found == nullptr) return;
    KillTimer(nullptr, id);
    g_pending.erase(it);
    pending->seen = true;
    HWND dialog = pending->found;
    pending->body(dialog);
    // A dialog that is already ending is gone before this message comes up.
    if (IsWindow(dialog)) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
}

HWND FindChildOfClass(HWND parent, const wchar_t* className) {
    return FindWindowExW(parent, nullptr, className, nullptr);
}

}  // namespace

bool OnDialogOver(HWND owner, const std::function<void()>& action, const std::function<void(HWND)>& body) {
    PendingDialog pending = {owner, body, false, nullptr};
    UINT_PTR timer = SetTimer(nullptr, 0, 30, DialogTimer);
    g_pending[timer] = &pending;
    action();
    if (!pending.seen) {
        KillTimer(nullptr, timer);
        g_pending.erase(timer);
    }
    return pending.seen;
}

void ClickButton(HWND dialog, int id) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void PickListRow(HWND dialog, int id, int row) {
    HWND control = GetDlgItem(dialog, id);
    wchar_t name[32] = {};
    GetClassNameW(control, name, 32);
    bool combo = lstrcmpiW(name, L"ComboBox") == 0;
    SendMessageW(control, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, combo ? CBN_SELCHANGE : LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(control));
}

std::wstring ControlText(HWND dialog, int id) {
    wchar_t text[512] = {};
    GetDlgItemTextW(dialog, id, text, 512);
    return text;
}

void ConfirmFileDialog(HWND fileDialog, const std::wstring& path) {
    // The file name box: a combo box (cmb13) in the newer layout, an edit (edt1) in the older.
    HWND name = GetDlgItem(fileDialog, 0x47c);
    if (name != nullptr) {
        HWND edit = FindChildOfClass(name, L"Edit");
        if (edit != nullptr) name = edit;
    } else {
        name = GetDlgItem(fileDialog, 0x480);
    }
    SetWindowTextW(name, path.c_str());
    SendMessageW(fileDialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(fileDialog, IDOK)));
}

void ConfirmColorDialog(HWND colorDialog, COLORREF color) {
    // The red, green and blue boxes of the colour chooser.
    const int ids[3] = {0x2c2, 0x2c3, 0x2c4};
    const BYTE parts[3] = {GetRValue(color), GetGValue(color), GetBValue(color)};
    for (int k = 0; k < 3; ++k) SetDlgItemInt(colorDialog, ids[k], parts[k], FALSE);
    SendMessageW(colorDialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(colorDialog, IDOK)));
}
