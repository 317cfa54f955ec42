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
#include "shell/merged_logs.h"
#include "shell/merged_views.h"
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
    if (view != nullptr && view->HasRows()) {
        place.kept = true;
        place.tail = view->CaretLine() >= view->Rows().Count() - 1;
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
    if (!place.kept || view == nullptr || !view->HasRows()) return;
    if (place.tail) {
        view->GoToLine(view->Rows().Count() - 1);
    } else {
        view->ShowRows(place.caretRow, place.firstRow);
    }
    if (place.timeline) m_listener->RecountTimeline(view);
}

bool CFollower::StartSet(CMergedLogs* set) {
    if (!set->Merged()) return false;
    m_setStates.assign(static_cast<size_t>(set->Count()), CFollowState());
    for (int i = 0; i < set->Count(); ++i) {
        StartFollowing(set->Index(i), set->File(i).Size(), &m_setStates[static_cast<size_t>(i)]);
    }
    m_set = set;
    return true;
}

void CFollower::Start(HWND frame, const CKeywordSet& keywords) {
    CLogView* view = m_views->First();
    CMergedLogs* set = m_host->FollowedSet();
    if (view == nullptr || m_active || (set == nullptr && view->Lines() == nullptr)) return;
    // Following a partial index would take the rest of the file in one quiet append.
    if (!m_indexComplete) {
        ShowStatus(UiText(TextId::kFollowIncomplete));
        return;
    }
    m_set = nullptr;
    if (set != nullptr) {
        if (!StartSet(set)) return;
    } else {
        StartFollowing(*view->Lines(), m_log->Size(), &m_state);
    }
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
    m_set = nullptr;
    KillTimer(m_frame, kFollowTimer);
}

// False when the log is being read again or cannot be followed now.
bool CFollower::CheckName() {
    if (++m_polls % kPollsBetweenRotationChecks != 0) return true;
    return IsStillFollowed(*m_log);
}

// False, with the reload begun or the status saying why, when file's name no longer holds it.
bool CFollower::IsStillFollowed(CLogFile& file) {
    switch (CheckFollowedName(file, file.Path().GetWideOrEmpty())) {
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
    if (!m_active || m_runner->Busy() || !IsWindowEnabled(m_frame)) return;
    if (m_set != nullptr) {
        TickSet();
        return;
    }
    if (!m_log->IsOpen() || !CheckName()) return;
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

bool CFollower::Succeeded(int status, const CLoadResult& result) {
    if (status == kScanCancelled) {
        Stop();
        ShowStatus(UiText(TextId::kFollowCancelled));
        return false;
    }
    if (status != 1) {  // read again at the next poll
        if (result.status != CLoadStatus::kDone) ShowStatus(UiText(TextId::kFollowNoMemory));
        return false;
    }
    return true;
}

void CFollower::Finish(CFollowJob* job) {
    CLogView* view = m_views->First();
    if (!m_active || view == nullptr || view->Lines() == nullptr) return;
    if (!Succeeded(job->status, job->result)) return;
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

// A merged set's logs: any of them read again (truncated, replaced) reads the whole set again.
bool CFollower::CheckSetNames() {
    if (++m_polls % kPollsBetweenRotationChecks != 0) return true;
    for (int i = 0; i < m_set->Count(); ++i) {
        if (!IsStillFollowed(m_set->File(i))) return false;
    }
    return true;
}

void CFollower::TickSet() {
    if (m_set != m_host->FollowedSet() || !CheckSetNames()) return;
    int count = m_set->Count();
    std::unique_ptr<CMergedFollowJob> job(new (std::nothrow) CMergedFollowJob());
    if (job == nullptr) return;
    job->logs.reset(new (std::nothrow) CMergedFollowJob::CLog[static_cast<size_t>(count)]);
    if (job->logs == nullptr) return;
    job->count = count;
    uint64_t toRead = 0;
    bool grown = false;
    for (int i = 0; i < count; ++i) {
        CLogFile& file = m_set->File(i);
        // A compressed log of the set does not grow as a log does.
        if (!file.CanFollow()) continue;
        const CFollowState& state = m_setStates[static_cast<size_t>(i)];
        uint64_t known = state.size;
        if (!file.RefreshSize()) continue;
        if (file.Size() < known) {
            Reload(UiText(TextId::kFollowShorter));
            return;
        }
        if (file.Size() == known) continue;
        // Empty when it was opened: Auto could not tell its encoding then.
        if (known == 0) m_set->DetectAgain(i, AppConfig().m_encodingChoice);
        CMergedFollowJob::CLog& log = job->logs[i];
        log.ownFile = m_runner->Worker().Started() ? OpenAnotherHandle(&file) : nullptr;
        if (log.ownFile == nullptr) return;  // the next poll tries again
        log.grown = true;
        log.codePage = m_set->CodePage(i);
        log.state = state;
        toRead += file.Size() - state.lastOffset;
        grown = true;
    }
    if (!grown) return;
    job->keywords = &m_keywords;
    AppConfig().GetStampRules(&job->stamps);
    job->quiet = toRead <= kQuietFollowBytes;
    m_runner->Run(std::move(job), false);
}

void CFollower::FinishMerged(CMergedFollowJob* job) {
    if (!m_active || m_set == nullptr || m_set != m_host->FollowedSet() || job->count != m_set->Count()) return;
    if (!Succeeded(job->status, job->result)) return;
    std::unique_ptr<CMergedLogs::CFollowed[]> logs(new (std::nothrow) CMergedLogs::CFollowed[job->count]);
    if (logs == nullptr) return;
    for (int i = 0; i < job->count; ++i) {
        const CMergedFollowJob::CLog& log = job->logs[i];
        logs[i] = {log.grown, log.from, &log.lines, &log.errors};
    }
    // The states move on only when the set took everything: otherwise the next poll reads
    // the same bytes again and replaces from the same lines, so nothing is lost.
    CMergeChange change;
    if (!m_set->TakeFollowed(logs.get(), &change)) {
        ShowStatus(UiText(TextId::kFollowNoMemory));
        return;
    }
    ShowMergeChange(*m_views, change, m_listener);
    for (int i = 0; i < job->count; ++i) {
        if (job->logs[i].grown) m_setStates[static_cast<size_t>(i)] = job->logs[i].state;
    }
    ShowLastChange();
}
