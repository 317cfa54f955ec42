// The Follow command and what follow mode asks of the application (reading the log again,
// choosing its encoding once a log that was empty has bytes), and the toolbar's code-page
// box, which chooses that encoding by hand.
#include "shell/follow_commands.h"

#include "config/app_parameter.h"
#include "document/encoding.h"
#include "foundation/wide.h"
#include "res/resource.h"
#include "shell/app_main.h"
#include "shell/packed_open.h"
#include "shell/settings_commands.h"
#include "shell/tool_bar.h"
#include "view/log_view.h"

void ToggleFollow(CAppMain& app) {
    CAppParameter& config = AppConfig();
    FlipSetting(app, &config.m_follow, IDM_FOLLOW);
    // A compressed log is not followed: the status bar says so.
    if (!app.LogFile().CanFollow()) {
        ShowPackedStatus(app);
        return;
    }
    if (config.m_follow == 0) {
        app.Follower().Stop();
        if (app.Merged() != nullptr) {
            app.ShowMergedStatus();
        } else {
            app.Follower().ShowStatus(nullptr);
        }
    } else {
        // As tail -f: the last row, which then stays in the window as rows arrive.
        CLogView* first = app.Views().First();
        if (first != nullptr && first->HasRows()) first->GoToLine(first->Rows().Count());
        // A scan may be running: following reads nothing until it has ended.
        app.Follower().Start(app.Frame(), config.Keywords());
    }
}

void CAppMain::ReloadFollowedLog() {
    if (m_merged != nullptr) {
        // A log of a merged set truncated or replaced: the whole set is read again.
        std::vector<std::u16string> paths;
        for (int i = 0; i < m_merged->Count(); ++i) paths.push_back(m_merged->Path(i));
        std::u16string status = m_mergedStatus;
        OpenMergedLogs(paths, status.empty() ? nullptr : status.c_str());
        return;
    }
    CString path;
    path.Assign(m_logFile.Path());
    // The new view takes the old one's place and size.
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    CLogView* first = m_viewList.First();
    bool placed = first != nullptr && GetWindowPlacement(first->Window(), &placement);
    CloseEverything();
    // The load ends with following again (CLoadJob::Apply).
    OpenLogFile(W(path.GetWideOrEmpty()), placed ? &placement : nullptr);
}

void CAppMain::DetectEncodingAgain() {
    m_detectedCodePage = DetectFileCodePage(&m_logFile);
    ApplyEncoding();
}

void ChooseEncoding(CAppMain& app, int code) {
    if (code != CBN_SELCHANGE || app.ToolBar() == nullptr) return;
    HWND combo = static_cast<CAppToolBar*>(app.ToolBar())->m_combo;
    LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return;
    CAppParameter& config = AppConfig();
    LRESULT data = SendMessageW(combo, CB_GETITEMDATA, index, 0);
    int32_t choice = data == kAutoEncodingItem ? kEncodingAuto : static_cast<int32_t>(data);
    app.LogStates().EncodingChosen(choice);
    if (choice != config.m_encodingChoice) {
        config.m_encodingChoice = choice;
        config.Save();
    }
    app.ApplyEncoding();
    app.Views().RedrawAll();
}
