// CAppMain: the view list, MDI child routing, the command state and the commands that
// do not belong to a feature of their own.
#include "shell/app_main.h"

#include <commdlg.h>
#include <shellapi.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "config/app_parameter.h"
#include "document/encoding.h"
#include "foundation/command_line.h"
#include "foundation/trace.h"
#include "foundation/wide.h"
#include "search/marker_list.h"
#include "shell/about_dialog.h"
#include "shell/command_ids.h"
#include "view/log_view.h"

namespace {

constexpr int kSearchMenuPosition = 1;

// Commands that need a loaded view; the no-file reset and a view without lines grey them.
const int kViewCommands[] = {IDM_SEARCH,     IDM_SEARCH_PREVIOUS, IDM_SEARCH_NEXT, IDM_HIGHLIGHT_SEARCH,
                             IDM_EXTRACTION, IDM_ERROR_LOG,       IDM_JUMP_TOP,    IDM_JUMP_END,
                             IDM_JUMP,       IDM_MARKER_TOGGLE,   IDM_SELECT_ALL};
const int kMarkerCommands[] = {IDM_MARKER_PREVIOUS, IDM_MARKER_NEXT, IDM_MARKER_CLEAR_ALL, IDM_MARKER_LIST};

BOOL CALLBACK CloseChildView(HWND window, LPARAM) {
    auto* view = reinterpret_cast<CLogView*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    // Only the MDI children carry a view; other descendants hold nothing there.
    if (view != nullptr && view->Window() == window) view->CloseViewWindow();
    return TRUE;
}

}  // namespace

CViewSettings ViewSettingsOf(CAppParameter& config) {
    static_assert(kViewColorCount >= kAppColorCount, "a view holds the whole colour table");
    CViewSettings settings;
    int count = config.m_colors != nullptr ? config.m_colorCount : 0;
    if (count > kViewColorCount) count = kViewColorCount;
    for (int k = 0; k < count; ++k) settings.colors[k] = config.m_colors[k];
    settings.colorCount = count;
    lstrcpynW(W(settings.fontFace), W(config.GetFontFace()), LF_FACESIZE);
    settings.fontSize = config.GetFontSize();
    settings.fontCharSet = config.m_language == kLanguageJapanese ? SHIFTJIS_CHARSET : ANSI_CHARSET;
    settings.codePage = config.m_codePage;
    settings.intervalCheck = config.m_intervalCheck;
    settings.intervalTime = config.m_intervalTime;
    return settings;
}

CAppMain* GetAppMain() {
    return static_cast<CAppMain*>(GetApp());
}

CAppMain::CAppMain() {
    m_windowMode = 2;
    m_allowMultipleInstances = 1;
    m_toolBar = new (std::nothrow) CAppToolBar();
    m_statusBar = new (std::nothrow) CAppStatusBar();
}

CAppMain::~CAppMain() {
    StopWorker();
    delete m_toolBar;
    delete m_statusBar;
    m_toolBar = nullptr;
    m_statusBar = nullptr;
    DeleteAllViews();
    m_logFile.Close();
    if (GetApp() == this) SetApp(nullptr);
}

int CAppMain::Run(HINSTANCE instance, HINSTANCE previous, const wchar_t* commandLine, int showCommand) {
    int result = CAppBase::Run(instance, previous, commandLine, showCommand);
    StopWorker();
    return result;
}

int CAppMain::InitInstance(HINSTANCE instance) {
    if (!CAppBase::InitInstance(instance)) return 0;
    ResetCommandState();
    CheckCommand(IDM_FOLLOW, AppConfig().m_follow != 0);
    StartWorker();
    return 1;
}

LRESULT CAppMain::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case UM_LOAD_BEGIN:
            OnLoadBegin();
            return 0;
        case UM_LOAD_END:
        case UM_SCAN_DONE:
            OnScanDone(reinterpret_cast<CScanJob*>(lParam));
            return 0;
        case UM_SCAN_PROGRESS:
            OnScanProgress();
            return 0;
        case UM_OPEN_FILE:
            OnOpenFileMessage(reinterpret_cast<wchar_t*>(wParam));
            return 0;
        default:
            return CAppBase::WindowProc(window, message, wParam, lParam);
    }
}

