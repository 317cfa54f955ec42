// Search, extraction and the error log: the commands that build on the core line scans.
#include "shell/search_commands.h"

#include <cstdlib>
#include <new>
#include <string>
#include <utility>

#include "config/app_parameter.h"
#include "dialogs/hide_rows_dialog.h"
#include "dialogs/search_dialogs.h"
#include "res/resource.h"
#include "shell/app_main.h"
#include "shell/scan_jobs.h"
#include "view/log_view.h"

namespace {

constexpr int32_t kQuickErrorLines = 1000000;

}  // namespace

std::u16string SelectionInOneRow(CLogView* view) {
    if (view == nullptr || view->SelectionState() != CSelectionMode::kMade) return std::u16string();
    if (view->SelectionFirstRow() != view->SelectionLastRow()) return std::u16string();
    int count = 0;
    char16_t* text = view->GetRowText(view->SelectionFirstRow(), &count);
    int first = view->SelectionFirstColumn();
    int last = view->SelectionLastColumn();
    std::u16string selected;
    if (text != nullptr && first >= 0 && first < last && last <= count) selected.assign(text + first, text + last);
    std::free(text);
    return selected;
}

bool Scannable(const CLogView* view) {
    return view->RowLogs() != nullptr || (view->Lines() != nullptr && view->File() != nullptr);
}

