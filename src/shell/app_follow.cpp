// Following a growing log: the Follow command, the poll of the log's size, the background
// job that indexes what was appended, and the reload after a truncation or a rotation.
// A quiet log costs one size query a poll; a rotation is looked for once a second.
#include <ctime>
#include <new>

#include "config/app_parameter.h"
#include "config/ui_text.h"
#include "document/encoding.h"
#include "foundation/format.h"
#include "foundation/wide.h"
#include "loader/followed_name.h"
#include "shell/app_main.h"
#include "shell/command_ids.h"
#include "search/line_scan.h"
#include "shell/scan_jobs.h"
#include "view/log_view.h"

namespace {

constexpr UINT kFollowPollMilliseconds = 250;
constexpr int kPollsBetweenRotationChecks = 4;
constexpr int kFollowStatusPart = 2;
// More than this to read after a poll (a log that grew a lot at once) shows progress and Cancel.
constexpr uint64_t kQuietFollowBytes = 4u << 20;

}  // namespace

void CAppMain::ToggleFollow() {
    CAppParameter& config = AppConfig();
    config.m_follow = config.m_follow != 0 ? 0 : 1;
    config.Save();
    CheckCommand(IDM_FOLLOW, config.m_follow != 0);
    if (config.m_follow == 0) {
        StopFollowing();
        ShowFollowStatus(nullptr);
    } else {
        // A scan may be running: following reads nothing until it has ended (FollowTick).
        StartFollowing();
    }
}

void CAppMain::StartFollowing() {
    CAppParameter& config = AppConfig();
    CLogView* view = m_viewList.First();
    if (config.m_follow == 0 || view == nullptr || view->Lines() == nullptr || m_following) return;
    // Following a partial index would take the rest of the file in one quiet append.
    if (!m_loadComplete) {
        ShowFollowStatus(UiText(TextId::kFollowIncomplete));
        return;
    }
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
    CLogView* first = m_viewList.First();
    if (first != nullptr) SetStatusText(first, kFollowStatusPart, text != nullptr ? W(text) : L"");
}

// One poll: a truncated or replaced log is read again; a grown one is followed in the
// background. Nothing happens while a modal dialog is up: its caller may hold a view that
// a reload would delete, and a scan it starts must find the runner free.
void CAppMain::FollowTick() {
    if (!m_following || m_runner.Busy() || !m_logFile.IsOpen() || !IsWindowEnabled(m_frame)) return;
    if (++m_followPolls % kPollsBetweenRotationChecks == 0) {
        switch (CheckFollowedName(m_logFile, m_logFile.Path().GetWideOrEmpty())) {
            case CFollowedName::kReplaced: ReloadFollowedLog(UiText(TextId::kFollowReplaced)); return;
            // The rows read so far stay; a new file under the name is read when it comes.
            case CFollowedName::kDeleted: ShowFollowStatus(UiText(TextId::kFollowDeleted)); return;
            case CFollowedName::kUnreadable: ShowFollowStatus(UiText(TextId::kFollowUnreadable)); return;
            case CFollowedName::kSame: break;
        }
    }
    uint64_t known = m_followState.size;
    if (!m_logFile.RefreshSize()) return;
    if (m_logFile.Size() < known) {
        ReloadFollowedLog(UiText(TextId::kFollowShorter));
        return;
    }
    if (m_logFile.Size() == known) return;
    if (known == 0) {
        // Empty when it was opened (or read again): Auto could not tell its encoding then.
        m_detectedCodePage = DetectFileCodePage(&m_logFile);
        ApplyEncoding();
    }
    std::unique_ptr<CFollowJob> job(new (std::nothrow) CFollowJob());
    if (job == nullptr) return;
    job->codePage = AppConfig().m_codePage;
    job->keywords = &m_followKeywords;
    job->state = m_followState;
    job->quiet = m_logFile.Size() - m_followState.lastOffset <= kQuietFollowBytes;
    // Without a handle of its own there is nothing to follow with; the next poll tries again.
    job->ownFile = m_runner.Worker().Started() ? OpenAnotherHandle(&m_logFile) : nullptr;
    if (job->ownFile == nullptr) return;
    m_runner.Run(std::move(job), false);
}

void CAppMain::FinishFollow(CFollowJob* job) {
    CLogView* first = m_viewList.First();
    if (!m_following || first == nullptr || first->Lines() == nullptr) return;
    if (job->status == kScanCancelled) {
        StopFollowing();
        ShowFollowStatus(UiText(TextId::kFollowCancelled));
        return;
    }
    if (job->status != 1) return;  // read again at the next poll
    // The state moves on only when every list took the new entries: otherwise the next poll
    // reads the same bytes again and replaces from the same line, so nothing is lost.
    bool taken = first->TakeFollowedLines(job->from, job->lines) &&
                 ReplaceTail(&m_logFile.ErrorLines(), job->from, job->errors) &&
                 (!m_viewList.Contains(m_errorLogView) || m_errorLogView->TakeFollowedLines(job->from, job->errors));
    if (first->m_active) OnViewStateChanged(first);
    if (!taken) {
        ShowFollowStatus(UiText(TextId::kFollowNoMemory));
        return;
    }
    m_followState = job->state;
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
