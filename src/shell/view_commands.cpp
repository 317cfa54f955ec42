// Markers and jumps on the active view - set/reset, previous/next with wrap-around, the
// marker list and the jump dialog - and the clipboard copy of its selection.
#include "shell/view_commands.h"

#include <new>
#include <utility>

#include "config/app_parameter.h"
#include "dialogs/search_dialogs.h"
#include "res/resource.h"
#include "search/marker_list.h"
#include "shell/app_main.h"
#include "shell/merged_logs.h"
#include "shell/scan_jobs.h"
#include "view/log_view.h"
#include "view/timeline_pane.h"

void ToggleMarker(CAppMain& app, CLogView* view) {
    if (view == nullptr || !view->HasRows()) return;
    view->ToggleMarker(CRow(view->CaretLine()));
    app.OnViewStateChanged(view);
}

// Markers are kept in file-line order, but in an extraction or error-log view the rows
// need not be (context lines repeat), so the target is chosen by row.
void GoToMarker(CLogView* view, bool forward) {
    if (view == nullptr) return;
    CMarkerList& markers = view->Markers();
    int32_t count = markers.Count();
    if (count == 0) return;
    CRow caret(view->CaretLine());
    CRow nearest(-1);  // the closest row beyond the caret in the direction of travel
    CRow wrap(-1);     // the row to wrap around to: the first or the last marked row
    CRow none(-1);
    for (int32_t i = 0; i < count; ++i) {
        CRow row = markers.At(i)->row;
        bool beyond = forward ? row > caret : row < caret;
        if (beyond && (nearest == none || (forward ? row < nearest : row > nearest))) nearest = row;
        if (wrap == none || (forward ? row < wrap : row > wrap)) wrap = row;
    }
    view->GoToLine((nearest != none ? nearest : wrap).Value());
}

int64_t MergedRowOfLine(CAppMain& app, const char16_t* name, int length, int64_t line) {
    CMergedLogs* merged = app.Merged();
    int log = merged != nullptr && merged->Merged() ? merged->Find(name, length) : -1;
    if (log < 0) return -1;
    // Line numbers count the log's non-empty lines, as its index rows do.
    return merged->Rows()->RowOf(log, CRow(line));
}

void RunJumpDialog(CAppMain& app, CLogView* view) {
    if (view == nullptr || !view->HasRows()) return;
    CJumpDialog dialog;
    dialog.m_lineCount = view->Rows().Count();
    dialog.m_cursorLine = view->CaretLine();
    // The merged view also takes "name:line", a line of one of its logs.
    if (app.Merged() != nullptr && view == app.Views().First()) {
        dialog.m_lineOfLog = [&app](const char16_t* name, int length, int64_t line) {
            return MergedRowOfLine(app, name, length, line);
        };
    }
    if (RunDialog(dialog, IDD_JUMP_JA, app.Frame()) != 1 || dialog.m_resultLine < 0) return;
    // The dialog's message loop runs the frame's timers: look the view up again after it.
    if (app.Views().Contains(view)) view->GoToLine(dialog.m_resultLine);
}

void RunMarkerListDialog(CAppMain& app, CLogView* view) {
    if (view == nullptr) return;
    CMarkerListDialog dialog;
    dialog.m_view = view;
    RunDialog(dialog, IDD_MARKER_LIST_JA, app.Frame());
    if (app.Views().Contains(view)) app.OnViewStateChanged(view);
}

void CopySelection(CAppMain& app) {
    app.EnableCommand(IDM_COPY, false);
    CLogView* view = app.Views().Active();
    if (view == nullptr) return;
    bool copyable = view->HasCopyableSelection();
    CRowRange range = view->SelectedRange();
    view->ClearSelection();
    view->Invalidate();
    std::unique_ptr<CCopyJob> job(copyable ? new (std::nothrow) CCopyJob() : nullptr);
    if (job == nullptr) return;
    job->rows = &view->Rows();
    job->logs = view->RowLogs();
    job->view = view;
    job->codePage = AppConfig().m_codePage;
    // The selection's columns count in the text the view shows.
    job->hideEscapes = view->Settings().colorCodes != 0;
    job->range = range;
    bool quick = view->Lines() != nullptr ? IsQuickScan(*view->Lines(), range.firstRow, range.lastRow)
                                          : IsQuickScan(view->Rows(), range.firstRow, range.lastRow);
    app.Runner().RunScan(std::move(job), view->File(), quick);
}

// Counting stamps is quick up to about a million rows; beyond that it goes to the runner.
constexpr int64_t kQuickTimelineRows = 1000000;

void CountTimeline(CAppMain& app, CLogView* view) {
    std::unique_ptr<CTimelineJob> job(new (std::nothrow) CTimelineJob());
    if (job == nullptr) return;
    job->view = view;
    job->rows = &view->Rows();
    job->errors = view->ErrorLines();
    bool quick = view->Rows().Count() < kQuickTimelineRows;
    app.Runner().Run(std::move(job), quick);
}

void ToggleTimeline(CAppMain& app, CLogView* view) {
    if (view == nullptr || !view->HasRows()) return;
    if (view->TimelinePane() != nullptr) {
        view->SetTimeline(nullptr);
        app.OnViewStateChanged(view);
        return;
    }
    CountTimeline(app, view);
}

bool CAppMain::RecountTimeline(CLogView* view) {
    if (m_runner.Busy()) return false;
    if (m_viewList.Contains(view) && view->HasRows()) CountTimeline(*this, view);
    return true;
}
