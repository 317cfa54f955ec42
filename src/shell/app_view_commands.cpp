// The commands that act on the active view: jumps and markers.
#include "search/marker_list.h"
#include "shell/app_main.h"
#include "shell/command_ids.h"
#include "view/log_view.h"

bool CAppMain::OnViewCommand(int id) {
    CLogView* view = ActiveView();
    switch (id) {
        case kCmdJumpTop:
            if (view != nullptr) view->GoToLine(0);
            return true;
        case kCmdJumpEnd:
            if (view != nullptr && view->Lines() != nullptr) view->GoToLine(view->Lines()->Count());
            return true;
        case kCmdHighlightSearch:
            if (view == nullptr) return true;
            view->SetHighlightSearch(!view->HighlightSearch());
            CheckCommand(kCmdHighlightSearch, view->HighlightSearch() != 0);
            view->Invalidate();
            return true;
        default:
            return false;
    }
}
