// The recent logs of the File menu.
#include "shell/recent_menu.h"

#include <shlwapi.h>

#include "config/app_parameter.h"
#include "config/folders.h"
#include "config/ui_text.h"
#include "foundation/format.h"
#include "foundation/wide.h"
#include "res/resource.h"
#include "shell/app_main.h"

namespace {

constexpr int kShownPathLength = 60;  // characters of a path in the menu; longer ones are shortened

bool IsRecentItem(UINT id) { return id >= IDM_RECENT_1 && id <= IDM_RECENT_SEPARATOR; }

HMENU FileMenu(HWND frame) {
    HMENU bar = frame != nullptr ? GetMenu(frame) : nullptr;
    return bar != nullptr ? GetSubMenu(bar, AppConfig().GetMenuPosition(u"File")) : nullptr;
}

void RemoveRecentItems(HMENU menu) {
    for (int k = GetMenuItemCount(menu) - 1; k >= 0; --k) {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID;
        if (GetMenuItemInfoW(menu, static_cast<UINT>(k), TRUE, &info) && IsRecentItem(info.wID))
            DeleteMenu(menu, static_cast<UINT>(k), MF_BYPOSITION);
    }
}

// Where the recent items go: before the separator above Exit.
int InsertPosition(HMENU menu) {
    for (int k = 0; k < GetMenuItemCount(menu); ++k) {
        if (GetMenuItemID(menu, k) == IDM_EXIT) return k > 0 ? k - 1 : k;
    }
    return GetMenuItemCount(menu);
}

void InsertItem(HMENU menu, int position, UINT id, const wchar_t* text) {
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_FTYPE | (text != nullptr ? MIIM_STRING : 0);
    info.fType = text != nullptr ? MFT_STRING : MFT_SEPARATOR;
    info.wID = id;
    info.dwTypeData = const_cast<wchar_t*>(text);
    InsertMenuItemW(menu, static_cast<UINT>(position), TRUE, &info);
}

}  // namespace

std::u16string FullLogPath(const wchar_t* path) {
    wchar_t full[kMaxPath];
    DWORD length = GetFullPathNameW(path, kMaxPath, full, nullptr);
    if (length == 0 || length >= static_cast<DWORD>(kMaxPath)) return std::u16string(U(path));
    return std::u16string(U(full));
}

void ShowRecentLogs(HWND frame) {
    HMENU menu = FileMenu(frame);
    if (menu == nullptr) return;
    RemoveRecentItems(menu);
    const CRecentLogs& recent = AppConfig().m_recentLogs;
    if (recent.Count() == 0) return;
    int position = InsertPosition(menu);
    InsertItem(menu, position++, IDM_RECENT_SEPARATOR, nullptr);
    for (int k = 0; k < recent.Count(); ++k) {
        wchar_t shown[kShownPathLength + 1];
        PathCompactPathExW(shown, W(recent.At(k)), kShownPathLength, 0);
        // "&1" ... "&9", then "1&0": each item has a digit to choose it by.
        wchar_t text[kShownPathLength + 16];
        if (k < 9) {
            wsprintfW(text, L"&%d %s", k + 1, shown);
        } else {
            wsprintfW(text, L"1&0 %s", shown);
        }
        InsertItem(menu, position++, static_cast<UINT>(IDM_RECENT_1 + k), text);
    }
    if (GetMenu(frame) != nullptr) DrawMenuBar(frame);
}

void NoteRecentLog(HWND frame, const wchar_t* path) {
    CAppParameter& config = AppConfig();
    config.m_recentLogs.Add(FullLogPath(path).c_str());
    config.Save();
    ShowRecentLogs(frame);
}

void OpenRecentLog(CAppMain& app, int id) {
    CAppParameter& config = AppConfig();
    const char16_t* chosen = config.m_recentLogs.At(id - IDM_RECENT_1);
    if (chosen == nullptr) return;
    std::u16string path(chosen);
    if (PathExists(path.c_str())) {
        app.OpenLogFile(W(path.c_str()));
        return;
    }
    config.m_recentLogs.Remove(path.c_str());
    config.Save();
    ShowRecentLogs(app.Frame());
    char16_t text[kMaxPath + 160];
    FormatString(text, kMaxPath + 160, UiText(TextId::kRecentMissingFormat), path.c_str());
    MessageBoxW(app.Frame(), W(text), W(UiText(TextId::kRecentCaption)), MB_OK | MB_ICONWARNING);
}
