// The Follow command and what follow mode asks of the application: reading the log again,
// and choosing its encoding once a log that was empty has bytes.
#include "config/app_parameter.h"
#include "document/encoding.h"
#include "foundation/wide.h"
#include "shell/app_main.h"
#include "res/resource.h"
#include "view/log_view.h"

void CAppMain::ToggleFollow() {
    CAppParameter& config = AppConfig();
    config.m_follow = config.m_follow != 0 ? 0 : 1;
    config.Save();
    CheckCommand(IDM_FOLLOW, config.m_follow != 0);
    if (config.m_follow == 0) {
        m_follower.Stop();
        m_follower.ShowStatus(nullptr);
    } else {
        // As tail -f: the last row, which then stays in the window as rows arrive.
        CLogView* first = m_viewList.First();
        if (first != nullptr && first->Lines() != nullptr) first->GoToLine(first->Lines()->Count());
        // A scan may be running: following reads nothing until it has ended.
        m_follower.Start(m_frame, config.Keywords());
    }
}

void CAppMain::ReloadFollowedLog() {
    CString path;
    path.Assign(m_logFile.Path());
    // The new view takes the old one's place and size.
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    CLogView* first = m_viewList.First();
    bool placed = first != nullptr && GetWindowPlacement(first->Window(), &placement);
    CloseEverything();
    // The load ends with following again (CLoadJob::Apply).
    OpenLogFile(W(path.GetWideOrEmpty()));
    if (placed && !m_viewList.Empty()) SetWindowPlacement(m_viewList.First()->Window(), &placement);
}

void CAppMain::DetectEncodingAgain() {
    m_detectedCodePage = DetectFileCodePage(&m_logFile);
    ApplyEncoding();
}
