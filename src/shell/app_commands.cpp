// CAppMain::OnCommand: dispatch of menu, toolbar, combo-box and context-menu commands.
#include <windows.h>
#include <commdlg.h>

#include "config/app_parameter.h"
#include "shell/about_dialog.h"
#include "shell/app_main.h"
#include "shell/command_ids.h"
#include "view/log_view.h"

namespace {

int Language() {
    CAppParameter* config = &AppConfig();
    return config != nullptr ? config->m_language : 0;
}

// The open-file dialog; returns true with a non-empty path.
bool AskForLogFile(HWND owner, wchar_t* path, int capacity) {
    bool japanese = Language() == 1;
    static const wchar_t kFilterJa[] = L"ログファイル(*.log)\0*.log\0すべてのファイル(*.*)\0*.*\0";
    static const wchar_t kFilterEn[] = L"LOG files(*.log)\0*.log\0All files(*.*)\0*.*\0";
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = japanese ? kFilterJa : kFilterEn;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path;
    ofn.nMaxFile = static_cast<DWORD>(capacity);
    ofn.lpstrTitle = japanese ? L"ログファイルを読み込む" : L"Load LOG File";
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
    bool closing = id == kCmdClose || id == kCmdAllClose || id == kCmdExit || id == kCmdExitClose;
    if (!closing) SettleFollowJob();
    if (m_currentJob != nullptr && IsLogCommand(id)) return;
    // A shortcut (code 1) follows the menu state: a greyed command does nothing.
    if (code == 1 && !IsCommandEnabled(id)) return;
    switch (id) {
        case kCmdOpen: {
            if (m_logFile.IsOpen()) return;
            wchar_t path[262] = {};
            if (AskForLogFile(m_frame, path, 262)) OpenLogFile(path);
            return;
        }
        case kCmdClose:
        case kCmdAllClose:
            CloseEverything();
            return;
        case kCmdExitClose:
        case kCmdExit:
            CloseMainWindow();
            return;
        case kCmdCopy:
            CopySelection();
            return;
        case kCmdCsv:
            RunInertDialog<CCSVFileDialog>(kDlgCsv, m_frame);
            return;
        case kCmdCompare:
            RunInertDialog<CCompareLogDialog>(kDlgCompare, m_frame);
            return;
        case kCmdFollow:
            ToggleFollow();
            return;
        case kCmdCodePageBox:
            OnCodePageChanged(code);
            return;
        case kCmdHighlightSettings:
            EditKeywords();
            return;
        case kCmdSettings:
            EditSettings();
            RedrawAllViews();
            return;
        case kCmdPrint:
        case kCmdUnused5007:
            return;
        case kCmdToolBar:
        case kCmdStatusBar:
        case kCmdAbout:
        case kCmdHelp:
        case kCmdLanguage:
        case kCmdTileHorizontal:
        case kCmdTileVertical:
        case kCmdCascade:
            CAppBase::OnCommand(id, code);
            return;
        default:
            if (OnViewCommand(id)) return;
            DefWindowProcW(m_frame, WM_COMMAND, MAKEWPARAM(id, code), 0);
            return;
    }
}
