// Dispatch of the commands that act on the active view.
#include "shell/app_main.h"
#include "shell/command_ids.h"
#include "view/log_view.h"

bool CAppMain::OnViewCommand(int id) {
    CLogView* view = ActiveView();
    switch (id) {
        case kCmdSearch: RunSearchDialog(view); return true;
        case kCmdSearchPrevious: SearchAgain(view, false); return true;
        case kCmdSearchNext: SearchAgain(view, true); return true;
        case kCmdContextSearchPrevious:
        case kCmdContextSearchNext:
            // Then as Previous/Next Search: a selection that gave no condition (it spans
            // rows) leaves the condition empty, and the search dialog opens.
            UseSelectionAsCondition(view);
            SearchAgain(view, id == kCmdContextSearchNext);
            return true;
        case kCmdHighlightSearch:
            if (view == nullptr) return true;
            SetHighlightSearchState(view, view->HighlightSearch() == 0);
            view->Invalidate();
            return true;
        case kCmdExtract: Extract(0); return true;
        case kCmdContextExtract: Extract(1); return true;
        case kCmdErrorLog: ShowErrorLog(); return true;
        case kCmdJumpTop:
            if (view != nullptr) view->GoToLine(0);
            return true;
        case kCmdJumpEnd:
            if (view != nullptr && view->Lines() != nullptr) view->GoToLine(view->Lines()->Count());
            return true;
        case kCmdJump: RunJumpDialog(view); return true;
        case kCmdMarker: ToggleMarker(view); return true;
        case kCmdMarkerPrevious: GoToMarker(view, false); return true;
        case kCmdMarkerNext: GoToMarker(view, true); return true;
        case kCmdMarkerDeleteAll:
            if (view == nullptr) return true;
            view->Markers().Clear();
            view->Invalidate();
            OnViewStateChanged(view);
            return true;
        case kCmdMarkerList: RunMarkerListDialog(view); return true;
        case kCmdSelectAll:
            if (view != nullptr) view->SelectAll();
            return true;
        case kCmdCloseView:
            // As the window's close box: the view reports its closing to the frame.
            if (view != nullptr && view->Window() != nullptr) SendMessageW(view->Window(), WM_CLOSE, 0, 0);
            return true;
        default: return false;
    }
}
