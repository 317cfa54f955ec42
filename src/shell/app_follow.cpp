// Following a growing log: the Follow command, the poll of the log's size, the background
// job that indexes what was appended, and the reload after a truncation or a rotation.
// A quiet log costs one size query a poll; a rotation is looked for once a second.
#include <ctime>
#include <new>

#include "config/app_parameter.h"
#include "config/ui_text.h"
#include "foundation/format.h"
#include "foundation/wide.h"
#include "shell/app_main.h"
#include "shell/command_ids.h"
#include "shell/scan_jobs.h"
#include "view/log_view.h"

namespace {

constexpr UINT kFollowPollMilliseconds = 250;
constexpr int kPollsBetweenRotationChecks = 4;
constexpr int kFollowStatusPart = 2;

}  // namespace

void CAppMain::ToggleFollow() {
    CAppParameter& config = AppConfig();
    config.m_follow = config.m_follow != 0 ? 0 : 1;
    config.Save();
    CheckCommand(IDM_FOLLOW, config.m_follow != 0);
    if (config.m_follow == 0) {
        StopFollowing();
        ShowFollowStatus(nullptr);
    } else if (m_views != nullptr && m_views->Lines() != nullptr && m_currentJob == nullptr) {
        StartFollowing();
    }
}

void CAppMain::StartFollowing() {
    CAppParameter& config = AppConfig();
    CLogView* view = m_views;
    if (config.m_follow == 0 || view == nullptr || view->Lines() == nullptr) return;
    ::StartFollowing(*view->Lines(), m_logFile.Size(), &m_followState);
    m_followKeywords.CopyFrom(config.Keywords());
    m_followKeywords.BuildFlagTable();
    m_followPolls = 0;
    m_following = true;
    SetTimer(m_frame, kFollowTimer, kFollowPollMilliseconds, nullptr);
    ShowFollowStatus(UiText(TextId::kFollowing));
}

void CAppMain::StopFollowing() {
    if (!m_following) return;
    m_following = false;
    KillTimer(m_frame, kFollowTimer);
}

void CAppMain::ShowFollowStatus(const char16_t* text) {
    if (m_views != nullptr) SetStatusText(m_views, kFollowStatusPart, text != nullptr ? W(text) : L"");
}

// One poll: a truncated or replaced log is read again; a grown one is followed in the background.
void CAppMain::FollowTick() {
    if (!m_following || m_currentJob != nullptr || !m_logFile.IsOpen()) return;
    if (++m_followPolls % kPollsBetweenRotationChecks == 0) {
        // Deleted: the rows read so far stay; a new file under the name is read when it comes.
        if (m_logFile.IsDeleted()) {
            ShowFollowStatus(UiText(TextId::kFollowDeleted));
        }
        CFile probe;
        if (!probe.Open(m_logFile.Path().GetWideOrEmpty())) {
            if (!m_logFile.IsDeleted()) {
                ShowFollowStatus(UiText(TextId::kFollowUnreadable));
            }
            return;
        }
        if (m_logFile.IsDeleted()) return;
        if (!probe.IsSameFile(m_logFile)) {
            ReloadFollowedLog(UiText(TextId::kFollowReplaced));
            return;
        }
    }
    uint64_t known = m_followState.size;
    if (!m_logFile.RefreshSize()) return;
    if (m_logFile.Size() < known) {
        ReloadFollowedLog(UiText(TextId::kFollowShorter));
        return;
    }
    if (m_logFile.Size() == known) return;
    auto* job = new (std::nothrow) CFollowJob();
    if (job == nullptr) return;
    job->codePage = AppConfig().m_codePage;
    job->keywords = &m_followKeywords;
    AppConfig().GetStampRules(&job->stamps);
    job->state = m_followState;
    job->ownFile = OpenJobHandle();
    if (job->ownFile == nullptr) {
        delete job;  // the name leads elsewhere now: the rotation check reads it again
        return;
    }
    RunJob(job, false);
}

void CAppMain::FinishFollow(CFollowJob* job) {
    if (job->status != 1 || !m_following || m_views == nullptr || m_views->Lines() == nullptr) return;
    m_followState = job->state;
    m_views->TakeFollowedLines(job->from, job->lines);
    ReplaceTail(&m_logFile.ErrorLines(), job->from, job->errors);
    if (IsViewInList(m_errorLogView)) m_errorLogView->TakeFollowedLines(job->from, job->errors);
    if (m_views->m_active) OnViewStateChanged(m_views);
    char16_t text[96];
    std::time_t now = std::time(nullptr);
    std::tm local = {};
#if defined(_WIN32)
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    FormatString(text, 96, UiText(TextId::kFollowLastChangeFormat), local.tm_hour, local.tm_min, local.tm_sec);
    ShowFollowStatus(text);
}

void CAppMain::ReloadFollowedLog(const char16_t* reason) {
    CString path;
    path.Assign(m_logFile.Path());
    StopFollowing();
    CloseEverything();
    // The load ends with following again (FinishLoad), which shows the reason.
    m_followReason = reason;
    OpenLogFile(W(path.GetWideOrEmpty()));
}
