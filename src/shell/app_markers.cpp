// Markers and jumps on the active view: set/reset, previous/next with wrap-around,
// the marker list and the jump dialog.
#include "search/marker_list.h"
#include "search/search_dialogs.h"
#include "shell/app_main.h"
#include "shell/command_ids.h"
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

void CAppMain::GoToMarker(CLogView* view, bool forward) {
    if (view == nullptr) return;
    CMarkerList& markers = view->Markers();
    int32_t count = markers.Count();
    if (count == 0) return;
    int32_t caret = view->CaretLine();
    int32_t target = -1;
    if (forward) {
        for (int32_t i = 0; i < count && target < 0; ++i) {
            if (markers.At(i)->lineNumber > caret) target = i;
        }
        if (target < 0) target = 0;
    } else {
        int32_t first = -1;
        for (int32_t i = 0; i < count && first < 0; ++i) {
            if (markers.At(i)->lineNumber >= caret) first = i;
        }
        target = first > 0 ? first - 1 : count - 1;
    }
    view->GoToLine(markers.At(target)->index);
}

void CAppMain::RunJumpDialog(CLogView* view) {
    if (view == nullptr || view->Lines() == nullptr) return;
    CJumpDialog dialog;
    dialog.m_lineCount = view->Lines()->Count();
    dialog.m_cursorLine = view->CaretLine();
    if (RunDialog(dialog, kDlgJump, m_frame) == 1 && dialog.m_resultLine >= 0) view->GoToLine(dialog.m_resultLine);
}

void CAppMain::RunMarkerListDialog(CLogView* view) {
    if (view == nullptr) return;
    CMarkerListDialog dialog;
    dialog.m_view = view;
    RunDialog(dialog, kDlgMarkerList, m_frame);
    OnViewStateChanged(view);
}
