// Jump to Time and the error-line and slow-interval steps, over the core's row navigation.
// They read the index only, never the log's bytes: each is a walk over entries (the error
// steps in the log's own view not even that), run here over a few rows and on the runner,
// with progress and Cancel, over many.
#include "shell/time_commands.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <new>

#include "config/app_parameter.h"
#include "config/ui_text.h"
#include "dialogs/jump_time_dialog.h"
#include "foundation/format.h"
#include "foundation/wide.h"
#include "res/resource.h"
#include "search/row_batches.h"
#include "search/row_navigation.h"
#include "shell/app_main.h"
#include "shell/scan_jobs.h"
#include "view/log_view.h"

namespace {

void FormatRowStamp(const CTimeStamp& s, char16_t* out, int capacity) {
    int ms = static_cast<int>(s.milliseconds);
    int h = ms / 3600000;
    int m = ms / 60000 % 60;
    int sec = ms / 1000 % 60;
    if (s.year != 0) {
        FormatString(out, capacity, u"%04d-%02d-%02d %02d:%02d:%02d.%03d", s.year, s.month, s.day, h, m, sec,
                     ms % 1000);
    } else {
        FormatString(out, capacity, u"%02d:%02d:%02d.%03d", h, m, sec, ms % 1000);
    }
}

// "first - last": the stamps of the first stamped row and of the last row.
void FormatTimeRange(const CRowSource& rows, char16_t* out, int capacity) {
    out[0] = 0;
    CLogLine first;
    CLogLine last;
    if (!rows.Entry(CRow(rows.Count() - 1), &last)) return;
    CRowBatches batches(rows, CRow(0), CRow(rows.Count()));
    const CLogLine* lines = nullptr;
    int64_t n = 0;
    CRow start;
    bool found = false;
    while (!found && batches.Next(&lines, &n, &start)) {
        for (int64_t i = 0; i < n && !found; ++i) {
            found = lines[i].timeStamp.HasDate();
            first = lines[i];
        }
    }
    if (!found) return;
    char16_t a[40];
    char16_t b[40];
    FormatRowStamp(first.timeStamp, a, 40);
    FormatRowStamp(last.timeStamp, b, 40);
    FormatString(out, capacity, UiText(TextId::kJumpTimeRangeFormat), a, b);
}

// A walk over up to a million rows is quick; more go to the runner, with progress and Cancel.
constexpr int64_t kQuickStepRows = 1000000;

void Step(CAppMain& app, CLogView* view, std::function<int64_t(const CRowSource&, const std::atomic<int>*)> step,
          const char16_t* notFound = nullptr) {
    std::unique_ptr<CNavigationJob> job(new (std::nothrow) CNavigationJob());
    if (job == nullptr) return;
    job->view = view;
    job->rows = &view->Rows();
    job->step = std::move(step);
    if (notFound != nullptr) job->notFound = notFound;
    app.Runner().Run(std::move(job), view->Rows().Count() < kQuickStepRows);
}

}  // namespace

void RunJumpTimeDialog(CAppMain& app, CLogView* view) {
    if (view == nullptr || !view->HasRows() || !RowsHaveStamps(view->Rows())) return;
    char16_t range[96];
    FormatTimeRange(view->Rows(), range, 96);
    CJumpTimeDialog dialog;
    dialog.m_range = range;
    if (RunDialog(dialog, IDD_JUMP_TIME_JA, app.Frame()) != 1) return;
    // The dialog's message loop runs the frame's timers: look the view up again after it.
    if (!app.Views().Contains(view) || !view->HasRows()) return;
    char16_t message[160];
    FormatString(message, 160, UiText(TextId::kJumpTimeNoneFormat), dialog.m_text);
    CTimeQuery query = dialog.m_query;
    Step(
        app, view,
        [query](const CRowSource& rows, const std::atomic<int>* cancel) {
            return FirstRowAtOrAfter(rows, query, cancel);
        },
        message);
}

void GoToErrorLine(CAppMain& app, CLogView* view, bool forward) {
    if (view == nullptr || !view->HasRows()) return;
    const CLogLineList* errors = &app.ErrorRows();
    // In the log's own view row i is line i; other views hold rows of their own.
    bool rowsAreLines = view == app.Views().First();
    CRow caret(view->CaretLine());
    Step(app, view, [=](const CRowSource& rows, const std::atomic<int>* cancel) {
        return forward ? NextErrorRow(rows, *errors, caret, rowsAreLines, cancel)
                       : PreviousErrorRow(rows, *errors, caret, rowsAreLines, cancel);
    });
}

void GoToSlowInterval(CAppMain& app, CLogView* view, bool forward) {
    if (view == nullptr || !view->HasRows()) return;
    int32_t threshold = AppConfig().m_intervalTime;
    CRow caret(view->CaretLine());
    Step(app, view, [=](const CRowSource& rows, const std::atomic<int>* cancel) {
        return forward ? NextSlowRow(rows, caret, threshold, cancel) : PreviousSlowRow(rows, caret, threshold, cancel);
    });
}
