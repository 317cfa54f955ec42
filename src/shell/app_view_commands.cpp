// Dispatch of the commands that act on the active view.
#include "shell/app_main.h"
#include "shell/command_ids.h"
#include "view/log_view.h"

bool CAppMain::OnViewCommand(int id) {
    CLogView* view = m_viewList.Active();
    switch (id) {
        case IDM_SEARCH: RunSearchDialog(view); return true;
        case IDM_SEARCH_PREVIOUS: SearchAgain(view, false); return true;
        case IDM_SEARCH_NEXT: SearchAgain(view, true); return true;
        case IDM_SELECTION_SEARCH_PREVIOUS:
        case IDM_SELECTION_SEARCH_NEXT:
            // Then as Previous/Next Search: a selection that gave no condition (it spans
            // rows) leaves the condition empty, and the search dialog opens.
            UseSelectionAsCondition(view);
            SearchAgain(view, id == IDM_SELECTION_SEARCH_NEXT);
            return true;
        case IDM_HIGHLIGHT_SEARCH:
            if (view == nullptr) return true;
            SetHighlightSearchState(view, view->HighlightSearch() == 0);
            view->Invalidate();
            return true;
        case IDM_EXTRACTION: Extract(0); return true;
        case IDM_SELECTION_EXTRACTION: Extract(1); return true;
        case IDM_ERROR_LOG: ShowErrorLog(); return true;
        case IDM_JUMP_TOP:
            if (view != nullptr) view->GoToLine(0);
            return true;
        case IDM_JUMP_END:
            if (view != nullptr && view->Lines() != nullptr) view->GoToLine(view->Lines()->Count());
            return true;
        case IDM_JUMP: RunJumpDialog(view); return true;
        case IDM_MARKER_TOGGLE: ToggleMarker(view); return true;
        case IDM_MARKER_PREVIOUS: GoToMarker(view, false); return true;
        case IDM_MARKER_NEXT: GoToMarker(view, true); return true;
        case IDM_MARKER_CLEAR_ALL:
            if (view == nullptr) return true;
            view->Markers().Clear();
            view->Invalidate();
            OnViewStateChanged(view);
            return true;
        case IDM_MARKER_LIST: RunMarkerListDialog(view); return true;
        case IDM_SELECT_ALL:
            if (view != nullptr) view->SelectAll();
            return true;
        case IDM_CLOSE_VIEW:
            // As the window's close box: the view reports its closing to the frame.
            if (view != nullptr && view->Window() != nullptr) SendMessageW(view->Window(), WM_CLOSE, 0, 0);
            return true;
        default: return false;
    }
}