LRESULT CAppMain::OnNotify(int id, NMHDR* header) {
    return CAppBase::OnNotify(id, header);
}

void CAppMain::ProcessCommandLine(const wchar_t* commandLine) {
    for (const std::u16string& token : SplitCommandLine(U(commandLine))) {
        auto* copy = static_cast<wchar_t*>(std::calloc(token.size() + 1, sizeof(wchar_t)));
        if (copy == nullptr) continue;
        std::memcpy(copy, token.data(), token.size() * sizeof(wchar_t));
        if (!PostMessageW(m_frame, UM_OPEN_FILE, reinterpret_cast<WPARAM>(copy), 0)) std::free(copy);
    }
}

void CAppMain::OnOpenFileMessage(wchar_t* path) {
    if (path == nullptr) return;
    TraceOutput(u"filename = %s\n", U(path));
    if (!m_logFile.IsOpen()) OpenLogFile(path);
    std::free(path);
}

int CAppMain::OnDropFiles(HDROP drop, wchar_t*, int) {
    wchar_t path[260] = {};
    DragQueryFileW(drop, 0, path, 259);
    DragFinish(drop);
    if (m_logFile.IsOpen()) return 0;
    OpenLogFile(path);
    return 1;
}

bool CAppMain::IsViewInList(const CLogView* view) const {
    for (CLogView* v = m_views; v != nullptr; v = v->m_next) {
        if (v == view) return true;
    }
    return false;
}

CLogView* CAppMain::AppendView(std::unique_ptr<CLogView> owned) {
    // The list owns its views from here on: DeleteAllViews and OnChildClosed delete them.
    CLogView* view = owned.release();
    view->m_next = nullptr;
    if (m_views == nullptr) {
        m_views = view;
        OnFirstViewAdded();
        return view;
    }
    CLogView* last = m_views;
    while (last->m_next != nullptr) last = last->m_next;
    last->m_next = view;
    return view;
}

CLogView* CAppMain::ActiveView() const {
    for (CLogView* v = m_views; v != nullptr; v = v->m_next) {
        if (v->m_active) return v;
    }
    return nullptr;
}

void CAppMain::DeleteAllViews() {
    CLogView* list = m_views;
    m_views = nullptr;
    while (list != nullptr) {
        CLogView* next = list->m_next;
        list->CloseViewWindow();
        delete list;
        list = next;
    }
}

void CAppMain::RedrawAllViews() {
    for (CLogView* v = m_views; v != nullptr; v = v->m_next) v->Invalidate();
}

void CAppMain::ApplyViewSettings() {
    CViewSettings settings = ViewSettingsOf(AppConfig());
    for (CLogView* v = m_views; v != nullptr; v = v->m_next) v->SetSettings(settings);
}

void CAppMain::CloseAllChildren() {
    if (m_mdiClient != nullptr) EnumChildWindows(m_mdiClient, CloseChildView, 0);
}

void CAppMain::CloseEverything() {
    // The worker may still be reading the file or a view's lines: stop it first.
    StopFollowing();
    CancelAndWaitForScan();
    ShowFollowStatus(nullptr);  // the log's stamp summary or follow state goes with it
    m_errorLogView = nullptr;
    CloseAllChildren();
    m_logFile.Close();
    DeleteAllViews();
    ResetCommandState();
    ApplyEncoding();
}

void CAppMain::OnChildClosed(HWND window) {
    if (m_views == nullptr) return;
    // A running job may read the closing view's lines.
    CancelAndWaitForScan();
    if (m_views->Window() == window) {
        CloseEverything();
        return;
    }
    CLogView* previous = m_views;
    for (CLogView* v = m_views->m_next; v != nullptr; previous = v, v = v->m_next) {
        if (v->Window() != window) continue;
        if (v == m_errorLogView) m_errorLogView = nullptr;
        previous->m_next = v->m_next;
        v->CloseViewWindow();
        delete v;
        return;
    }
}

int CAppMain::CanClose() {
    CancelAndWaitForScan();
    DeleteAllViews();
    return 1;
}

