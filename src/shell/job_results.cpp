// What each background job's end puts in force, on the UI thread: the loaded view, the
// search's row, the extraction's or the error log's new view, the clipboard, the appended
// rows. A view a job names may have been closed meanwhile: it is looked up first.
#include <cstring>
#include <string>
#include <utility>

#include "config/app_parameter.h"
#include "config/ui_text.h"
#include "foundation/format.h"
#include "foundation/wide.h"
#include "search/line_scan.h"
#include "shell/app_main.h"
#include "shell/log_state_keeper.h"
#include "shell/merged_logs.h"
#include "shell/packed_open.h"
#include "shell/merged_views.h"
#include "shell/scan_jobs.h"
#include "shell/search_commands.h"
#include "view/log_view.h"

namespace {

constexpr int kTitleCapacity = 256;  // titles are cut to 255 characters

// Appends text to title, keeping at most kTitleCapacity - 1 units.
void AppendTitle(std::u16string* title, const char16_t* text) {
    for (const char16_t* p = text; *p != 0 && title->size() < kTitleCapacity - 1; ++p) title->push_back(*p);
}

// The extraction view's title: its caption and the condition's texts, the texts a row must
// hold first, then each "not" text after a word that says so. Texts that are all "not" hide
// the rows that hold any of them, and the title says that instead.
std::u16string ExtractionTitle(const CSearchCondition& condition) {
    bool hiding = condition.PositiveCount() == 0;
    std::u16string title = UiText(hiding ? TextId::kHideViewTitle : TextId::kExtractViewTitle);
    int shown = 0;
    for (int i = 0; i < condition.Count(); ++i) {
        const char16_t* text = condition.WideText(i, nullptr);
        if (text == nullptr || (condition.IsNot(i) && !hiding)) continue;
        if (shown++ > 0) AppendTitle(&title, condition.MatchAll() && !hiding ? u" and " : u" or ");
        AppendTitle(&title, text);
    }
    for (int i = 0; i < condition.Count() && !hiding; ++i) {
        if (!condition.IsNot(i)) continue;
        AppendTitle(&title, UiText(TextId::kTitleNot));
        AppendTitle(&title, condition.WideText(i, nullptr));
    }
    return title;
}

void Warn(HWND owner, const char16_t* text, TextId caption) {
    MessageBoxW(owner, W(text), W(UiText(caption)), MB_OK | MB_ICONWARNING);
}

// Tells the user once, after a search or extraction, of lines on which a regular
// expression reached PCRE2's limits (they counted as not matching).
void ReportLimitHits(HWND owner, const CSearchCondition& condition, int64_t atStart) {
    int64_t hits = condition.LimitHits() - atStart;
    if (hits <= 0) return;
    char16_t text[300];
    FormatString(text, 300, UiText(TextId::kRegexLimitFormat), static_cast<long long>(hits));
    Warn(owner, text, TextId::kRegexLimitCaption);
}

// The status bar's follow part tells, until following says more, how many rows have a
// stamp of their own and the form of the first.
void ShowStampStatus(CFollower& follower, const CStampCount& count, int64_t rows) {
    char16_t text[96];
    if (count.stamped == 0 || rows <= 0) {
        FormatString(text, 96, u"%s", UiText(TextId::kStampNone));
    } else {
        int64_t tenths = count.stamped * 1000 / rows;
        char16_t form[32] = {};
        const char* name = StampFormName(count.firstForm);
        for (int k = 0; name[k] != 0 && k < 31; ++k) form[k] = static_cast<char16_t>(name[k]);
        FormatString(text, 96, UiText(TextId::kStampShareFormat), static_cast<int>(tenths / 10),
                     static_cast<int>(tenths % 10), form);
    }
    follower.ShowStatus(text);
}

// The index would not fit in the memory the system can give: say so, and close the view and
// the file as if the log had not been opened.
void RefuseTooLargeLog(CAppMain& app, const CLoadResult& result) {
    char16_t text[512];
    FormatString(text, 512, UiText(TextId::kLoadTooLargeFormat), static_cast<long long>(result.lines),
                 static_cast<long long>(result.needed), static_cast<long long>(result.available));
    app.CloseEverything();
    Warn(app.Frame(), text, TextId::kLoadTooLargeCaption);
}

}  // namespace

