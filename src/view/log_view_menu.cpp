// CLogView's context menu: shown over a selection, its commands go to the frame.
#include "config/app_parameter.h"
#include "res/resource.h"
#include "view/log_view.h"

int CLogView::OnRButtonDown(int x, int y) {
    if (m_selectionMode != kSelectionMade) return 0;
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) return 1;
    CAppParameter* config = &AppConfig();
    bool japanese = config != nullptr && config->m_language == kLanguageJapanese;
    AppendMenuW(menu, MF_STRING, IDM_COPY, japanese ? L"コピー" : L"Copy");
    AppendMenuW(menu, MF_STRING, IDM_SELECTION_SEARCH_PREVIOUS, japanese ? L"前を検索" : L"Previous Search");
    AppendMenuW(menu, MF_STRING, IDM_SELECTION_SEARCH_NEXT, japanese ? L"次を検索" : L"Next Search");
    AppendMenuW(menu, MF_STRING, IDM_SELECTION_EXTRACTION, japanese ? L"ログを抽出" : L"Extraction");
    POINT point = {x, y};
    ClientToScreen(m_window, &point);
    HWND owner = m_listener != nullptr ? m_listener->GetFrameWindow() : m_frame;
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, point.x, point.y, 0, owner, nullptr);
    DestroyMenu(menu);
    return 1;
}
