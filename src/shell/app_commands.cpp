// CAppMain::OnCommand: dispatch of menu, toolbar, combo-box and context-menu commands.
#include <windows.h>
#include <commdlg.h>

#include "config/ui_text.h"
#include "foundation/wide.h"
#include "shell/about_dialog.h"
#include "shell/app_main.h"
#include "shell/command_ids.h"
#include "view/log_view.h"

namespace {

// The open-file dialog; returns true with a non-empty path.
bool AskForLogFile(HWND owner, wchar_t* path, int capacity) {
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = W(UiText(TextId::kOpenLogFilter));
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path;
    ofn.nMaxFile = static_cast<DWORD>(capacity);
    ofn.lpstrTitle = W(UiText(TextId::kOpenLogTitle));
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    ofn.lpstrDefExt = L"ini";
    return GetOpenFileNameW(&ofn) && path[0] != 0;
}

template <typename Dialog>
void RunInertDialog(int templateId, HWND owner) {
    Dialog dialog;
    RunDialog(dialog, templateId, owner);
}

}  // namespace

void CAppMain::OnCommand(int id, int code) {
    // Accelerators and queued messages reach here even while the commands are greyed.
    // An append being indexed is let finish first; closing cancels it instead.
    // IDCANCEL, sent by the system, is taken as Exit.
    bool closing = id == IDM_CLOSE || id == IDM_CLOSE_ALL || id == IDM_EXIT || id == IDCANCEL;
    if (!closing) m_runner.SettleQuiet();
    if (m_runner.Busy() && IsLogCommand(id)) return;
    // A shortcut (code 1) follows the menu state: a greyed command does nothing.
    if (code == 1 && !IsCommandEnabled(id)) return;
    switch (id) {
        case IDM_OPEN_LOG: {
            if (m_logFile.IsOpen()) return;
            wchar_t path[262] = {};
            if (AskForLogFile(m_frame, path, 262)) OpenLogFile(path);
            return;
        }
        case IDM_CLOSE:
        case IDM_CLOSE_ALL:
            CloseEverything();
            return;
        case IDCANCEL:  // sent by the system: treated as Exit
        case IDM_EXIT:
            CloseMainWindow();
            return;
        case IDM_COPY:
            CopySelection();
            return;
        case IDM_SAVE_CSV:
            RunInertDialog<CCSVFileDialog>(IDD_CSV_FILE_JA, m_frame);
            return;
        case IDM_COMPARE:
            RunInertDialog<CCompareLogDialog>(IDD_COMPARE_LOG_JA, m_frame);
            return;
        case IDM_FOLLOW:
            ToggleFollow();
            return;
        case IDC_ENCODING_COMBO:
            OnCodePageChanged(code);
            return;
        case IDM_SETTING_HIGHLIGHT:
            EditKeywords();
            return;
        case IDM_SETTING:
            EditSettings();
            RedrawAllViews();
            return;
        case IDM_PRINT:
        case IDM_RESERVED:
            return;
        case IDM_TOOLBAR:
        case IDM_STATUSBAR:
        case IDM_ABOUT:
        case IDM_HELP:
        case IDM_LANGUAGE:
        case IDM_TILE_HORIZONTAL:
        case IDM_TILE_VERTICAL:
        case IDM_CASCADE:
            CAppBase::OnCommand(id, code);
            return;
        default:
            if (OnViewCommand(id)) return;
            DefWindowProcW(m_frame, WM_COMMAND, MAKEWPARAM(id, code), 0);
            return;
    }
}
