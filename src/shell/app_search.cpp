// Search, extraction and the error log: the commands that build on the core line scans.
#include <cstdlib>
#include <new>
#include <string>
#include <utility>

#include "config/app_parameter.h"
#include "foundation/wide.h"
#include "search/line_scan.h"
#include "dialogs/search_dialogs.h"
#include "shell/app_main.h"
#include "res/resource.h"
#include "shell/scan_jobs.h"
#include "view/log_view.h"

namespace {

constexpr int32_t kQuickErrorLines = 1000000;

unsigned CodePage() { return AppConfig().m_codePage; }

}  // namespace

void CAppMain::ShowNewView(CLogView* created) {
    if (created == nullptr) return;
    created->SetHighlightSearch(1);
    ActivateChild(created->Window());
    SendMessageW(m_mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(created->Window()), 0);
}

void CAppMain::SetHighlightSearchState(CLogView* view, bool on) {
    CheckCommand(IDM_HIGHLIGHT_SEARCH, on);
    if (view != nullptr) view->SetHighlightSearch(on ? 1 : 0);
}

void CAppMain::SearchNext(CLogView* view, int32_t start) { StartSearch(view, start, true); }

void CAppMain::SearchPrevious(CLogView* view, int32_t start) { StartSearch(view, start, false); }

void CAppMain::StartSearch(CLogView* view, int32_t start, bool forward) {
    if (view == nullptr || view->Lines() == nullptr || view->File() == nullptr) return;
    std::unique_ptr<CSearchJob> job(new (std::nothrow) CSearchJob());
    if (job == nullptr) return;
    job->lines = view->Lines();
    job->condition = &m_searchConditions;
    job->view = view;
    job->start = start == -1 ? view->CaretLine() : start;
    job->forward = forward;
    job->codePage = CodePage();
    job->limitHitsAtStart = m_searchConditions.LimitHits();
    int32_t count = view->Lines()->Count();
    bool quick = forward ? IsQuickScan(*job->lines, job->start, count - 1) : IsQuickScan(*job->lines, 0, job->start);
    m_runner.RunScan(std::move(job), view->File(), quick);
}

int CAppMain::UseSelectionAsCondition(CLogView* view) {
    m_searchConditions.Clear();
    if (view == nullptr || view->SelectionState() != kSelectionMade) return 0;
    if (view->SelectionFirstRow() != view->SelectionLastRow()) return 0;
    int count = 0;
    char16_t* text = view->GetRowText(view->SelectionFirstRow(), &count);
    int first = view->SelectionFirstColumn();
    int last = view->SelectionLastColumn();
    if (text != nullptr && first >= 0 && first < last && last <= count) {
        std::u16string selected(text + first, text + last);
        CAppParameter& config = AppConfig();
        // The selected text as it stands, with the search dialog's case rule.
        int options = config.m_searchMatchCase ? kMatchCase : 0;
        if (m_searchConditions.Add(selected.c_str(), options)) {
            config.AddHistory(0, selected.c_str());
            config.Save();
        }
    }
    std::free(text);
    m_searchConditions.SetMatchAll(0);
    view->ClearSelection();
    view->Invalidate();
    OnViewStateChanged(view);
    return 1;
}

void CAppMain::RunSearchDialog(CLogView* view) {
    if (view == nullptr) return;
    if (view->SelectionState() == kSelectionMade) UseSelectionAsCondition(view);
    CSearchLogDialog dialog;
    dialog.m_condition = &m_searchConditions;
    // The dialog's message loop runs the frame's timers: look the view up again after it.
    if (RunDialog(dialog, IDD_SEARCH_LOG_JA, m_frame) != 1 || !m_viewList.Contains(view)) return;
    m_searchConditions.SetMatchAll(0);
    StartSearch(view, -1, dialog.m_direction == 1);
}

void CAppMain::SearchAgain(CLogView* view, bool forward) {
    if (view == nullptr) return;
    if (m_searchConditions.Count() == 0) {
        RunSearchDialog(view);
        return;
    }
    int32_t count = view->Lines() != nullptr ? view->Lines()->Count() : 0;
    int32_t caret = view->CaretLine();
    int32_t start = forward ? (caret + 1 < count ? caret + 1 : count) : (caret - 1 > 0 ? caret - 1 : 0);
    StartSearch(view, start, forward);
}

void CAppMain::Extract(CExtractFrom from) {
    CLogView* view = m_viewList.Active();
    if (view == nullptr || view->Lines() == nullptr || view->File() == nullptr) return;
    if (from == CExtractFrom::kDialog) {
        if (view->SelectionState() == kSelectionMade) UseSelectionAsCondition(view);
        CExtractionLogDialog dialog;
        dialog.m_condition = &m_searchConditions;
        if (RunDialog(dialog, IDD_EXTRACTION_LOG_JA, m_frame) != 1 || !m_viewList.Contains(view)) return;
    } else if (!UseSelectionAsCondition(view) || m_searchConditions.Count() == 0) {
        return;
    }
    StartExtraction(view);
}

void CAppMain::StartExtraction(CLogView* view) {
    if (view == nullptr || view->Lines() == nullptr || view->File() == nullptr) return;
    std::unique_ptr<CExtractJob> job(new (std::nothrow) CExtractJob());
    if (job == nullptr) return;
    CAppParameter& config = AppConfig();
    job->source = view->Lines();
    job->condition = &m_searchConditions;
    job->view = view;
    job->codePage = CodePage();
    job->before = config.m_contextBefore;
    job->after = config.m_contextAfter;
    job->limitHitsAtStart = m_searchConditions.LimitHits();
    bool quick = IsQuickScan(*view->Lines(), 0, view->Lines()->Count() - 1);
    m_runner.RunScan(std::move(job), view->File(), quick);
}

// Copying the entries is quick up to a few million; beyond that it goes to the runner.
void CAppMain::ShowErrorLog() {
    if (m_logFile.ErrorLines().Count() == 0) return;
    std::unique_ptr<CErrorLogJob> job(new (std::nothrow) CErrorLogJob());
    if (job == nullptr) return;
    job->source = &m_logFile.ErrorLines();
    m_runner.Run(std::move(job), m_logFile.ErrorLines().Count() < kQuickErrorLines);
}