void CAppMain::ApplyJob(CScanJob* job) {
    // Every job the runner is given is one of the application's.
    static_cast<CAppJob*>(job)->Apply(*this);
}

void CLoadJob::Apply(CAppMain& app) {
    if (view == nullptr || !app.Views().Contains(view)) return;
    if (result.status == CLoadStatus::kTooLarge) {
        RefuseTooLargeLog(app, result);
        return;
    }
    CAppParameter& config = AppConfig();
    view->SetLines(std::move(lines), &app.LogFile());
    // The error lines refer to the index's rows from now on (a failure leaves none listed).
    if (view->HasRows() && view->Rows().IndexList() != nullptr) {
        app.LogFile().ErrorLines().ReferKeeping(view->Rows().IndexList());
    }
    view->SetKeywordSet(&config.Keywords());
    view->Invalidate();
    CFollower& follower = app.Follower();
    follower.SetIndexComplete(complete);
    if (view == app.Views().First()) {
        if (states != nullptr) states->Restore(view, &app.Labels());
        follower.PutBack(view);
        app.OnViewStateChanged(view);
        ShowStampStatus(follower, stampCount, view->Lines() != nullptr ? view->Lines()->Count() : 0);
        // A compressed log is never followed: the status bar tells what it is instead.
        if (app.LogFile().IsPacked()) {
            ShowPackedStatus(app);
        } else if (config.m_follow != 0) {
            follower.Start(app.Frame(), config.Keywords());
        }
    }
    follower.ClearReason();
    // The rows up to the damage are shown, and the user is told that they are not the whole log.
    if (result.status == CLoadStatus::kDamaged && view == app.Views().First()) ReportDamage(app.Frame(), result.damage);
}

void CMergeLoadJob::Apply(CAppMain& app) {
    if (view == nullptr || !app.Views().Contains(view) || app.Merged() != logs) return;
    // A cancelled or failed merge shows nothing: the set closes as if it had not been opened.
    if (status != 1 || rows == nullptr) {
        if (tooLarge >= 0) {
            RefuseTooLargeLog(app, result);
            return;
        }
        app.CloseEverything();
        if (status == 0) Warn(app.Frame(), UiText(TextId::kMergeNoMemory), TextId::kMergeCaption);
        return;
    }
    logs->TakeMerge(rows, indexes, errorRows);
    logs->ApplyEncoding(AppConfig().m_encodingChoice);
    std::unique_ptr<CMergedViewRows> shown = logs->ViewRows();
    if (shown == nullptr) {
        app.CloseEverything();
        Warn(app.Frame(), UiText(TextId::kMergeNoMemory), TextId::kMergeCaption);
        return;
    }
    const CRowLogs* rowLogs = shown.get();
    view->SetRows(std::move(shown), rowLogs);
    view->SetKeywordSet(&AppConfig().Keywords());
    view->Invalidate();
    if (states != nullptr) states->RestoreMerged(view, *logs);
    CFollower& follower = app.Follower();
    follower.SetIndexComplete(true);
    follower.PutBack(view);
    app.OnViewStateChanged(view);
    app.ShowMergedStatus();
    // The first log that ended at a damage: the others are told by the status bar alone.
    for (int i = 0; i < logs->Count(); ++i) {
        CUnpackError damage = logs->File(i).UnpackError();
        if (damage == CUnpackError::kNone) continue;
        ReportDamage(app.Frame(), damage, logs->Name(i));
        break;
    }
    if (AppConfig().m_follow != 0) follower.Start(app.Frame(), AppConfig().Keywords());
    follower.ClearReason();
}

void CSearchJob::Apply(CAppMain& app) {
    ReportLimitHits(app.Frame(), *condition, limitHitsAtStart);
    // A result of -1 (or a cancelled search) leaves the view as it was.
    if (result < 0 || !app.Views().Contains(view)) return;
    SetHighlightSearchState(app, view, true);
    view->GoToLine(result);
}

