// CLogView's context menu: shown over a selection, its commands go to the frame.
#include "config/ui_text.h"
#include "foundation/format.h"
#include "foundation/wide.h"
#include "res/resource.h"
#include "view/log_view.h"

namespace {

// The colour labels' submenu: each label by its number and colour, with its shortcut.
HMENU MakeLabelMenu() {
    HMENU labels = CreatePopupMenu();
    if (labels == nullptr) return nullptr;
    for (int k = 0; k < 9; ++k) {
        char16_t text[64];
        auto name = static_cast<TextId>(static_cast<int>(TextId::kLabelName1) + k);
        FormatString(text, 64, u"&%d %s\tCtrl+Shift+%d", k + 1, UiText(name), k + 1);
        AppendMenuW(labels, MF_STRING, static_cast<UINT_PTR>(IDM_LABEL_1 + k), W(text));
    }
    AppendMenuW(labels, MF_SEPARATOR, 0, nullptr);
    char16_t clear[64];
    FormatString(clear, 64, u"%s\tCtrl+Shift+0", UiText(TextId::kContextLabelClear));
    AppendMenuW(labels, MF_STRING, IDM_LABEL_CLEAR, W(clear));
    return labels;
}

}  // namespace

int CLogView::OnRButtonDown(int x, int y) {
    if (m_selectionMode != CSelectionMode::kMade) return 0;
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) return 1;
    AppendMenuW(menu, MF_STRING, IDM_COPY, W(UiText(TextId::kContextCopy)));
    AppendMenuW(menu, MF_STRING, IDM_SELECTION_SEARCH_PREVIOUS, W(UiText(TextId::kContextSearchPrevious)));
    AppendMenuW(menu, MF_STRING, IDM_SELECTION_SEARCH_NEXT, W(UiText(TextId::kContextSearchNext)));
    AppendMenuW(menu, MF_STRING, IDM_SELECTION_EXTRACTION, W(UiText(TextId::kContextExtract)));
    HMENU labels = MakeLabelMenu();
    if (labels != nullptr) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        // The menu owns the submenu from here: DestroyMenu frees both.
        AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(labels), W(UiText(TextId::kContextColorLabel)));
    }
    POINT point = {x, y};
    ClientToScreen(m_window, &point);
    HWND owner = m_listener != nullptr ? m_listener->GetFrameWindow() : m_frame;
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, point.x, point.y, 0, owner, nullptr);
    DestroyMenu(menu);
    return 1;
}
