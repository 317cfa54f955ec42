// Markers and jumps on the active view: set/reset, previous/next with wrap-around,
// the marker list and the jump dialog.
#include "search/marker_list.h"
#include "dialogs/search_dialogs.h"
#include "shell/app_main.h"
#include "res/resource.h"
#include "view/log_view.h"

void CAppMain::ToggleMarker(CLogView* view) {
    if (view == nullptr || view->Lines() == nullptr) return;
    const CLogLine* line = view->Lines()->At(view->CaretLine());
    if (line != nullptr) {
        view->Markers().Toggle(view->CaretLine(), line->lineNumber, line->offset);
        view->Invalidate();
    }
    OnViewStateChanged(view);
}

// Markers are kept in file-line order, but in an extraction or error-log view the rows
// need not be (context lines repeat), so the target is chosen by row index.
void CAppMain::GoToMarker(CLogView* view, bool forward) {
    if (view == nullptr) return;
    CMarkerList& markers = view->Markers();
    int32_t count = markers.Count();
    if (count == 0) return;
    int32_t caret = view->CaretLine();
    int32_t nearest = -1;  // the closest row beyond the caret in the direction of travel
    int32_t wrap = -1;     // the row to wrap around to: the first or the last marked row
    for (int32_t i = 0; i < count; ++i) {
        int32_t row = markers.At(i)->index;
        bool beyond = forward ? row > caret : row < caret;
        if (beyond && (nearest < 0 || (forward ? row < nearest : row > nearest))) nearest = row;
        if (wrap < 0 || (forward ? row < wrap : row > wrap)) wrap = row;
    }
    view->GoToLine(nearest >= 0 ? nearest : wrap);
}

void CAppMain::RunJumpDialog(CLogView* view) {
    if (view == nullptr || view->Lines() == nullptr) return;
    CJumpDialog dialog;
    dialog.m_lineCount = view->Lines()->Count();
    dialog.m_cursorLine = view->CaretLine();
    if (RunDialog(dialog, IDD_JUMP_JA, m_frame) != 1 || dialog.m_resultLine < 0) return;
    // The dialog's message loop runs the frame's timers: look the view up again after it.
    if (m_viewList.Contains(view)) view->GoToLine(dialog.m_resultLine);
}

void CAppMain::RunMarkerListDialog(CLogView* view) {
    if (view == nullptr) return;
    CMarkerListDialog dialog;
    dialog.m_view = view;
    RunDialog(dialog, IDD_MARKER_LIST_JA, m_frame);
    if (m_viewList.Contains(view)) OnViewStateChanged(view);
}