void CExtractJob::Apply(CAppMain& app) {
    ReportLimitHits(app.Frame(), *condition, limitHitsAtStart);
    if (!app.Views().Contains(view)) return;
    if (status == kExtractTooLarge || status == 0) {
        Warn(app.Frame(), UiText(status == 0 ? TextId::kExtractNoMemory : TextId::kExtractTooLarge),
             TextId::kExtractTooLargeCaption);
        return;
    }
    // A cancelled extraction opens nothing and changes nothing.
    if (status != 1 || lines == nullptr) return;
    SetHighlightSearchState(app, view, lines->Count() > 0);
    if (lines->Count() == 0) return;
    std::u16string title = ExtractionTitle(*condition);
    if (logs != nullptr) {
        ShowNewView(app, app.CreateMergedView(std::move(lines), W(title.c_str())));
        return;
    }
    ShowNewView(app, app.CreateLogView(view->File(), std::move(lines), W(title.c_str())));
}

void CTimelineJob::Apply(CAppMain& app) {
    // A cancelled count, or one without memory, shows nothing.
    if (status != 1 || timeline == nullptr || !app.Views().Contains(view)) return;
    view->SetTimeline(std::move(timeline));
    app.OnViewStateChanged(view);
}

void CNavigationJob::Apply(CAppMain& app) {
    // A cancelled step leaves the caret where it is.
    if (row == kScanCancelled || !app.Views().Contains(view) || !view->HasRows()) return;
    if (row >= 0) {
        view->GoToLine(row);
    } else if (notFound.empty()) {
        MessageBeep(MB_OK);
    } else {
        MessageBoxW(app.Frame(), W(notFound.c_str()), W(UiText(TextId::kJumpTimeCaption)), MB_OK | MB_ICONINFORMATION);
    }
}

void CErrorLogJob::Apply(CAppMain& app) {
    if (status != 1 || lines == nullptr || lines->Count() == 0) return;
    const char16_t* title = UiText(TextId::kErrorLogViewTitle);
    CLogView* created = app.Merged() != nullptr ? app.CreateMergedView(std::move(lines), W(title), true)
                                                : app.CreateLogView(&app.LogFile(), std::move(lines), W(title));
    ShowNewView(app, created);
    if (created != nullptr) app.Views().SetErrorLog(created);
}

void CMergeAgainJob::Apply(CAppMain& app) {
    // A cancelled merge, or one without memory, leaves the merge as it was.
    if (status != 1 || rows == nullptr || app.Merged() != logs) {
        if (status == 0) Warn(app.Frame(), UiText(TextId::kMergeNoMemory), TextId::kMergeCaption);
        return;
    }
    CMergeChange change;
    if (!logs->TakeMergeAgain(rows.get(), offsets, &change)) {
        Warn(app.Frame(), UiText(TextId::kMergeNoMemory), TextId::kMergeCaption);
        return;
    }
    ShowMergeChange(app.Views(), change, &app);
    app.UpdateCommandState();
}

void CFollowJob::Apply(CAppMain& app) { app.Follower().Finish(this); }

void CMergedFollowJob::Apply(CAppMain& app) { app.Follower().FinishMerged(this); }

void CCopyJob::Apply(CAppMain& app) {
    size_t length = 0;
    while (text != nullptr && text[length] != 0) ++length;
    // Nothing to copy (or a cancelled copy) must not empty the clipboard.
    if (length == 0) return;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, (length + 1) * sizeof(char16_t));
    void* locked = memory != nullptr ? GlobalLock(memory) : nullptr;
    if (locked == nullptr) {
        if (memory != nullptr) GlobalFree(memory);
        return;
    }
    std::memcpy(locked, text, (length + 1) * sizeof(char16_t));
    GlobalUnlock(memory);
    bool given = false;
    if (OpenClipboard(app.Frame())) {
        EmptyClipboard();
        given = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        CloseClipboard();
    }
    if (!given) GlobalFree(memory);
}
