// CLogView's context menu: shown over a selection, its commands go to the frame.
#include "config/ui_text.h"
#include "foundation/wide.h"
#include "res/resource.h"
#include "view/log_view.h"

int CLogView::OnRButtonDown(int x, int y) {
    if (m_selectionMode != CSelectionMode::kMade) return 0;
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) return 1;
    AppendMenuW(menu, MF_STRING, IDM_COPY, W(UiText(TextId::kContextCopy)));
    AppendMenuW(menu, MF_STRING, IDM_SELECTION_SEARCH_PREVIOUS, W(UiText(TextId::kContextSearchPrevious)));
    AppendMenuW(menu, MF_STRING, IDM_SELECTION_SEARCH_NEXT, W(UiText(TextId::kContextSearchNext)));
    AppendMenuW(menu, MF_STRING, IDM_SELECTION_EXTRACTION, W(UiText(TextId::kContextExtract)));
    POINT point = {x, y};
    ClientToScreen(m_window, &point);
    HWND owner = m_listener != nullptr ? m_listener->GetFrameWindow() : m_frame;
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, point.x, point.y, 0, owner, nullptr);
    DestroyMenu(menu);
    return 1;
}