LRESULT CAppMain::MDIChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CLogView* target = nullptr;
    if (message == WM_CREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* mdi = create != nullptr ? reinterpret_cast<MDICREATESTRUCTW*>(create->lpCreateParams) : nullptr;
        target = mdi != nullptr ? reinterpret_cast<CLogView*>(mdi->lParam) : nullptr;
        if (target != nullptr) SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(target));
    } else if (message == WM_MDIACTIVATE) {
        HWND activated = reinterpret_cast<HWND>(lParam);
        if (activated != nullptr) {
            ActivateChild(activated);
            target = reinterpret_cast<CLogView*>(GetWindowLongPtrW(activated, GWLP_USERDATA));
        }
    } else {
        target = reinterpret_cast<CLogView*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (target != nullptr) target->WindowProc(window, message, wParam, lParam);
    return DefMDIChildProcW(window, message, wParam, lParam);
}

void CAppMain::ActivateChild(HWND window) {
    SetFocus(window);
    for (CLogView* v = m_views; v != nullptr; v = v->m_next) {
        v->m_active = 0;
        if (v->Window() == window) {
            v->m_active = 1;
            SetFocus(window);
            OnViewStateChanged(v);
        }
    }
}

void CAppMain::SetStatusText(CLogView* view, int part, const wchar_t* text) {
    if (!IsViewInList(view) || m_statusBar == nullptr || m_statusBar->m_window == nullptr) return;
    if (part < 0 || part >= m_statusBar->m_partCount) return;
    SendMessageW(m_statusBar->m_window, SB_SETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
}

void CAppMain::ResetCommandState() {
    if (m_toolBar != nullptr && m_toolBar->m_window != nullptr) {
        SendMessageW(m_toolBar->m_window, TB_SETSTATE, IDM_HIGHLIGHT_SEARCH, TBSTATE_ENABLED);
    }
    EnableCommand(IDM_OPEN_LOG, true);
    const int disabled[] = {IDM_CLOSE, IDM_PRINT, IDM_RESERVED, IDM_COPY};
    for (int id : disabled) EnableCommand(id, false);
    for (int id : kViewCommands) EnableCommand(id, false);
    for (int id : kMarkerCommands) EnableCommand(id, false);
    EnableTopMenu(kSearchMenuPosition, false);
}

void CAppMain::OnFirstViewAdded() {
    EnableCommand(IDM_CLOSE, true);
    EnableTopMenu(kSearchMenuPosition, true);
}

void CAppMain::OnViewStateChanged(CLogView* view) {
    if (view == nullptr) return;
    EnableCommand(IDM_COPY, view->SelectionState() == 3);
    if (view->Lines() != nullptr) {
        for (int id : kViewCommands) EnableCommand(id, true);
        bool markers = view->Markers().Count() > 0;
        for (int id : kMarkerCommands) EnableCommand(id, markers);
        CheckCommand(IDM_HIGHLIGHT_SEARCH, view->HighlightSearch() != 0);
        return;
    }
    CheckCommand(IDM_HIGHLIGHT_SEARCH, false);
    for (int id : kViewCommands) EnableCommand(id, false);
    for (int id : kMarkerCommands) EnableCommand(id, false);
}

void CAppMain::OnCodePageChanged(int code) {
    if (code != CBN_SELCHANGE || m_toolBar == nullptr) return;
    HWND combo = static_cast<CAppToolBar*>(m_toolBar)->m_combo;
    LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return;
    CAppParameter& config = AppConfig();
    LRESULT data = SendMessageW(combo, CB_GETITEMDATA, index, 0);
    int32_t choice = data == kAutoEncodingItem ? kEncodingAuto : static_cast<int32_t>(data);
    if (choice != config.m_encodingChoice) {
        config.m_encodingChoice = choice;
        config.Save();
    }
    ApplyEncoding();
    RedrawAllViews();
}

void CAppMain::ApplyEncoding() {
    CAppParameter& config = AppConfig();
    bool open = m_logFile.IsOpen();
    config.m_codePage = ChooseCodePage(config.m_encodingChoice, open ? m_detectedCodePage : kCodePageAnsi);
    if (m_toolBar != nullptr) static_cast<CAppToolBar*>(m_toolBar)->ShowEncoding(open);
    // The open views decode their rows again.
    ApplyViewSettings();
}