void ShowNewView(CAppMain& app, CLogView* created) {
    if (created == nullptr) return;
    created->SetHighlightSearch(1);
    app.ActivateChild(created->Window());
    SendMessageW(app.MdiClient(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(created->Window()), 0);
}

void SetHighlightSearchState(CAppMain& app, CLogView* view, bool on) {
    app.CheckCommand(IDM_HIGHLIGHT_SEARCH, on);
    if (view != nullptr) view->SetHighlightSearch(on ? 1 : 0);
}

int UseSelectionAsCondition(CAppMain& app, CLogView* view) {
    CSearchCondition& condition = app.SearchConditions();
    condition.Clear();
    if (view == nullptr || view->SelectionState() != CSelectionMode::kMade) return 0;
    if (view->SelectionFirstRow() != view->SelectionLastRow()) return 0;
    std::u16string selected = SelectionInOneRow(view);
    if (!selected.empty()) {
        CAppParameter& config = AppConfig();
        // The selected text as it stands, with the search dialog's case rule.
        int options = config.m_searchMatchCase ? kMatchCase : 0;
        if (condition.Add(selected.c_str(), options)) {
            config.AddHistory(0, selected.c_str());
            config.Save();
        }
    }
    condition.SetMatchAll(0);
    view->ClearSelection();
    view->Invalidate();
    app.OnViewStateChanged(view);
    return 1;
}

void RunSearchDialog(CAppMain& app, CLogView* view) {
    if (view == nullptr) return;
    if (view->SelectionState() == CSelectionMode::kMade) UseSelectionAsCondition(app, view);
    CSearchLogDialog dialog;
    dialog.m_condition = &app.SearchConditions();
    // The dialog's message loop runs the frame's timers: look the view up again after it.
    if (RunDialog(dialog, IDD_SEARCH_LOG_JA, app.Frame()) != 1 || !app.Views().Contains(view)) return;
    app.SearchConditions().SetMatchAll(0);
    app.StartSearch(view, -1, dialog.m_direction);
}

void SearchAgain(CAppMain& app, CLogView* view, CSearchDirection direction) {
    if (view == nullptr) return;
    if (app.SearchConditions().Count() == 0) {
        RunSearchDialog(app, view);
        return;
    }
    int64_t count = view->HasRows() ? view->Rows().Count() : 0;
    int64_t caret = view->CaretLine();
    bool next = direction == CSearchDirection::kNext;
    int64_t start = next ? (caret + 1 < count ? caret + 1 : count) : (caret - 1 > 0 ? caret - 1 : 0);
    app.StartSearch(view, start, direction);
}

void Extract(CAppMain& app, CExtractFrom from) {
    CLogView* view = app.Views().Active();
    if (view == nullptr || !Scannable(view)) return;
    if (from == CExtractFrom::kDialog) {
        if (view->SelectionState() == CSelectionMode::kMade) UseSelectionAsCondition(app, view);
        CExtractionLogDialog dialog;
        dialog.m_condition = &app.SearchConditions();
        if (RunDialog(dialog, IDD_EXTRACTION_LOG_JA, app.Frame()) != 1 || !app.Views().Contains(view)) return;
    } else if (!UseSelectionAsCondition(app, view) || app.SearchConditions().Count() == 0) {
        return;
    }
    app.StartExtraction(view);
}

void HideMatchingRows(CAppMain& app) {
    CLogView* view = app.Views().Active();
    if (view == nullptr || view->Lines() == nullptr || view->File() == nullptr) return;
    // A word selected in a row is the first text to hide.
    if (view->SelectionState() == CSelectionMode::kMade) UseSelectionAsCondition(app, view);
    CHideRowsDialog dialog;
    dialog.m_condition = &app.SearchConditions();
    if (RunDialog(dialog, IDD_HIDE_ROWS_JA, app.Frame()) != 1 || !app.Views().Contains(view)) return;
    if (app.SearchConditions().Count() == 0) return;
    app.SearchConditions().SetMatchAll(0);
    app.StartExtraction(view, false);
}

// Copying the entries is quick up to a few million; beyond that it goes to the runner.
void ShowErrorLog(CAppMain& app) {
    const CLogLineList& errors = app.ErrorRows();
    if (errors.Count() == 0) return;
    std::unique_ptr<CErrorLogJob> job(new (std::nothrow) CErrorLogJob());
    if (job == nullptr) return;
    job->source = &errors;
    app.Runner().Run(std::move(job), errors.Count() < kQuickErrorLines);
}

// The scans that stay entry points of the application.

void CAppMain::SearchNext(CLogView* view, int64_t start) { StartSearch(view, start, CSearchDirection::kNext); }

void CAppMain::SearchPrevious(CLogView* view, int64_t start) { StartSearch(view, start, CSearchDirection::kPrevious); }

void CAppMain::StartSearch(CLogView* view, int64_t start, CSearchDirection direction) {
    if (view == nullptr || !Scannable(view)) return;
    std::unique_ptr<CSearchJob> job(new (std::nothrow) CSearchJob());
    if (job == nullptr) return;
    if (view->RowLogs() != nullptr) {
        // Rows of several logs: each read in its own log.
        const CRowSource& rows = view->Rows();
        job->rows = &rows;
        job->logs = view->RowLogs();
        job->condition = &m_searchConditions;
        job->view = view;
        job->start = start == -1 ? view->CaretLine() : start;
        job->direction = direction;
        job->hideEscapes = AppConfig().m_colorCodes != 0;
        job->limitHitsAtStart = m_searchConditions.LimitHits();
        bool next = direction == CSearchDirection::kNext;
        bool quick = IsQuickScan(rows, next ? job->start : 0, next ? rows.Count() - 1 : job->start);
        m_runner.RunScan(std::move(job), nullptr, quick);
        return;
    }
    job->lines = view->Lines();
    job->condition = &m_searchConditions;
    job->view = view;
    job->start = start == -1 ? view->CaretLine() : start;
    job->direction = direction;
    job->codePage = AppConfig().m_codePage;
    job->hideEscapes = AppConfig().m_colorCodes != 0;
    job->limitHitsAtStart = m_searchConditions.LimitHits();
    int64_t count = view->Lines()->Count();
    bool quick = direction == CSearchDirection::kNext ? IsQuickScan(*job->lines, job->start, count - 1)
                                                      : IsQuickScan(*job->lines, 0, job->start);
    m_runner.RunScan(std::move(job), view->File(), quick);
}

void CAppMain::StartExtraction(CLogView* view, bool withContext) {
    if (view == nullptr || !Scannable(view)) return;
    std::unique_ptr<CExtractJob> job(new (std::nothrow) CExtractJob());
    if (job == nullptr) return;
    CAppParameter& config = AppConfig();
    if (view->RowLogs() != nullptr) {
        // Rows of several logs: the result lists their entries, numbered by merged row.
        job->rows = &view->Rows();
        job->logs = view->RowLogs();
        job->condition = &m_searchConditions;
        job->view = view;
        job->hideEscapes = config.m_colorCodes != 0;
        job->before = config.m_contextBefore;
        job->after = config.m_contextAfter;
        job->limitHitsAtStart = m_searchConditions.LimitHits();
        bool quick = IsQuickScan(view->Rows(), 0, view->Rows().Count() - 1);
        m_runner.RunScan(std::move(job), nullptr, quick);
        return;
    }
    job->source = view->Lines();
    job->index = view->Rows().IndexList();
    job->condition = &m_searchConditions;
    job->view = view;
    job->codePage = config.m_codePage;
    job->hideEscapes = config.m_colorCodes != 0;
    job->before = withContext ? config.m_contextBefore : 0;
    job->after = withContext ? config.m_contextAfter : 0;
    job->limitHitsAtStart = m_searchConditions.LimitHits();
    bool quick = IsQuickScan(*view->Lines(), 0, view->Lines()->Count() - 1);
    m_runner.RunScan(std::move(job), view->File(), quick);
}
