// CFollower: the poll of the log's size, the background job that indexes what was appended,
// and the reload after a truncation or a rotation. A quiet log costs one size query a poll;
// a rotation is looked for once a second.
#include "shell/follower.h"

#include <ctime>
#include <new>

#include "config/app_parameter.h"
#include "config/ui_text.h"
#include "foundation/format.h"
#include "foundation/wide.h"
#include "loader/followed_name.h"
#include "search/line_scan.h"
#include "shell/job_runner.h"
#include "shell/scan_jobs.h"
#include "shell/view_list.h"
#include "view/log_view.h"

namespace {

constexpr UINT kFollowPollMilliseconds = 250;
constexpr int kPollsBetweenRotationChecks = 4;
// More than this to read after a poll (a log that grew a lot at once) shows progress and Cancel.
constexpr uint64_t kQuietFollowBytes = 4u << 20;

constexpr int kFollowStatusPart = 2;

}  // namespace

void CFollower::ShowStatus(const char16_t* text) {
    CLogView* first = m_views->First();
    if (first != nullptr) m_listener->SetStatusText(first, kFollowStatusPart, text != nullptr ? W(text) : L"");
}

void CFollower::ShowLastChange() {
    char16_t text[96];
    std::time_t now = std::time(nullptr);
    std::tm local = {};
    localtime_s(&local, &now);
    FormatString(text, 96, UiText(TextId::kFollowLastChangeFormat), local.tm_hour, local.tm_min, local.tm_sec);
    ShowStatus(text);
}

void CFollower::Reload(const char16_t* reason) {
    Stop();
    CPlace place;
    CLogView* view = m_views->First();
    if (view != nullptr && view->Lines() != nullptr) {
        place.kept = true;
        place.tail = view->CaretLine() >= view->Lines()->Count() - 1;
        place.caretRow = view->CaretLine();
        place.firstRow = view->FirstVisibleRow();
        place.timeline = view->TimelinePane() != nullptr;
    }
    m_host->ReloadFollowedLog();
    // After the close that the reload begins with, which forgets any earlier reason.
    m_reason = reason;
    m_place = place;
}

void CFollower::PutBack(CLogView* view) {
    CPlace place = m_place;
    m_place = {};
    if (!place.kept || view == nullptr || view->Lines() == nullptr) return;
    if (place.tail) {
        view->GoToLine(view->Lines()->Count() - 1);
    } else {
        view->ShowRows(place.caretRow, place.firstRow);
    }
    if (place.timeline) m_listener->RecountTimeline(view);
}

void CFollower::Start(HWND frame, const CKeywordSet& keywords) {
    CLogView* view = m_views->First();
    if (view == nullptr || view->Lines() == nullptr || m_active) return;
    // Following a partial index would take the rest of the file in one quiet append.
    if (!m_indexComplete) {
        ShowStatus(UiText(TextId::kFollowIncomplete));
        return;
    }
    StartFollowing(*view->Lines(), m_log->Size(), &m_state);
    m_keywords.CopyFrom(keywords);
    m_keywords.BuildFlagTable();
    m_polls = 0;
    m_active = true;
    m_frame = frame;
    SetTimer(m_frame, kFollowTimer, kFollowPollMilliseconds, nullptr);
    ShowStatus(m_reason.empty() ? UiText(TextId::kFollowing) : m_reason.c_str());
}

void CFollower::Stop() {
    if (!m_active) return;
    m_active = false;
    KillTimer(m_frame, kFollowTimer);
}

// False when the log is being read again or cannot be followed now.
bool CFollower::CheckName() {
    if (++m_polls % kPollsBetweenRotationChecks != 0) return true;
    switch (CheckFollowedName(*m_log, m_log->Path().GetWideOrEmpty())) {
        case CFollowedName::kReplaced:
            Reload(UiText(TextId::kFollowReplaced));
            return false;
        // The rows read so far stay; a new file under the name is read when it comes.
        case CFollowedName::kDeleted:
            ShowStatus(UiText(TextId::kFollowDeleted));
            return false;
        case CFollowedName::kUnreadable:
            ShowStatus(UiText(TextId::kFollowUnreadable));
            return false;
        case CFollowedName::kSame:
            break;
    }
    return true;
}

// A truncated or replaced log is read again; a grown one is followed in the background.
// Nothing happens while a modal dialog is up: its caller may hold a view that a reload
// would delete, and a scan it starts must find the runner free.
void CFollower::Tick() {
    if (!m_active || m_runner->Busy() || !m_log->IsOpen() || !IsWindowEnabled(m_frame)) return;
    if (!CheckName()) return;
    uint64_t known = m_state.size;
    if (!m_log->RefreshSize()) return;
    if (m_log->Size() < known) {
        Reload(UiText(TextId::kFollowShorter));
        return;
    }
    if (m_log->Size() == known) return;
    // Empty when it was opened (or read again): Auto could not tell its encoding then.
    if (known == 0) m_host->DetectEncodingAgain();
    std::unique_ptr<CFollowJob> job(new (std::nothrow) CFollowJob());
    if (job == nullptr) return;
    job->codePage = AppConfig().m_codePage;
    job->keywords = &m_keywords;
    AppConfig().GetStampRules(&job->stamps);
    job->state = m_state;
    job->quiet = m_log->Size() - m_state.lastOffset <= kQuietFollowBytes;
    // Without a handle of its own there is nothing to follow with; the next poll tries again.
    job->ownFile = m_runner->Worker().Started() ? OpenAnotherHandle(m_log) : nullptr;
    if (job->ownFile == nullptr) return;
    m_runner->Run(std::move(job), false);
}

void CFollower::Finish(CFollowJob* job) {
    CLogView* view = m_views->First();
    if (!m_active || view == nullptr || view->Lines() == nullptr) return;
    if (job->status == kScanCancelled) {
        Stop();
        ShowStatus(UiText(TextId::kFollowCancelled));
        return;
    }
    if (job->status != 1) {  // read again at the next poll
        if (job->result.status != CLoadStatus::kDone) ShowStatus(UiText(TextId::kFollowNoMemory));
        return;
    }
    // The state moves on only when every list took the new entries: otherwise the next poll
    // reads the same bytes again and replaces from the same line, so nothing is lost.
    CLogView* errors = m_views->ErrorLog();
    bool taken = view->TakeFollowedLines(job->from, job->lines) &&
                 ReplaceTail(&m_log->ErrorLines(), job->from, job->errors) &&
                 (errors == nullptr || errors->TakeFollowedLines(job->from, job->errors));
    if (view->m_active) m_listener->OnViewStateChanged(view);
    if (!taken) {
        ShowStatus(UiText(TextId::kFollowNoMemory));
        return;
    }
    m_state = job->state;
    ShowLastChange();
}
